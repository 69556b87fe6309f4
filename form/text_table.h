#pragma once

#include <string>
#include <vector>

namespace tervane {

// A table as people read it, in Windows-1252: a heading per column, then
// rows of as many cells. A results view and the PDF of the calculation are
// filled from the same one, so that they cannot disagree.
struct TextTable {
  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> rows;
};

}  // namespace tervane
