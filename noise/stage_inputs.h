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
  bool applyCorner = false;  // the 1/f corner shapes the current noise too
  // The previous stage's total noise, V, in "Calc w/Carry" only.
  std::optional<double> carry;
  // The band that noise was worked out over; none before any calculation.
  std::optional<Band> previousBand;

  // The circuit as it is built, each part absent unless given: with none of
  // them the stage is the textbook one above.
  std::optional<double> sourceInductance;   // Ls, H, in series with Rs
  std::optional<double> loadResistor;       // Rload, ohm, + input to ground
  std::optional<double> loadCapacitor;      // Cload, F, + input to ground
  std::optional<double> feedbackCapacitor;  // Cf, F, across R2
  std::optional<double> gainBandwidth;      // GBW, Hz: the open-loop gain is GBW / (j f)
  std::optional<double> currentCorner;      // fci, Hz: in(f)^2 = in^2 (1 + fci / f)
};

}  // namespace tervane
