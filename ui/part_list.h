#pragma once

#include "parts/part_table.h"

class QComboBox;

namespace tervane::ui {

// Fills the part list with the library's names, in the library's order,
// with none of them chosen.
void FillPartList(QComboBox* list, const PartList& names);

}  // namespace tervane::ui
