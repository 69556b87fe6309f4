#pragma once

#include <array>
#include <optional>

#include "noise/noise_source.h"
#include "noise/weighting.h"

namespace tervane {

// The check a failed calculation stopped at, in the order they run.
enum class StageFailure {
  kBandNotAscending,            // fL < fH does not hold (equal edges, NaN)
  kZeroReference,               // the 0 dB reference is 0
  kLoadOnInverting,             // a load resistor or capacitor in the inverting stage, which has no + input to load
  kSourcePartOnTransimpedance,  // Ls, Rload or Cload in the TIA, whose source is the photodiode alone
  kCarryIntoTransimpedance,     // carry mode into the TIA, whose input is a current: no voltage to carry
  kFaultyPart,                  // a part of the circuit as built that no circuit has (FindFaultyPart)
  kLosslessResonance,           // the source with its load resonates without loss in the band (LosslessResonance)
  kExcessNoiseOfNoResistor,     // excess noise given for a resistor the stage lacks (ExcessNoiseOfNoResistor)
  kNoSolution,                  // the topology cannot be worked out (R1 = 0, R1 + Rs = 0, Rf = 0, Rsh = 0, none chosen)
  kNotFinite,                   // a result is infinite or not a number
};

// Each calculated stage's powers over the band, V^2 at the output, by
// whichever path it was calculated: the closed forms fill them for the
// textbook stage, the band integrals (IntegrateStage) over frequency, and
// the views read them alike.
struct BandPowers {
  std::array<double, kStageSourceCount> source{};  // each source's power over fL..fH, by SourceIndex
  // The stage's own output power through each weighting, by WeightingIndex:
  // the textbook stage's white part times the integral of |W|^2 over the
  // band plus its 1/f part (fc times the terms that rise below the corner,
  // RisesBelowCorner) times that of |W|^2 / f.
  std::array<double, kWeightingCount> weighted{};
  // In carry mode, the integral of |G(f)|^2 |W(f)|^2 df over the carried
  // band (CarriedBand), Hz, by WeightingIndex: the carried noise lies flat
  // there before the stage's gain, and at the output as this integrand. The
  // textbook stage's flat G is in its carried noise already: its integrals
  // are of |W|^2 alone.
  std::array<double, kWeightingCount> carriedGain{};
  // The source's own thermal noise at the output over the band, per kelvin
  // of the source's temperature, V^2/K: of Zs alone (4k Rs |G|^2; 0 without
  // a source resistance), what the noise figure compares with, and of the
  // source with its load (4k Re{Zs || Zl} |NG H|^2; Zs's alone where there is
  // no load resistor), what the active stage's figure compares with.
  double sourcePerKelvin = 0;
  double loadedSourcePerKelvin = 0;
  // The TIA's output referred to its input at each frequency, through
  // |G(f)|^2 = |Zt(f)|^2, over the band and read through each weighting,
  // A^2, by WeightingIndex: the photodiode current's own noise. 0 for a
  // voltage stage.
  std::array<double, kWeightingCount> inputPower{};
};

// What one calculation works out. The flicker factor and the corrected
// densities are always there; values after a failed check are empty. A
// result that is not finite is kept, with the failure, so that it can be
// shown for what it is.
struct StageResult {
  std::optional<StageFailure> failure;
  double flicker = 0;                   // F
  double enCorrected = 0;               // en' = en F
  double inCorrected = 0;               // in': in F_i with fci, in F when the corner applies to it, else in
  std::optional<double> outputDensity;  // Sn, V/rtHz: sqrt(Vn^2 / (fH - fL)), the band average
  std::optional<double> gain;           // G; |G(1 kHz)| on the frequency-dependent path
  std::optional<double> ownNoise;       // Vn of this stage alone, V
  std::optional<double> carriedNoise;   // the carried noise at this output, V (carry mode)
  std::optional<double> totalNoise;     // Vn with the carried noise in carry mode, V
  std::optional<double> snr;            // dB; the TIA's of its photocurrent, none without one
  std::optional<double> inputNoise;     // the TIA's flat sqrt(BandPowers::inputPower), A rms
  bool reduced = false;                 // the carried noise was scaled to a changed band
  // Each stage source's band-average density, V/rtHz, and its noise over
  // the band, V, by SourceIndex, signed as SignedRoot gives them (0 for a
  // source the stage lacks): the terms Sn and Vn are made of, as the
  // breakdown shows them.
  std::array<double, kStageSourceCount> sourceDensity{};
  std::array<double, kStageSourceCount> sourceNoise{};
  BandPowers powers;  // what the views read through the weightings
};

}  // namespace tervane
