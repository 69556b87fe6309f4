#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "form/calculator_form.h"
#include "form/temperature.h"
#include "noise/band_integration.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_spectrum.h"
#include "noise/stage_inputs.h"
#include "noise/stage_result.h"

namespace tervane {

// One calculation of the form: the stage as its fields read, what the noise
// model makes of it, and what only the form's texts need (the temperature in
// the scale it was typed in, whether R1 was read at all).
struct NoiseResult {
  StageInputs inputs;
  StageResult outcome;
  Temperature temperature{};
  bool r1Read = false;  // the topology uses R1
};

// The stage as the form's fields read (as ComputeNoise reads them), not
// yet calculated.
NoiseResult ReadNoiseInputs(const CalculatorForm& form);

// Whether every value WriteBackResults would put into a field is finite: a
// calculation whose values are not fails as kNotFinite, since a field
// written back as a text that is no number would fail the next one.
bool WritesBackFinite(const NoiseResult& result);

// The noise model of one stage, from the form as it stands: every number in
// engineering notation, the temperature with its unit letter, R1 only where
// the topology uses it, the carry only in carry mode. A calculation whose
// values to write back are not all finite fails as kNotFinite. Reads the
// form only; the write-back after a successful calculation is
// WriteBackResults.
NoiseResult ComputeNoise(const CalculatorForm& form);

// The calculation of a stage read from a form once more, with its inputs as
// they now stand (a ranking puts each part's op amp in): as ComputeNoise
// would calculate a form that reads so. `prepared`, where given, is the
// stage's circuit prepared for many op amps (PreparedCircuit of the same
// stage but for its op amp), whose band integrals it then takes.
void Recalculate(NoiseResult& result, const PreparedCircuit* prepared = nullptr);

// A further measurement of the same op amp in the same stage but for its
// source (the data-sheet method: a low and a high Rs separate en from in):
// `stage` with `ohms` for Rs, calculated again, as ComputeNoise calculates
// the form with that Source Resistor.
NoiseResult AtSourceResistor(NoiseResult stage, double ohms);

// The source resistor of such a measurement as typed (Windows-1252), read
// as the form reads its fields; none where the text is blank, does not read
// whole (ReadEngValue) or reads as a negative or unbounded resistance.
std::optional<double> ReadSourceResistor(std::string_view text);

// The note of the circuit as built that says why `result` failed
// (LoadRefusal, PartRefusal; a lossless resonance with its frequency; the
// resistor whose excess noise is given though the stage lacks it; the
// transimpedance amplifier's carry and its missing Rf or shorted diode);
// none otherwise.
std::optional<std::string> BuiltCircuitRefusal(const NoiseResult& result);

// Sets Bias Resistor to the value that cancels the bias currents' offsets
// in the form's stage (BiasCancellingResistor), as the calculation shows
// values. False, the form unchanged, where there is none (no topology, a
// value that is not finite).
bool SetBiasCancellingResistor(CalculatorForm& form);

// "Cf for Q = 0.707": sets Feedback Capacitor to the Cf that makes the
// transimpedance amplifier's loop as flat as it can be without peaking
// (CfForQ), as the calculation shows values. Why there is none, the form
// unchanged, otherwise: not a transimpedance amplifier, no loop a circuit
// has, an ideal op amp, or a loop damped beyond Q = 0.707 without any Cf.
std::optional<std::string_view> SetCfForQ(CalculatorForm& form);

// The noise model's views of a calculation of the form.
inline std::optional<NoiseBreakdown> BreakdownNoise(const NoiseResult& result,
                                                    double crestFactor = kDefaultCrestFactor,
                                                    Weighting weighting = Weighting::kNone) {
  return BreakdownNoise(result.inputs, result.outcome, crestFactor, weighting);
}
inline std::optional<SpectrumPoint> NoiseSpectrumAt(const NoiseResult& result, double frequency) {
  return NoiseSpectrumAt(result.inputs, result.outcome, frequency);
}
inline std::optional<std::vector<SpectrumPoint>> NoiseSpectrum(const NoiseResult& result, std::size_t points) {
  return NoiseSpectrum(result.inputs, result.outcome, points);
}
inline std::optional<SpectrumFault> SpectrumFaultOf(const NoiseResult& result, std::size_t points) {
  return SpectrumFaultOf(result.inputs, result.outcome, points);
}

}  // namespace tervane
