#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/text_table.h"
#include "noise/noise_breakdown.h"
#include "noise/weighting.h"

namespace tervane {

// The Breakdown view's table of `breakdown`, worked out through
// `weighting`: a row per source of its label, its band-average density, its
// total over the band and its share of the output noise power (to 0.1 %),
// the last two through the weighting, as the headings say. Units in plain
// ASCII (V/rtHz).
TextTable BreakdownTable(const NoiseBreakdown& breakdown, Weighting weighting);

// Under a breakdown (a stage's rows, or a chain's stages' rows one after
// another) with a row that takes power away (the correlation of the inputs'
// current noise), why its share is negative; nothing otherwise.
std::optional<std::string> NegativeShareNote(const std::vector<NoiseContribution>& rows);

}  // namespace tervane
