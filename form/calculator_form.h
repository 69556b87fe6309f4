#pragma once

#include <array>
#include <string>
#include <string_view>

#include "noise/amplifier_type.h"

namespace tervane {

// The calculator's whole input: every numeric field exactly as typed
// (Windows-1252), the topology, the corner check box, and what is kept from
// one calculation to the next. The main window owns one of these; its
// controls only copy text in and out.
struct CalculatorForm {
  int m_nAmpType = -1;  // no radio button chosen until the defaults apply
  std::string m_strSourceResistor;
  std::string m_strR1;
  std::string m_strR2;
  std::string m_strTemperature;
  std::string m_strLowerFreq;
  std::string m_strUpperFreq;
  std::string m_strRefVoltage;
  std::string m_strNoiseVoltage;
  std::string m_strNoiseCurrent;
  std::string m_strCornerFreq;
  int m_bApplyCorner = 0;
  std::string m_strCarry;

  int m_bWithCarry = 0;  // set by the button that starts a calculation

  // The band of the last successful calculation, for the carry step.
  bool m_bHavePrevBand = false;
  double m_dPrevLowerFreq = 0;
  double m_dPrevUpperFreq = 0;
};

// The start-up values of every field, applied in the form's fixed order.
void ApplyFormDefaults(CalculatorForm& form);

// "RIAA NBW": the band whose width is the RIAA noise bandwidth.
void ApplyRiaaBand(CalculatorForm& form);

// The eleven text fields in data-exchange order, each with a stable key
// (used by the command line and by the windows' object names) and its
// start-up text.
struct FormTextField {
  std::string_view key;
  std::string CalculatorForm::*member;
  std::string_view defaultText;
};

inline constexpr std::array<FormTextField, 11> kFormTextFields{{
    {"source_resistor", &CalculatorForm::m_strSourceResistor, "0"},
    {"r1", &CalculatorForm::m_strR1, "1k"},
    {"r2", &CalculatorForm::m_strR2, "1k"},
    {"temperature", &CalculatorForm::m_strTemperature, "80"},
    {"lower_freq", &CalculatorForm::m_strLowerFreq, "20"},
    {"upper_freq", &CalculatorForm::m_strUpperFreq, "20k"},
    {"ref_voltage", &CalculatorForm::m_strRefVoltage, "1"},
    {"noise_voltage", &CalculatorForm::m_strNoiseVoltage, "3n"},
    {"noise_current", &CalculatorForm::m_strNoiseCurrent, "400f"},
    {"corner_freq", &CalculatorForm::m_strCornerFreq, "0"},
    {"carry", &CalculatorForm::m_strCarry, "0"},
}};

}  // namespace tervane
