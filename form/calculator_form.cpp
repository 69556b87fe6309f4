#include "form/calculator_form.h"

namespace tervane {

void ApplyFormDefaults(CalculatorForm& form) {
  form.m_nAmpType = AMP_NONINVERTING;
  for (const FormTextField& field : kFormTextFields) form.*field.member = std::string(field.defaultText);
  for (const FormTextField& field : kBuiltCircuitFields) form.*field.member = std::string(field.defaultText);
  form.m_bApplyCorner = 1;
}

void ApplyRiaaBand(CalculatorForm& form) {
  form.m_strLowerFreq = "20.0";
  form.m_strUpperFreq = "108.0903";
}

}  // namespace tervane
