#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "form/form_calculation.h"

namespace tervane {

// The whole report of a failed calculation.
inline constexpr std::string_view kNoiseErrorReport = "error, check inputs for consistency";

// Why a stage has no breakdown, no spectrum and no noise figures: a power
// below 0 has no density (HasNegativePower).
inline constexpr std::string_view kNegativePowerText =
    "a noise power is negative, from a negative resistor, temperature or corner";

// Why there is no spectrum, one sentence for each fault: the report's own
// error text for a failed calculation.
std::string SpectrumFaultText(SpectrumFault fault);

// Why the window draws no spectrum of a stage without any noise: a log axis
// has no place for 0.
inline constexpr std::string_view kSilentSpectrumText = "No spectrum: the stage makes no noise at all.";

// Shown as the part name when no part of the list is selected.
inline constexpr std::string_view kNoPartSelected = "(none)";

// The "Noise Results" text: Windows-1252, lines ending in CR LF, no line end
// after the gain (the transimpedance amplifier's signal to noise ratio,
// which its report ends with). `partName` is the selected list item's text,
// or nothing when the list has no selection.
std::string BuildNoiseReport(const NoiseResult& result, std::optional<std::string_view> partName);

}  // namespace tervane
