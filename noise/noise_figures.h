#pragma once

#include <array>
#include <optional>

#include "noise/noise_calculation.h"
#include "noise/weighting.h"

namespace tervane {

// The reference temperature of the noise figure, K (IEEE): the source is
// taken at it, whatever the stage's own temperature. The source is its own
// impedance Zs (Rs with Ls, lossless): a load resistor on the input, Rb and
// every other resistor of the stage are the stage's noise: "noise factor"
// in IEEE Std 100, after the IRE Standards on Methods of Measuring Noise in
// Linear Twoports, 1959 (Proc. IRE 48, 1960), and H. T. Friis, "Noise
// Figures of Radio Receivers", Proc. IRE 32, 1944.
inline constexpr double kNoiseFigureT0 = 290;

// 0 dBu, the voltage of 1 mW in 600 ohm: sqrt(0.6) V. And +4 dBu, the
// professional line level SNRs are often quoted against.
inline constexpr double kZeroDbu = 0.7745966692414834;
inline constexpr double kPlusFourDbu = 1.22765298798388;

// One stage's output noise and what the figures refer it to, as numbers.
struct FigureInputs {
  // V^2 at the output through each weighting (by WeightingIndex), the
  // carried noise included: Vo_W^2.
  std::array<double, kWeightingCount> power{};
  // The source's own thermal noise at the output over the band, unweighted,
  // per kelvin of its temperature, V^2/K: 4k Rs G^2 (fH - fL) for the
  // textbook stage, the integral of 4k Rs |G|^2 over frequency. Part of
  // `power` at `temperature`; 0 where there is no source resistance.
  double sourcePerKelvin = 0;
  // Where a load resistor is given, the same of the source with its load,
  // the integral of 4k Re{Zs || Zl} |NG H|^2: Rs's and Rload's.
  std::optional<double> loadedSourcePerKelvin;
  double temperature = 0;  // K, the stage's
  double gain = 0;         // signal gain from the source to the output (|G(1 kHz)| over frequency)
  double en = 0;           // V/rtHz, the op amp's noise as the band averages it
  double in = 0;           // A/rtHz
  double reference = 0;    // V, the 0 dB reference of the SNR: the TIA's photocurrent times Rf
  // A/W, the TIA's, which turns its input current into an optical power.
  std::optional<double> responsivity;
  // The TIA's input current through each weighting, A^2 (BandPowers::
  // inputPower): its EIN, where the others' is the output over the gain.
  std::optional<std::array<double, kWeightingCount>> inputPower;
};

// One weighting's figures. EIN is the output noise over the signal gain,
// or the TIA's input current.
struct WeightedFigures {
  std::optional<double> outputV;
  std::optional<double> outputDbu;
  std::optional<double> outputDbv;
  std::optional<double> inputV;  // EIN
  std::optional<double> einDbu;
  std::optional<double> einDbv;
  std::optional<double> snrDb;        // re the 0 dB reference
  std::optional<double> snrRe4DbuDb;  // re +4 dBu
  // EIN over the responsivity, W: a TIA's minimum detectable power.
  std::optional<double> inputW;
};

// A figure the inputs leave undefined, or that would not be finite, is
// empty: no noise figure without a source resistance, no optimum without
// current noise, no dB of zero noise, nothing at all from a non-finite
// input.
struct NoiseFigures {
  std::optional<double> signalGain;
  std::optional<double> gainDb;
  std::optional<double> noiseFactor;  // F, flat over the band with the 1/f terms and the carry
  std::optional<double> noiseFigureDb;
  std::optional<double> noiseTemperatureK;  // Te = T0 (F - 1)
  // With the source and its load resistor at T0, where a load is given: what
  // the op amp and its resistors add to the loaded source.
  std::optional<double> noiseFigureLoadedDb;
  // Ropt = en'/in' = sqrt(integral of en(f)^2 / integral of in(f)^2 over
  // the band), the rms densities over the band: en' with its 1/f rise, in'
  // with it only where the corner applies to the current noise. The source
  // resistance of least noise over the band; the ranking's R_opt too.
  std::optional<double> optimumSourceOhm;
  std::optional<double> minNoiseFigureDb;  // at the optimum source resistance
  std::array<WeightedFigures, kWeightingCount> weighted{};
  const WeightedFigures& operator[](Weighting w) const { return weighted[WeightingIndex(w)]; }
};

// Every figure, for all the weightings.
NoiseFigures ComputeNoiseFigures(const FigureInputs& inputs);

// The inputs of a calculated stage, from its band powers (BandPowers): its
// own output through each weighting and, in carry mode, the carried noise's
// (CarriedPower). Nothing for a failed calculation; every power NaN where
// the band has no weighting integrals.
std::optional<FigureInputs> FigureInputsOf(const StageInputs& stage, const StageResult& result);

// The figures of a calculated stage under the breakdown's rule: where a
// term's power is negative (HasNegativePower) there is no noise to give a
// figure of, and only the gain is left. Nothing for a failed calculation.
std::optional<NoiseFigures> StageNoiseFigures(const StageInputs& stage, const StageResult& result);

}  // namespace tervane
