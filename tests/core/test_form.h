#pragma once

// Forms, stages on numbers and comparisons shared by the noise tests.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
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

inline void ExpectRelative(double actual, double expected, double tolerance, const char* what) {
  EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << what;
}

// Figures worked out independently to full precision: only the rounding of
// a handful of double operations separates them from the result.
inline void ExpectClose(double actual, double expected, const char* what) {
  ExpectRelative(actual, expected, 1e-12, what);
}

inline StageInputs Stage(AmplifierType ampType, double rs, double r1, double r2, Band band, double en, double in) {
  StageInputs s;
  s.ampType = ampType;
  s.sourceResistor = rs;
  s.r1 = r1;
  s.r2 = r2;
  s.kelvin = 298.15;
  s.lowerFreq = band.lower;
  s.upperFreq = band.upper;
  s.refVoltage = 1;
  s.en = en;
  s.in = in;
  return s;
}

// A moving-magnet cartridge, 1k + 0.5 H into 47k || 200p, at a gain of 10.
inline StageInputs Cartridge() {
  StageInputs s = Stage(AMP_NONINVERTING, 1e3, 1e3, 9e3, {20, 20e3}, 3e-9, 1e-12);
  s.cornerFreq = 10, s.applyCorner = true, s.currentCorner = 200;
  s.sourceInductance = 0.5, s.loadResistor = 47e3, s.loadCapacitor = 200e-12, s.gainBandwidth = 8e6;
  return s;
}

// A photodiode's transimpedance amplifier as a row of numbers, 0 where a
// value is not given: an op amp without GBW is ideal, no Rsh an open, no Rb
// a grounded + input.
struct Tia {
  double en = 0, in = 0, fc = 0, fci = 0, gbw = 0, ccm = 0, cdiff = 0, rsh = 0, cd = 0, rf = 0, cf = 0, rb = 0, cb = 0;
  double id = 0, iph = 0, responsivity = 0, kelvin = 0, fL = 0, fH = 0;
};

inline StageInputs TiaStage(const Tia& t) {
  const auto given = [](double v) { return v != 0 ? std::optional(v) : std::nullopt; };
  StageInputs s = Stage(AMP_TRANSIMPEDANCE, 0, 0, t.rf, {t.fL, t.fH}, t.en, t.in);
  s.kelvin = t.kelvin, s.cornerFreq = t.fc, s.currentCorner = given(t.fci), s.gainBandwidth = given(t.gbw);
  s.commonModeCapacitance = given(t.ccm), s.differentialCapacitance = given(t.cdiff);
  s.shuntResistance = given(t.rsh), s.diodeCapacitance = given(t.cd), s.feedbackCapacitor = given(t.cf);
  s.biasResistor = given(t.rb), s.biasCapacitor = given(t.cb), s.darkCurrent = given(t.id);
  s.photocurrent = given(t.iph), s.responsivity = given(t.responsivity);
  return s;
}

}  // namespace tervane::test
