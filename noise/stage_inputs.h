#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "noise/amplifier_type.h"
#include "noise/band.h"

namespace tervane {

// A resistor's excess (1/f) noise with a DC voltage across it: its noise
// index NI, in dB re 1 uV of noise per volt per decade, gives a density
// e(f)^2 = (V 10^(NI/20) 1e-6)^2 / (f ln 10), a voltage in series with it.
struct ExcessNoise {
  double noiseIndexDb = 0;  // NI, dB
  double dcVolts = 0;       // V across the resistor
};

// The resistors that may have excess noise, by their place in
// StageInputs::excess.
enum class ExcessResistor { kR1, kR2, kRs, kRload, kRb };
inline constexpr std::size_t kExcessResistorCount = 5;
constexpr std::size_t ExcessIndex(ExcessResistor r) { return static_cast<std::size_t>(r); }

// One stage as the noise model sees it, every value a number in SI units.
struct StageInputs {
  AmplifierType ampType = AMP_BUFFER;  // any other value has no solution
  double sourceResistor = 0;           // Rs, ohms
  double r1 = 0;                       // ohms; the buffer has none
  double r2 = 0;                       // ohms
  double kelvin = 0;
  double lowerFreq = 0;      // fL
  double upperFreq = 0;      // fH
  double refVoltage = 0;     // the 0 dB reference, V
  double en = 0;             // V/rtHz
  double in = 0;             // A/rtHz
  double cornerFreq = 0;     // fc, Hz
  bool applyCorner = false;  // the 1/f corner shapes the current noise too (unless currentCorner is given)
  // The previous stage's total noise, V, in "Calc w/Carry" only.
  std::optional<double> carry;
  // The band that noise was worked out over; none before any calculation.
  std::optional<Band> previousBand;

  // The circuit as it is built (noise_model.md, "Over frequency"); each is
  // absent when the circuit has none. Any one of them makes the stage
  // frequency-dependent (IsFrequencyDependent).
  std::optional<double> sourceInductance;   // Ls, H, in series with Rs
  std::optional<double> loadResistor;       // Rload, ohm, from the + input to ground (not in the inverting stage)
  std::optional<double> loadCapacitor;      // Cload, F, across Rload (not in the inverting stage)
  std::optional<double> feedbackCapacitor;  // Cf, F, across R2
  std::optional<double> gainBandwidth;      // GBW, Hz: the op amp's open-loop gain is GBW / (j f)
  std::optional<double> currentCorner;      // fci, Hz: in(f)^2 = in^2 (1 + fci / f), in place of the applyCorner rule
  // Inverting, from the + input to ground; otherwise in series between the
  // source with its load and the + input. Absent, the + input is grounded or
  // joined to the source: 0 ohm, across which Cb is nothing.
  std::optional<double> biasResistor;   // Rb, ohm
  std::optional<double> biasCapacitor;  // Cb, F, across Rb
  // The correlation c of the current noises at the two inputs, each in(f):
  // 0 independent (as when absent), 1 the same current out of both inputs.
  std::optional<double> inCorrelation;
  // By ExcessIndex; a resistor the stage lacks adds none.
  std::array<std::optional<ExcessNoise>, kExcessResistorCount> excess{};

  // The transimpedance stage's photodiode, from the - input to ground, and
  // the op amp's input capacitances: read by that stage alone (Rf is R2, Cf
  // feedbackCapacitor), each absent when not given.
  std::optional<double> shuntResistance;          // Rsh, ohm; absent, none (an open)
  std::optional<double> diodeCapacitance;         // Cd, F
  std::optional<double> darkCurrent;              // Id, A: shot noise
  std::optional<double> photocurrent;             // Iph, A: shot noise, and the signal
  std::optional<double> responsivity;             // R, A/W, what turns an optical power into a current
  std::optional<double> commonModeCapacitance;    // Ccm, F, from each input to ground
  std::optional<double> differentialCapacitance;  // Cdiff, F, between the inputs
};

// Whether any of the circuit's values is given, or the stage is the
// transimpedance amplifier, which is nothing else: then every result is the
// stage's response integrated over the band; with none, every result is the
// textbook stage's closed form, exactly as it always was. The photodiode's
// values and the op amp's input capacitances, which a voltage stage does
// not read, leave it as it is.
inline bool IsFrequencyDependent(const StageInputs& s) {
  bool excess = false;
  for (const std::optional<ExcessNoise>& e : s.excess) excess |= e.has_value();
  return s.ampType == AMP_TRANSIMPEDANCE || s.sourceInductance || s.loadResistor || s.loadCapacitor ||
         s.feedbackCapacitor || s.gainBandwidth || s.currentCorner || s.biasResistor || s.biasCapacitor ||
         s.inCorrelation || excess;
}

// What the transimpedance stage's - input sees to ground with the + input
// grounded, F: the photodiode's Cd and the op amp's Ccm and Cdiff.
inline double TransimpedanceInputCapacitance(const StageInputs& s) {
  return s.diodeCapacitance.value_or(0) + s.commonModeCapacitance.value_or(0) + s.differentialCapacitance.value_or(0);
}

// Where the carried noise lies in this band, at a flat density: the overlap
// of the previous band with this one (empty, lower > upper, when they do
// not overlap), or the whole band when there is no previous band. Every
// view spreads it so, as the scaling of the carry to a changed band assumes.
inline Band CarriedBand(const StageInputs& s) {
  Band band{s.lowerFreq, s.upperFreq};
  if (s.previousBand) {
    band.lower = std::fmax(band.lower, s.previousBand->lower);
    band.upper = std::fmin(band.upper, s.previousBand->upper);
  }
  return band;
}

}  // namespace tervane
