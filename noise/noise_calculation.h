#pragma once

#include <array>
#include <optional>

#include "noise/calculator_form.h"
#include "noise/noise_source.h"
#include "noise/temperature.h"

namespace tervane {

// Four times Boltzmann's constant (CODATA 2006), as one double.
inline constexpr double kFourBoltzmann = 5.5226016e-23;

// Everything one calculation reads and works out. Values the calculation
// did not reach (after a failed check) are empty.
struct NoiseResult {
  bool error = false;        // inputs inconsistent, or a result not finite
  bool withCarry = false;    // "Calc w/Carry"
  bool applyCorner = false;  // the flicker factor also scales the current noise
  bool reduced = false;      // the carried noise was scaled to a changed band
  bool r1Read = false;       // the topology uses R1
  int ampType = -1;          // AmplifierType, as the form chose it

  // Inputs as read.
  Temperature temperature{};
  double fourKT = 0;
  double en = 0;  // V/rtHz
  double in = 0;  // A/rtHz
  double lowerFreq = 0;
  double upperFreq = 0;
  double refVoltage = 0;
  double sourceResistor = 0;
  double r1 = 0;
  double r2 = 0;
  double cornerFreq = 0;
  double carry = 0;  // V, as typed in the carry field

  // Derived.
  double flicker = 0;         // F
  double enCorrected = 0;     // en'
  double inCorrected = 0;     // in'
  std::optional<double> outputDensity;  // Sn, V/rtHz
  std::optional<double> gain;           // G
  std::optional<double> ownNoise;       // Vn of this stage alone, V
  std::optional<double> carriedNoise;   // the carried noise at this output, V (carry mode)
  std::optional<double> totalNoise;     // Vn with the carried noise in carry mode, V
  std::optional<double> snr;            // dB
};

// Each stage source's output noise power density, V^2/Hz, indexed by
// NoiseSource; 0 for a source the topology does not have.
struct StageTerms {
  std::array<double, kStageSourceCount> power{};
  double gain = 0;  // G
};

// The model's terms for the topology and resistors of `r`, with op-amp
// densities `en` and `in` as they apply: the band's en' and in' for the
// report, spot values for a spectrum. Nothing when the topology cannot be
// worked out from these resistors (or none is chosen).
std::optional<StageTerms> StageNoiseTerms(const NoiseResult& r, double en, double in);

// Sn^2: the terms added in source order, as the report forms it.
double TotalPower(const StageTerms& terms);

// The noise model of one stage, from the form as it stands. Reads the form
// only; the write-back after a successful calculation is WriteBackResults.
NoiseResult ComputeNoise(const CalculatorForm& form);

}  // namespace tervane
