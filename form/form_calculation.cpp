#include "form/form_calculation.h"

#include <cmath>

#include "form/built_circuit.h"
#include "noise/noise_calculation.h"
#include "noise/stage_response.h"
#include "noise/transimpedance.h"
#include "notation/eng_parse.h"
#include "notation/shown_value.h"

namespace tervane {

NoiseResult ReadNoiseInputs(const CalculatorForm& form) {
  NoiseResult result;
  result.r1Read = form.m_nAmpType == AMP_NONINVERTING || form.m_nAmpType == AMP_INVERTING;
  result.temperature = ReadTemperature(form.m_strTemperature);
  StageInputs& r = result.inputs;
  r.ampType = static_cast<AmplifierType>(form.m_nAmpType);
  r.kelvin = result.temperature.kelvin;
  r.en = ParseEngValue(form.m_strNoiseVoltage);
  r.in = ParseEngValue(form.m_strNoiseCurrent);
  r.lowerFreq = ParseEngValue(form.m_strLowerFreq);
  r.upperFreq = ParseEngValue(form.m_strUpperFreq);
  r.refVoltage = ParseEngValue(form.m_strRefVoltage);
  r.sourceResistor = ParseEngValue(form.m_strSourceResistor);
  r.r2 = ParseEngValue(form.m_strR2);
  r.cornerFreq = ParseEngValue(form.m_strCornerFreq);
  if (result.r1Read) r.r1 = ParseEngValue(form.m_strR1);
  r.applyCorner = form.m_bApplyCorner != 0;
  if (form.m_bWithCarry != 0) r.carry = ParseEngValue(form.m_strCarry);
  if (form.m_bHavePrevBand) r.previousBand = Band{form.m_dPrevLowerFreq, form.m_dPrevUpperFreq};
  ReadBuiltCircuit(form, r);
  return result;
}

// The temperature goes back in Fahrenheit, which can overflow where the
// typed kelvin or Celsius did not.
bool WritesBackFinite(const NoiseResult& result) {
  const StageInputs& r = result.inputs;
  for (double v : {r.sourceResistor, result.r1Read ? r.r1 : 0.0, r.r2, result.temperature.fahrenheit, r.lowerFreq,
                   r.upperFreq, r.refVoltage, r.en, r.in, r.cornerFreq})
    if (!std::isfinite(v)) return false;
  if (HasBuiltCircuit(r))
    for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
      if (const std::optional<double> v = BuiltCircuitValue(r, i); v && !std::isfinite(*v)) return false;
  return true;
}

NoiseResult ComputeNoise(const CalculatorForm& form) {
  NoiseResult result = ReadNoiseInputs(form);
  Recalculate(result);
  return result;
}

void Recalculate(NoiseResult& result, const PreparedCircuit* prepared) {
  result.outcome =
      prepared ? CalculateStage(*prepared, OpAmpOf(result.inputs)) : CalculateStage(result.inputs);
  if (!result.outcome.failure && !WritesBackFinite(result)) result.outcome.failure = StageFailure::kNotFinite;
}

NoiseResult AtSourceResistor(NoiseResult stage, double ohms) {
  stage.inputs.sourceResistor = ohms;
  Recalculate(stage);
  return stage;
}

std::optional<double> ReadSourceResistor(std::string_view text) {
  // A blank reads as 0, which nobody typed.
  if (text.find_first_not_of(" \t\n\v\f\r") == std::string_view::npos) return std::nullopt;
  const EngReading ohms = ReadEngValue(text);
  if (ohms.partUnread || !std::isfinite(ohms.value) || ohms.value < 0) return std::nullopt;
  return ohms.value;
}

namespace {

// "Source Inductance and Load Capacitor resonate at 15.92kHz, ..."
std::string LosslessResonanceNote(double frequency) {
  return "Source Inductance and Load Capacitor resonate at " + ShownValue(frequency) +
         "Hz, in the band, with no resistance to damp them: the current noise through them has no bound there. "
         "Give a Source Resistor or a Load Resistor, or a band that leaves the resonance out.";
}

}  // namespace

std::optional<std::string> BuiltCircuitRefusal(const NoiseResult& result) {
  switch (result.outcome.failure.value_or(StageFailure::kNotFinite)) {
    case StageFailure::kLoadOnInverting:
    case StageFailure::kSourcePartOnTransimpedance:
      return std::string(LoadRefusal(result.inputs).value_or(""));
    case StageFailure::kCarryIntoTransimpedance:
      return std::string(kCarryIntoTransimpedanceNote);
    case StageFailure::kFaultyPart:
    case StageFailure::kExcessNoiseOfNoResistor:
      return PartRefusal(result.inputs);
    case StageFailure::kLosslessResonance:
      return LosslessResonanceNote(LosslessResonance(result.inputs).value_or(NAN));
    case StageFailure::kNoSolution:
      if (result.inputs.ampType != AMP_TRANSIMPEDANCE) return std::nullopt;
      return std::string(kTransimpedanceNoSolutionNote);
    default:
      return std::nullopt;
  }
}

std::optional<std::string_view> SetCfForQ(CalculatorForm& form) {
  // By CfForQFailure.
  static constexpr std::string_view kRefusals[] = {
      "the loop is none a circuit has: Rf (Resistor 2) must lie above 0 ohm, Shunt Resistance too where given, and "
      "no part be refused",
      "without a Gain-Bandwidth Product the op amp is ideal, and its loop has no Q",
      "the loop is damped beyond Q = 0.707 without any Cf (Shunt Resistance is low against Rf): no Cf brings it "
      "there",
  };
  const StageInputs stage = ReadNoiseInputs(form).inputs;
  if (stage.ampType != AMP_TRANSIMPEDANCE) return "the stage is not a transimpedance amplifier";
  const CfForQResult cf = CfForQ(stage);
  if (cf.failure) return kRefusals[static_cast<std::size_t>(*cf.failure)];
  form.m_strFeedbackCapacitor = ShownValue(cf.feedbackCapacitor);
  return std::nullopt;
}

bool SetBiasCancellingResistor(CalculatorForm& form) {
  const std::optional<double> rb = BiasCancellingResistor(ReadNoiseInputs(form).inputs);
  if (!rb) return false;
  form.m_strBiasResistor = ShownValue(*rb);
  return true;
}

}  // namespace tervane
