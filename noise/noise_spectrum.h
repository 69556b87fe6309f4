#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "noise/noise_source.h"
#include "noise/stage_inputs.h"
#include "noise/stage_result.h"

namespace tervane {

// The output noise at one frequency. In carry mode the carried noise lies
// at a flat density over CarriedBand(stage) and is part of the total, which
// then integrates over the band to the report's "Noise voltage with carry";
// otherwise to its "Total noise voltage".
struct SpectrumPoint {
  double frequency = 0;  // Hz
  double total = 0;      // V/rtHz at the output
  // V/rtHz by SourceIndex; 0 for a source the topology does not have. The
  // correlation's is -sqrt(-power) where it takes power away (SignedRoot).
  std::array<double, kStageSourceCount> density{};
  double carried = 0;  // V/rtHz; 0 outside carry mode and outside its band
  double gain = 0;     // |G(f)|, the stage's signal gain at f (the textbook stage's flat |G|)
};

// Each source's density is the stage's at f (StageAt): the textbook
// stage's terms with the 1/f rise of those that rise below the corner
// (RisesBelowCorner), the resistors' thermal noise flat, so that, the
// model's F being the band average of that shape, the total's power over
// fL..fH is exactly the report's Sn^2 (fH - fL); over frequency the
// stage's response, the carried noise following |G(f)|, and the total
// integrates to the report's noise all the same. Nothing for a failed
// calculation, where a term's power is negative (HasNegativePower) or not
// finite, or for f <= 0 or not finite.
std::optional<SpectrumPoint> NoiseSpectrumAt(const StageInputs& stage, const StageResult& result, double frequency);

// A decade either side of the band.
struct SpectrumRange {
  double lower = 0;  // fL / 10
  double upper = 0;  // 10 fH
};
SpectrumRange SpectrumRangeOf(const StageInputs& stage);

// Why a stage has no spectrum, in the order the reasons are looked for.
enum class SpectrumFault {
  kCalculationFailed,
  kNegativePower,   // HasNegativePower
  kTooFewPoints,    // fewer than 2 points asked for
  kLowerUnderflow,  // fL / 10 underflows to 0
  kUpperOverflow,   // 10 fH is beyond the largest double
  kRiseOverflow,    // the 1/f rise at fL / 10 takes a power beyond the largest double
};

// Nothing when NoiseSpectrum has its points.
std::optional<SpectrumFault> SpectrumFaultOf(const StageInputs& stage, const StageResult& result, std::size_t points);

// The faults of the points and the range alone (kTooFewPoints,
// kLowerUnderflow, kUpperOverflow); nothing when `points` log-spaced
// frequencies over it are numbers.
std::optional<SpectrumFault> RangeFaultOf(SpectrumRange range, std::size_t points);

// `points` (2 or more) log-spaced frequencies over `range`, both ends
// included exactly.
std::vector<double> SpectrumFrequencies(SpectrumRange range, std::size_t points);

// `points` log-spaced points over SpectrumRangeOf(stage), both ends
// included; nothing where SpectrumFaultOf gives a fault.
std::optional<std::vector<SpectrumPoint>> NoiseSpectrum(const StageInputs& stage, const StageResult& result,
                                                        std::size_t points);

}  // namespace tervane
