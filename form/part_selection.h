#pragma once

#include <string_view>

#include "form/calculator_form.h"
#include "parts/part_table.h"

namespace tervane {

// Choosing a part in the list: its three noise figures, its gain-bandwidth
// and its current-noise corner replace the form's, typed over or not (the
// last two empty when its line gives none). A name without a record (no
// selection, nothing loaded) leaves the form as it is. Returns whether a
// record was found.
bool SelectPart(CalculatorForm& form, const CPartTable& table, std::string_view name);

}  // namespace tervane
