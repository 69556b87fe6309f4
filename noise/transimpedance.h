#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <optional>

namespace tervane {

// A photodiode into a transimpedance amplifier (noise_model.md, "Light in:
// the transimpedance amplifier"): a current source with its shunt
// resistance and capacitance from the - input to ground, Rf || Cf from the
// output back to the - input, the + input grounded or through Rb || Cb, and
// an op amp whose inputs have capacitance. SI units, none below 0. A
// resistor of 0 is not there: Rsh 0 is no shunt (an open), Rb 0 grounds
// the + input.
struct TransimpedanceInputs {
  double en = 0;                       // V/rtHz, white
  double in = 0;                       // A/rtHz at each input, white
  double cornerFreq = 0;               // fc, Hz: en(f)^2 = en^2 (1 + fc / f)
  double currentCorner = 0;            // fci, Hz: in(f)^2 = in^2 (1 + fci / f)
  double gainBandwidth = 0;            // GBW, Hz: A = GBW / (j f); 0 is an ideal op amp
  double commonModeCapacitance = 0;    // Ccm, F, from each input to ground
  double differentialCapacitance = 0;  // Cdiff, F, between the inputs
  double shuntResistance = 0;          // Rsh, ohm, the photodiode's
  double diodeCapacitance = 0;         // Cd, F
  double feedbackResistor = 0;         // Rf, ohm (the stage's R2)
  double feedbackCapacitor = 0;        // Cf, F
  double biasResistor = 0;             // Rb, ohm, from the + input to ground
  double biasCapacitor = 0;            // Cb, F, across Rb
  double darkCurrent = 0;              // Id, A
  double photocurrent = 0;             // Iph, A
  double responsivity = 0;             // R, A/W; 0 is none given
  double kelvin = 0;
  double lowerFreq = 0;  // fL, Hz
  double upperFreq = 0;  // fH, Hz
};

// The TIA's noise sources, by their place in per-source arrays.
enum class TransimpedanceSource {
  kVoltageNoise,       // en times the noise gain
  kCurrentNoiseMinus,  // in at the - input, through Zf
  kCurrentNoisePlus,   // in at the + input, through Rb (none without Rb)
  kRfThermal,
  kRshThermal,  // none without Rsh
  kRbThermal,   // none without Rb
  kShotNoise,   // 2q (Id + Iph), through Zf
};
inline constexpr std::size_t kTransimpedanceSourceCount = 7;
constexpr std::size_t TransimpedanceIndex(TransimpedanceSource s) { return static_cast<std::size_t>(s); }

// Why a TIA has no result, in the order the checks run.
enum class TransimpedanceFailure {
  kBadValue,            // a value below 0, or not finite
  kNoFeedbackResistor,  // Rf = 0: nothing turns the current into a voltage
  kCbWithoutRb,         // a Cb across no Rb
  kBandNotAscending,    // 0 < fL < fH does not hold
  kNotFinite,           // a band total is infinite or not a number
  kIdealOpAmp,          // Cf for a Q asked of an op amp without GBW, whose loop has no Q
  kDampedWithoutCf,     // Cf for Q = 0.707 asked where the loop is damped beyond it without any Cf
};

// The checks every result of a TIA runs first: values, Rf, Cb without Rb.
std::optional<TransimpedanceFailure> TransimpedanceCircuitFailure(const TransimpedanceInputs& tia);

// The TIA at one frequency (> 0), of inputs that pass
// TransimpedanceCircuitFailure.
struct TransimpedanceAt {
  // Zin, from the - input to ground: Rsh || 1/(j w (Cd + Ccm + Cdiff)) with
  // the + input grounded; with Rb, Cdiff reaches ground through it.
  // Infinite where the - input has neither Rsh nor capacitance.
  std::complex<double> inputImpedance;
  std::complex<double> feedbackImpedance;  // Zf = Rf || 1/(j w Cf)
  std::complex<double> noiseGain;          // NG, from the op amp's en to the output with an ideal op amp
  std::complex<double> closedLoop;         // H = A / (A + NG); 1 for an ideal op amp
  std::complex<double> transimpedance;     // Zt = -Zf H, V/A, from the photocurrent to the output
  std::array<double, kTransimpedanceSourceCount> power{};  // V^2/Hz at the output, by TransimpedanceIndex
};
TransimpedanceAt TransimpedanceResponseAt(const TransimpedanceInputs& tia, double frequency);

// The output noise referred to the input through |Zt|, A/rtHz: the
// current at the photodiode that would make as much.
double InputCurrentDensity(const TransimpedanceAt& at);

// The optical power, W (W/rtHz for a density), whose photocurrent is
// `current`: current / R. With the input current density, the
// noise-equivalent power NEP; with the band's rms, the minimum detectable
// power. None without a responsivity.
std::optional<double> OpticalPower(const TransimpedanceInputs& tia, double current);

// The noise over fL..fH.
struct TransimpedanceBand {
  std::optional<TransimpedanceFailure> failure;
  std::array<double, kTransimpedanceSourceCount> power{};  // V^2 at the output, by TransimpedanceIndex
  double outputNoise = 0;                                  // V rms at the output, all of them
  // A rms: the input current density squared, integrated over the band.
  double inputCurrentNoise = 0;
};
TransimpedanceBand IntegrateTransimpedance(const TransimpedanceInputs& tia);

// The closed loop as a second-order system, the + input at AC ground
// (noise_model.md, "The loop").
struct TransimpedanceLoop {
  std::optional<TransimpedanceFailure> failure;
  std::optional<double> q;                   // none for an ideal op amp
  std::optional<double> phaseMarginDegrees;  // none for an ideal op amp
  std::optional<double> bandwidth;           // Hz, where |Zt| falls 3 dB below Rf; none where it never does
};
TransimpedanceLoop LoopOf(const TransimpedanceInputs& tia);

// The Cf, F, that makes the loop's Q 1/sqrt(2), from Rf, Rsh, the input's
// capacitance Cd + Ccm + Cdiff and GBW; the inputs' own Cf is not read.
struct CfForQResult {
  std::optional<TransimpedanceFailure> failure;
  double feedbackCapacitor = 0;
};
CfForQResult CfForQ(const TransimpedanceInputs& tia);

}  // namespace tervane
