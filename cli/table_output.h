#pragma once

#include <string>
#include <vector>

namespace tervane::cli {

using TableRow = std::vector<std::string>;

// Windows-1252 rows as a text table: columns padded to their widest entry,
// two blanks apart, the last column unpadded; CR LF after every row. One
// byte is one character in Windows-1252, so widths are counted in bytes.
std::string AlignedColumns(const std::vector<TableRow>& rows);

}  // namespace tervane::cli
