#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "noise/calculator_form.h"
#include "noise/noise_calculation.h"

namespace tervane {

// The whole report of a failed calculation.
inline constexpr std::string_view kNoiseErrorReport = "error, check inputs for consistency";

// Shown as the part name when no part of the list is selected.
inline constexpr std::string_view kNoPartSelected = "(none)";

// The "Noise Results" text: Windows-1252, lines ending in CR LF, no line end
// after the gain. `partName` is the selected list item's text, or nothing
// when the list has no selection.
std::string BuildNoiseReport(const NoiseResult& result, std::optional<std::string_view> partName);

// After a successful calculation: every value read goes back into its field
// in normalised notation (R1 only where the topology uses it, the temperature
// in Fahrenheit), the total noise into the carry field, and the band is kept
// for the next carry calculation. A failed calculation changes nothing.
void WriteBackResults(CalculatorForm& form, const NoiseResult& result);

}  // namespace tervane
