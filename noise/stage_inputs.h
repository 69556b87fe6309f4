#pragma once

#include <optional>

#include "noise/amplifier_type.h"
#include "noise/band.h"

namespace tervane {

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
};

// Whether any of the circuit's values is given: then every result is the
// stage's response integrated over the band; with none, every result is the
// textbook stage's closed form, exactly as it always was.
inline bool IsFrequencyDependent(const StageInputs& s) {
  return s.sourceInductance || s.loadResistor || s.loadCapacitor || s.feedbackCapacitor || s.gainBandwidth ||
         s.currentCorner;
}

}  // namespace tervane
