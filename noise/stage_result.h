#pragma once

#include <optional>

namespace tervane {

// The check a failed calculation stopped at, in the order they run.
enum class StageFailure {
  kBandNotAscending,  // fL < fH does not hold (equal edges, NaN)
  kZeroReference,     // the 0 dB reference is 0
  kNoSolution,        // the topology cannot be worked out (R1 = 0, R1 + Rs = 0, none chosen)
  kNotFinite,         // a result is infinite or not a number
};

// What one calculation works out. The flicker factor and the corrected
// densities are always there; values after a failed check are empty. A
// result that is not finite is kept, with the failure, so that it can be
// shown for what it is.
struct StageResult {
  std::optional<StageFailure> failure;
  double flicker = 0;                   // F
  double enCorrected = 0;               // en' = en F
  double inCorrected = 0;               // in' (in F when the corner applies to it)
  std::optional<double> outputDensity;  // Sn, V/rtHz
  std::optional<double> gain;           // G
  std::optional<double> ownNoise;       // Vn of this stage alone, V
  std::optional<double> carriedNoise;   // the carried noise at this output, V (carry mode)
  std::optional<double> totalNoise;     // Vn with the carried noise in carry mode, V
  std::optional<double> snr;            // dB
  bool reduced = false;                 // the carried noise was scaled to a changed band
};

}  // namespace tervane
