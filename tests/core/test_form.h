#pragma once

// Forms and comparisons shared by the noise tests.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/calculator_form.h"

namespace tervane::test {

using FieldTexts = std::vector<std::pair<std::string_view, std::string>>;  // key, text

// The start-up form with some fields typed over.
inline CalculatorForm Form(int ampType = AMP_NONINVERTING, const FieldTexts& typed = {}) {
  CalculatorForm form;
  ApplyFormDefaults(form);
  form.m_nAmpType = ampType;
  for (const auto& [key, text] : typed) {
    for (const FormTextField& field : kFormTextFields)
      if (field.key == key) form.*field.member = text;
    for (const FormTextField& field : kBuiltCircuitFields)
      if (field.key == key) form.*field.member = text;
  }
  return form;
}

// Calc w/Carry of 1 uV from the band `prevLower`..`prevUpper`.
inline CalculatorForm CarryForm(const char* lower, const char* upper, double prevLower = 20, double prevUpper = 20e3) {
  CalculatorForm form = Form(AMP_NONINVERTING, {{"lower_freq", lower}, {"upper_freq", upper}, {"carry", "1\xB5"}});
  form.m_bWithCarry = 1;
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = prevLower;
  form.m_dPrevUpperFreq = prevUpper;
  return form;
}

// Every text of the form: its fields', then the circuit as built's.
inline std::vector<std::string> Texts(const CalculatorForm& form) {
  std::vector<std::string> texts;
  for (const FormTextField& field : kFormTextFields) texts.push_back(form.*field.member);
  for (const FormTextField& field : kBuiltCircuitFields) texts.push_back(form.*field.member);
  return texts;
}

// Figures worked out independently to full precision: only the rounding of
// a handful of double operations separates them from the result.
inline void ExpectClose(double actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, 1e-12 * std::fabs(expected)) << what;
}

}  // namespace tervane::test
