#include "form/form_calculation.h"

#include <cmath>

#include "noise/noise_calculation.h"
#include "notation/eng_parse.h"

namespace tervane {
namespace {

NoiseResult ReadStageInputs(const CalculatorForm& form) {
  NoiseResult r;
  r.ampType = static_cast<AmplifierType>(form.m_nAmpType);
  r.r1Read = form.m_nAmpType == AMP_NONINVERTING || form.m_nAmpType == AMP_INVERTING;
  r.temperature = ReadTemperature(form.m_strTemperature);
  r.kelvin = r.temperature.kelvin;
  r.en = ParseEngValue(form.m_strNoiseVoltage);
  r.in = ParseEngValue(form.m_strNoiseCurrent);
  r.lowerFreq = ParseEngValue(form.m_strLowerFreq);
  r.upperFreq = ParseEngValue(form.m_strUpperFreq);
  r.refVoltage = ParseEngValue(form.m_strRefVoltage);
  r.sourceResistor = ParseEngValue(form.m_strSourceResistor);
  r.r2 = ParseEngValue(form.m_strR2);
  r.cornerFreq = ParseEngValue(form.m_strCornerFreq);
  if (r.r1Read) r.r1 = ParseEngValue(form.m_strR1);
  r.applyCorner = form.m_bApplyCorner != 0;
  if (form.m_bWithCarry != 0) r.carry = ParseEngValue(form.m_strCarry);
  if (form.m_bHavePrevBand) r.previousBand = Band{form.m_dPrevLowerFreq, form.m_dPrevUpperFreq};
  return r;
}

// Every value WriteBackResults puts into a field. The temperature goes back
// in Fahrenheit, which can overflow where the typed kelvin or Celsius did not.
bool WrittenBackFinite(const NoiseResult& r) {
  for (double v : {r.sourceResistor, r.r1Read ? r.r1 : 0.0, r.r2, r.temperature.fahrenheit, r.lowerFreq, r.upperFreq,
                   r.refVoltage, r.en, r.in, r.cornerFreq})
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

NoiseResult ComputeNoise(const CalculatorForm& form) {
  NoiseResult r = ReadStageInputs(form);
  static_cast<StageResult&>(r) = CalculateStage(r);
  // A field written back as a non-finite text would fail the next
  // calculation: such a result is no result either.
  if (!r.failure && !WrittenBackFinite(r)) r.failure = StageFailure::kNotFinite;
  return r;
}

}  // namespace tervane
