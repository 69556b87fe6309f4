#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "form/form_calculation.h"

namespace tervane {

// The whole report of a failed calculation.
inline constexpr std::string_view kNoiseErrorReport = "error, check inputs for consistency";

// Shown as the part name when no part of the list is selected.
inline constexpr std::string_view kNoPartSelected = "(none)";

// The "Noise Results" text: Windows-1252, lines ending in CR LF, no line end
// after the gain. `partName` is the selected list item's text, or nothing
// when the list has no selection.
std::string BuildNoiseReport(const NoiseResult& result, std::optional<std::string_view> partName);

}  // namespace tervane
