#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "noise/amplifier_type.h"
#include "noise/stage_inputs.h"

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

  // The circuit as it is built (kBuiltCircuitFields): an empty or blank
  // text leaves the part out, and the stage is the textbook one.
  std::string m_strSourceInductance;
  std::string m_strLoadResistor;
  std::string m_strLoadCapacitor;
  std::string m_strFeedbackCapacitor;
  std::string m_strGainBandwidth;
  std::string m_strCurrentCorner;
  std::string m_strBiasResistor;
  std::string m_strBiasCapacitor;
  std::string m_strInCorrelation;
  // Each resistor's excess noise: its noise index and the DC voltage across
  // it, both or neither (kExcessNoiseFields).
  std::string m_strNoiseIndexR1;
  std::string m_strDcVoltsR1;
  std::string m_strNoiseIndexR2;
  std::string m_strDcVoltsR2;
  std::string m_strNoiseIndexRs;
  std::string m_strDcVoltsRs;
  std::string m_strNoiseIndexRload;
  std::string m_strDcVoltsRload;
  std::string m_strNoiseIndexRb;
  std::string m_strDcVoltsRb;
  // The transimpedance amplifier's photodiode and the op amp's input
  // capacitances, which only it reads (kFirstTransimpedanceField on).
  std::string m_strShuntResistance;
  std::string m_strDiodeCapacitance;
  std::string m_strDarkCurrent;
  std::string m_strPhotocurrent;
  std::string m_strResponsivity;
  std::string m_strCommonModeCapacitance;
  std::string m_strDifferentialCapacitance;

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

// Where a field of the circuit as it is built goes in the stage's inputs
// (ReadBuiltCircuit): a part of StageInputs, or half of a resistor's excess
// noise, its noise index or its DC voltage. The form's own fields have none:
// each is read in a way of its own (ReadNoiseInputs).
struct StagePlace {
  std::optional<double> StageInputs::*part = nullptr;
  ExcessResistor resistor{};
  double ExcessNoise::*excess = nullptr;
  friend constexpr bool operator==(const StagePlace&, const StagePlace&) = default;
};
constexpr StagePlace StagePart(std::optional<double> StageInputs::*part) { return {part}; }
constexpr StagePlace NoiseIndexOf(ExcessResistor r) { return {nullptr, r, &ExcessNoise::noiseIndexDb}; }
constexpr StagePlace DcVoltsOf(ExcessResistor r) { return {nullptr, r, &ExcessNoise::dcVolts}; }

// The eleven text fields in data-exchange order. Every front end names and
// describes a field from here: its stable key (circuit files, JSON, and the
// windows' object names: "lower_freq" is lowerFreqEdit), its start-up text,
// the caption the main window labels it with, its symbol in the model, its
// unit (plain ASCII), the command line's option names, what the command
// line says beside them, and for the circuit as built its place in the
// stage.
struct FormTextField {
  std::string_view key;
  std::string CalculatorForm::*member;
  std::string_view defaultText;
  std::string_view caption;
  std::string_view symbol;
  std::string_view unit;
  std::string_view options;
  std::string_view note;
  bool partFigure;  // one of the figures a part of the library fills in
  StagePlace stage{};
};

inline constexpr std::array<FormTextField, 11> kFormTextFields{{
    {"source_resistor", &CalculatorForm::m_strSourceResistor, "0", "Source Resistor", "Rs", "ohms",
     "--source-resistor,--rs", "", false},
    {"r1", &CalculatorForm::m_strR1, "1k", "Resistor 1", "R1", "ohms", "--r1", " (the buffer never reads it)", false},
    {"r2", &CalculatorForm::m_strR2, "1k", "Resistor 2", "R2", "ohms", "--r2", "", false},
    {"temperature", &CalculatorForm::m_strTemperature, "80", "Operating Temperature", "T", "",
     "--temperature,--temp", ": Fahrenheit, or kelvin or Celsius with the letter K or C", false},
    {"lower_freq", &CalculatorForm::m_strLowerFreq, "20", "Lower Frequency Bound", "fL", "Hz", "--lower-freq,--fl", "",
     false},
    {"upper_freq", &CalculatorForm::m_strUpperFreq, "20k", "Upper Frequency Bound", "fH", "Hz", "--upper-freq,--fh",
     "", false},
    {"ref_voltage", &CalculatorForm::m_strRefVoltage, "1", "0dB Reference Voltage", "Vref", "V", "--ref-voltage,--vref",
     "", false},
    {"noise_voltage", &CalculatorForm::m_strNoiseVoltage, "3n", "Noise Voltage", "en", "V/rtHz",
     "--noise-voltage,--en", "", true},
    {"noise_current", &CalculatorForm::m_strNoiseCurrent, "400f", "Noise Current", "in", "A/rtHz",
     "--noise-current,--in", "", true},
    {"corner_freq", &CalculatorForm::m_strCornerFreq, "0", "1/f Corner Frequency", "fc", "Hz", "--corner-freq,--fc", "",
     true},
    {"carry", &CalculatorForm::m_strCarry, "0", "Carry from previous calc", "Vc", "V", "--carry",
     " (used with --with-carry)", false},
}};

// The fields of the circuit as it is built, in the same shape, none of them
// among the main window's edits: each starts empty, and empty means absent.
// A part of the library fills in its gain-bandwidth, current-noise corner,
// correlation and input capacitances when its line gives them, and empties
// them when it does not. Each resistor's excess noise is two of them (kExcessNoiseFields).
// The transimpedance amplifier's own come last (kFirstTransimpedanceField).
inline constexpr std::array<FormTextField, 26> kBuiltCircuitFields{{
    {"source_inductance", &CalculatorForm::m_strSourceInductance, "", "Source Inductance", "Ls", "H",
     "--source-inductance,--ls", " (in series with the source resistor)", false,
     StagePart(&StageInputs::sourceInductance)},
    {"load_resistor", &CalculatorForm::m_strLoadResistor, "", "Load Resistor", "Rload", "ohms",
     "--load-resistor,--rload", " (+ input to ground; not in the inverting stage)", false,
     StagePart(&StageInputs::loadResistor)},
    {"load_capacitor", &CalculatorForm::m_strLoadCapacitor, "", "Load Capacitor", "Cload", "F",
     "--load-capacitor,--cload", " (+ input to ground; not in the inverting stage)", false,
     StagePart(&StageInputs::loadCapacitor)},
    {"feedback_capacitor", &CalculatorForm::m_strFeedbackCapacitor, "", "Feedback Capacitor", "Cf", "F",
     "--feedback-capacitor,--cf", " (across R2)", false, StagePart(&StageInputs::feedbackCapacitor)},
    {"gain_bandwidth", &CalculatorForm::m_strGainBandwidth, "", "Gain-Bandwidth Product", "GBW", "Hz",
     "--gain-bandwidth,--gbw", "", true, StagePart(&StageInputs::gainBandwidth)},
    {"current_corner", &CalculatorForm::m_strCurrentCorner, "", "Current Noise 1/f Corner", "fci", "Hz",
     "--current-corner,--fci", " (in^2 (1 + fci/f); given, it replaces the corner check box's rule)", true,
     StagePart(&StageInputs::currentCorner)},
    {"bias_resistor", &CalculatorForm::m_strBiasResistor, "", "Bias Resistor", "Rb", "ohms", "--bias-resistor,--rb",
     " (inverting: + input to ground; otherwise between the source and the + input; \"cancel\": the value that "
     "cancels the bias currents' offsets)",
     false, StagePart(&StageInputs::biasResistor)},
    {"bias_capacitor", &CalculatorForm::m_strBiasCapacitor, "", "Bias Capacitor", "Cb", "F", "--bias-capacitor,--cb",
     " (across Rb)", false, StagePart(&StageInputs::biasCapacitor)},
    {"in_correlation", &CalculatorForm::m_strInCorrelation, "", "Current Noise Correlation", "c", "",
     "--in-correlation", " (of the two inputs' current noise, -1 to 1; 0 independent)", true,
     StagePart(&StageInputs::inCorrelation)},
    {"noise_index_r1", &CalculatorForm::m_strNoiseIndexR1, "", "R1 Noise Index", "NI(R1)", "dB",
     "--noise-index-r1,--ni-r1", " (excess noise, re 1 uV per volt per decade; with --vdc-r1)", false,
     NoiseIndexOf(ExcessResistor::kR1)},
    {"dc_volts_r1", &CalculatorForm::m_strDcVoltsR1, "", "R1 DC Voltage", "Vdc(R1)", "V", "--dc-volts-r1,--vdc-r1",
     " (across R1; with --ni-r1)", false, DcVoltsOf(ExcessResistor::kR1)},
    {"noise_index_r2", &CalculatorForm::m_strNoiseIndexR2, "", "R2 Noise Index", "NI(R2)", "dB",
     "--noise-index-r2,--ni-r2", " (with --vdc-r2)", false, NoiseIndexOf(ExcessResistor::kR2)},
    {"dc_volts_r2", &CalculatorForm::m_strDcVoltsR2, "", "R2 DC Voltage", "Vdc(R2)", "V", "--dc-volts-r2,--vdc-r2",
     " (with --ni-r2)", false, DcVoltsOf(ExcessResistor::kR2)},
    {"noise_index_rs", &CalculatorForm::m_strNoiseIndexRs, "", "Rs Noise Index", "NI(Rs)", "dB",
     "--noise-index-rs,--ni-rs", " (with --vdc-rs)", false, NoiseIndexOf(ExcessResistor::kRs)},
    {"dc_volts_rs", &CalculatorForm::m_strDcVoltsRs, "", "Rs DC Voltage", "Vdc(Rs)", "V", "--dc-volts-rs,--vdc-rs",
     " (with --ni-rs)", false, DcVoltsOf(ExcessResistor::kRs)},
    {"noise_index_rload", &CalculatorForm::m_strNoiseIndexRload, "", "Rload Noise Index", "NI(Rload)", "dB",
     "--noise-index-rload,--ni-rload", " (with --vdc-rload)", false, NoiseIndexOf(ExcessResistor::kRload)},
    {"dc_volts_rload", &CalculatorForm::m_strDcVoltsRload, "", "Rload DC Voltage", "Vdc(Rload)", "V",
     "--dc-volts-rload,--vdc-rload", " (with --ni-rload)", false, DcVoltsOf(ExcessResistor::kRload)},
    {"noise_index_rb", &CalculatorForm::m_strNoiseIndexRb, "", "Rb Noise Index", "NI(Rb)", "dB",
     "--noise-index-rb,--ni-rb", " (with --vdc-rb)", false, NoiseIndexOf(ExcessResistor::kRb)},
    {"dc_volts_rb", &CalculatorForm::m_strDcVoltsRb, "", "Rb DC Voltage", "Vdc(Rb)", "V", "--dc-volts-rb,--vdc-rb",
     " (with --ni-rb)", false, DcVoltsOf(ExcessResistor::kRb)},
    {"shunt_resistance", &CalculatorForm::m_strShuntResistance, "", "Shunt Resistance", "Rsh", "ohms",
     "--shunt-resistance,--rsh", " (transimpedance: the photodiode's; empty, none)", false,
     StagePart(&StageInputs::shuntResistance)},
    {"diode_capacitance", &CalculatorForm::m_strDiodeCapacitance, "", "Diode Capacitance", "Cd", "F",
     "--diode-capacitance,--cd", " (transimpedance: the photodiode's)", false,
     StagePart(&StageInputs::diodeCapacitance)},
    {"dark_current", &CalculatorForm::m_strDarkCurrent, "", "Dark Current", "Id", "A", "--dark-current,--id",
     " (transimpedance: shot noise)", false, StagePart(&StageInputs::darkCurrent)},
    {"photocurrent", &CalculatorForm::m_strPhotocurrent, "", "Photocurrent", "Iph", "A", "--photocurrent,--iph",
     " (transimpedance: shot noise, and the signal of the SNR)", false, StagePart(&StageInputs::photocurrent)},
    {"responsivity", &CalculatorForm::m_strResponsivity, "", "Responsivity", "R", "A/W", "--responsivity",
     " (transimpedance: the NEP and the minimum detectable power)", false, StagePart(&StageInputs::responsivity)},
    {"common_mode_capacitance", &CalculatorForm::m_strCommonModeCapacitance, "", "Common-Mode Input Capacitance",
     "Ccm", "F", "--common-mode-capacitance,--ccm", " (transimpedance: each input to ground)", true,
     StagePart(&StageInputs::commonModeCapacitance)},
    {"differential_capacitance", &CalculatorForm::m_strDifferentialCapacitance, "",
     "Differential Input Capacitance", "Cdiff", "F", "--differential-capacitance,--cdiff",
     " (transimpedance: between the inputs)", true, StagePart(&StageInputs::differentialCapacitance)},
}};


// The place in kBuiltCircuitFields of the field that goes to `place` in the
// stage; kBuiltCircuitFields.size() where none does.
constexpr std::size_t BuiltCircuitFieldOf(StagePlace place) {
  std::size_t field = 0;
  while (field < kBuiltCircuitFields.size() && kBuiltCircuitFields[field].stage != place) ++field;
  return field;
}

// The first field that only the transimpedance amplifier reads; they run
// to the table's end. A circuit file holds them where any of them is given.
inline constexpr std::size_t kFirstTransimpedanceField = BuiltCircuitFieldOf(StagePart(&StageInputs::shuntResistance));

// Each resistor's excess noise in kBuiltCircuitFields: the places of its
// noise index and DC voltage, in ExcessResistor order.
struct ExcessNoiseFields {
  std::string_view resistor;  // "R1", as the captions name it
  std::size_t noiseIndex;
  std::size_t dcVolts;
};
inline constexpr std::array<ExcessNoiseFields, kExcessResistorCount> kExcessNoiseFields = [] {
  std::array<ExcessNoiseFields, kExcessResistorCount> pairs{};
  for (std::size_t r = 0; r < pairs.size(); ++r) {
    const auto resistor = static_cast<ExcessResistor>(r);
    const std::size_t index = BuiltCircuitFieldOf(NoiseIndexOf(resistor));
    const std::string_view caption = kBuiltCircuitFields.at(index).caption;  // "R1 Noise Index"
    pairs[r] = {caption.substr(0, caption.find(' ')), index, BuiltCircuitFieldOf(DcVoltsOf(resistor))};
  }
  return pairs;
}();

// The resistor kinds the desktop offers for a noise index: each kind's
// typical figure, within the range its makers give.
struct ResistorKind {
  std::string_view name;
  std::string_view noiseIndex;  // dB, as a field's text
};
inline constexpr std::array<ResistorKind, 4> kResistorKinds{{
    {"Thin film / metal foil", "-35"},
    {"Metal film", "-25"},
    {"Thick film", "-15"},
    {"Carbon composition", "0"},
}};

}  // namespace tervane
