#include "noise/calculator_form.h"

namespace tervane {

void ApplyFormDefaults(CalculatorForm& form) {
  form.m_nAmpType = AMP_NONINVERTING;
  form.m_strSourceResistor = "0";
  form.m_strR1 = "1k";
  form.m_strR2 = "1k";
  form.m_strTemperature = "80";
  form.m_strLowerFreq = "20";
  form.m_strUpperFreq = "20k";
  form.m_strRefVoltage = "1";
  form.m_strNoiseVoltage = "3n";
  form.m_strNoiseCurrent = "400f";
  form.m_strCornerFreq = "0";
  form.m_bApplyCorner = 1;
  form.m_strCarry = "0";
}

void ApplyRiaaBand(CalculatorForm& form) {
  form.m_strLowerFreq = "20.0";
  form.m_strUpperFreq = "108.0903";
}

}  // namespace tervane
