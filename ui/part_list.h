#pragma once

#include <string>
#include <vector>

class QComboBox;

namespace tervane::ui {

// Fills the part list with the library's names, in the library's order,
// with none of them chosen.
void FillPartList(QComboBox* list, const std::vector<std::string>& names);

}  // namespace tervane::ui
