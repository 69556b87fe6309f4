#pragma once

#include <array>
#include <optional>
#include <span>

#include "measured/measured_spectrum.h"
#include "noise/band.h"
#include "noise/stage_inputs.h"
#include "noise/weighting.h"

namespace tervane {

// A measurement's power over a band: its power density d^2 taken as a
// power law between neighbouring points (a straight line on log-log axes),
// which integrates exactly, and at the band's edges interpolated so.
// Through a weighting, |W(f)|^2 d^2 is integrated the same way on steps of
// at most a five-hundredth of a decade, |W| exact at every step's ends and d^2
// interpolated between the points; flat, the steps add up to the points'
// own power laws.
struct MeasuredBandPower {
  Band covered;                                  // the part of the band the points span
  std::array<double, kWeightingCount> power{};   // V^2 over `covered`, by WeightingIndex
};

// Nothing unless the points (strictly rising frequencies, densities > 0)
// span some of the band with a width.
std::optional<MeasuredBandPower> MeasuredPowerOverBand(std::span<const MeasuredPoint> points, Band band);

// The measurement beside the model over the part of the stage's band the
// measurement spans: the model calculated over that part alone (a carried
// noise spread over the whole band, as a changed band spreads it).
struct BandComparison {
  MeasuredBandPower measured;
  std::array<double, kWeightingCount> model{};         // V^2, the carried noise in, by WeightingIndex
  std::array<double, kWeightingCount> differenceDb{};  // 10 log10(measured / model)
};

// Nothing where the measurement spans none of the band, the stage cannot
// be calculated over that part, or a measurement referred to the input
// cannot be taken to the output (AtOutput).
std::optional<BandComparison> CompareOverBand(const MeasuredSpectrum& spectrum, const StageInputs& stage);

}  // namespace tervane
