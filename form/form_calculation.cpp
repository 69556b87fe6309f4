#include "form/form_calculation.h"

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

}  // namespace

NoiseResult ComputeNoise(const CalculatorForm& form) {
  NoiseResult r = ReadStageInputs(form);
  static_cast<StageResult&>(r) = CalculateStage(r);
  return r;
}

}  // namespace tervane
