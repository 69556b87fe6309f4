#pragma once

#include <optional>
#include <vector>

#include "noise/flicker_corner.h"
#include "noise/noise_source.h"
#include "noise/stage_inputs.h"
#include "noise/stage_result.h"
#include "noise/weighting.h"

namespace tervane {

// Peak-to-peak per rms: the corner estimator's 6 by default; 6.6 is the
// other common choice (exceeded about 0.1 % of the time by Gaussian noise).
inline constexpr double kDefaultCrestFactor = kPeakToPeakPerRms;
inline constexpr double kWideCrestFactor = 6.6;

// One source's share of the output noise.
struct NoiseContribution {
  NoiseSource source;
  // V/rtHz at the output. For the 1/f-shaped sources it is the band-average
  // density (en' and in' as the report uses them), and over frequency every
  // source's band average, total / sqrt(fH - fL); for the carried noise its
  // flat density over CarriedBand, where it lies.
  double density = 0;
  double total = 0;    // V over the band: density * sqrt(fH - fL), the carried noise's over its band
  double percent = 0;  // of the output noise power; the rows add up to 100 (all 0 when there is none)
  // The correlation of the inputs' current noise (IsSigned) takes power
  // away where the currents cancel: its density and total are then
  // -sqrt(-power) and its share negative, the others' adding up to more
  // than 100.
};

struct NoiseBreakdown {
  // Largest first; equal shares in NoiseSource order. Only the stage's
  // sources are listed (TopologySources: no R1 in the buffer, no in.Rs in
  // the inverting stage, Rload where it is given); in carry mode the carried
  // noise is one more row, so that the rows' powers add up to the reported
  // total.
  std::vector<NoiseContribution> contributions;
  double outputTotal = 0;    // V: the reported total, with the carry in carry mode
  double inputReferred = 0;  // V: outputTotal / G (|G(1 kHz)| over frequency); A, the TIA's input current
  double inputDensity = 0;   // V/rtHz (A/rtHz): the band average, inputReferred / sqrt(fH - fL), the carry included
  double crestFactor = 0;
  double peakToPeak = 0;  // V: outputTotal * crestFactor
};

// Largest total first, a negative correlation last; equal totals in
// NoiseSource order.
void SortLargestFirst(std::vector<NoiseContribution>& rows);

// The breakdown of a successful calculation of `stage`. Nothing for a failed
// one, or when a term's power is negative (HasNegativePower), which has no
// density.
std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& stage, const StageResult& result, double crestFactor);

// The breakdown with each row's total and share read through `weighting`
// (SourcePowersOverBand, CarriedPower), largest first, so that the rows'
// powers add up to the weighted output noise; the densities stay the band
// averages and the summary (outputTotal on) the report's. Nothing where the
// band has no weighting integrals. Flat, BreakdownNoise above.
std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& stage, const StageResult& result, double crestFactor,
                                             Weighting weighting);

}  // namespace tervane
