#pragma once

#include <string_view>

#include "form/calculator_form.h"
#include "parts/part_table.h"

namespace tervane {

// What choosing a part whose line gives no gain-bandwidth or current-noise
// corner leaves in those fields: nothing, as the list does, or what the form
// held, as the ranking does with the figures typed for such parts.
enum class MissingFigures { kEmpty, kKeepForm };

// Choosing a part in the list: its three noise figures, its gain-bandwidth
// and its current-noise corner replace the form's, typed over or not. A
// name without a record (no selection, nothing loaded) leaves the form as it
// is. Returns whether a record was found.
bool SelectPart(CalculatorForm& form, const CPartTable& table, std::string_view name,
                MissingFigures missing = MissingFigures::kEmpty);

}  // namespace tervane
