// The "Noise Results" text and the write-back into the form that follows a
// calculation. The command-line golden tests check the reports byte for
// byte (the op amp as typed, the corner applied or not) and the fields
// written back; these check the form's side.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/built_circuit.h"
#include "form/calculator_form.h"
#include "form/field_reading.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/write_back.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

#define MICRO "\xB5"

// Runs one calculation as the window does: report, then write-back.
std::string Calculate(CalculatorForm& form) {
  const NoiseResult result = ComputeNoise(form);
  std::string report = BuildNoiseReport(result, "OP27");
  WriteBackResults(form, result);
  return report;
}

TEST(NoiseReport, NamesTheCircuitAsBuiltOnlyWhenAPartOfItIsGiven) {
  // Blank texts are absent, as empty ones are; any other text is read as
  // every field is, and goes back normalised, the op amp's figures as read,
  // not as corrected by the corners. (The source and its load are the
  // command line's golden case, a circuit file of version 2.)
  const struct {
    test::FieldTexts typed;
    const char* line;  // the report's line, none: the textbook report
    std::vector<std::string> after;
  } cases[] = {
      {{{"source_inductance", " \t"}, {"current_corner", std::string("\0 1", 3)}}, nullptr,
       {" \t", std::string("\0 1", 3)}},
      {{{"feedback_capacitor", "x"}, {"gain_bandwidth", "8M"}, {"current_corner", "170"}},
       "Circuit as built: Cf = 0F, GBW = 8MHz, fci = 170Hz", {"", "", "", "0", "8M", "170"}},
      // A noise index without its voltage is no excess noise.
      {{{"bias_resistor", "9091"}, {"in_correlation", "0.86"}, {"noise_index_r1", "-20"}, {"dc_volts_r1", "10"},
        {"noise_index_r2", "-20"}, {"corner_freq", "100"}},
       "Circuit as built: Rb = 9.091kohm, c = 860m, NI(R1) = -20dB, Vdc(R1) = 10V", {"", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    CalculatorForm form = test::Form(AMP_NONINVERTING, c.typed);
    const std::string report = Calculate(form);
    const std::vector<std::string> texts = test::Texts(form);
    if (!c.line) {
      CalculatorForm textbook = test::Form();
      EXPECT_EQ(report, Calculate(textbook));
      EXPECT_EQ(texts[11] + texts[16], c.after[0] + c.after[1]);
      continue;
    }
    EXPECT_NE(report.find(std::string("Hz\r\n\r\n") + c.line + "\r\n\r\nOutput noise results:"), std::string::npos)
        << report;
    EXPECT_TRUE(report.ends_with(" (at 1kHz)")) << report;
    EXPECT_EQ(report.find("\r\nNoise current has its own 1/f corner, fci\r\n") != std::string::npos,
              !c.after[5].empty());
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 11, texts.begin() + 17), c.after);
    EXPECT_EQ(texts[7] + " " + texts[8], "3n 400f");
  }
}

// The transimpedance amplifier's report says what its inputs lack: the
// loop without GBW, Cf or the op amp's input capacitances, the light
// without a responsivity, the SNR without a photocurrent.
TEST(NoiseReport, TransimpedanceSaysWhatItsInputsLack) {
  CalculatorForm form = test::Form(AMP_TRANSIMPEDANCE, {{"r2", "100k"}, {"shunt_resistance", "100M"}});
  const std::string report = Calculate(form);
  // 4kT/Rf + in^2 + (en/Rf)^2 at the band's centre: 571.5 fA/rtHz.
  EXPECT_TRUE(report.ends_with("\r\nTransimpedance = 100kohm at DC, flat (no -3dB point)\r\n"
                               "Loop: no Gain-Bandwidth Product, an ideal op amp\r\n"
                               "No Ccm or Cdiff given: the op amp's input capacitance is left out\r\n"
                               "Input current noise = 571.5fA/rtHz at 632.5Hz, the band's centre\r\n"
                               "Input current noise over the band = 80.79pA\r\n"
                               "Signal to noise ratio: no Photocurrent given"))
      << report;
}

// ---------------------------------------------------------------------------
// Write-back

TEST(WriteBack, ChainOfStagesReadsTheRoundedText) {
  // The first stage leaves its total noise in the carry field and every input
  // rounded to four digits; the second, over part of the band, reads those
  // texts and carries the noise on, scaled to its own band.
  CalculatorForm form = test::Form(AMP_INVERTING, {{"r1", "2200"}, {"r2", "12345"}});
  Calculate(form);
  EXPECT_EQ(form.m_strR1, "2.2k");
  EXPECT_EQ(form.m_strR2, "12.35k");
  EXPECT_EQ(form.m_strCarry, "5.945" MICRO);
  EXPECT_EQ(form.m_dPrevUpperFreq, 20000);

  form.m_strUpperFreq = "12345";
  form.m_bWithCarry = 1;
  const std::string report = Calculate(form);
  EXPECT_NE(report.find("\r\nTotal noise voltage = 4.671" MICRO "V\r\n"
                        "Carry noise reduced by bandwidth reduction\r\n"
                        "Noise voltage with carry = 26.62" MICRO "V\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\r\nGain = 5.614"), std::string::npos) << report;
  EXPECT_EQ(form.m_strUpperFreq, "12.35k");
  EXPECT_EQ(form.m_dPrevUpperFreq, 12345) << "the band as read, not as rounded";
  EXPECT_EQ(form.m_strCarry, "26.62" MICRO);
}

// What a field will be read as, told before the write-back shows it: only
// for a field whose text is read in part, in its caption's words.
TEST(WriteBack, FieldsReadInPartAreToldBeforehand) {
  const CalculatorForm form = test::Form(AMP_BUFFER, {{"r1", "4k7"},
                                                      {"r2", "10 k"},
                                                      {"temperature", "2,5C"},
                                                      {"lower_freq", "20Hz"},
                                                      {"upper_freq", "20k "},
                                                      {"carry", std::string(26, '1') + "\x01"}});
  std::vector<std::string> notes(kFormTextFields.size());
  notes[1] = "Resistor 1 reads \"4k7\" as 4k";
  notes[2] = "Resistor 2 reads \"10 k\" as 10";
  notes[3] = "Operating Temperature reads \"2,5C\" as 2C";
  notes[4] = "Lower Frequency Bound reads \"20Hz\" as 20";
  notes[10] = "Carry from previous calc reads \"" + std::string(24, '1') + "...\" as 11.11Y";
  EXPECT_EQ(FieldReadingNotes(form), notes);
  // The circuit as built's, a blank one absent.
  const CalculatorForm built =
      test::Form(AMP_BUFFER, {{"source_inductance", "0,5"}, {"load_resistor", "47 k"}, {"in_correlation", " "}});
  notes.assign(kBuiltCircuitFields.size(), "");
  notes[0] = "Source Inductance reads \"0,5\" as 0";
  notes[1] = "Load Resistor reads \"47 k\" as 47";
  EXPECT_EQ(FieldReadingNotes(built, kBuiltCircuitFields), notes);
}

// A part no circuit has is refused before any calculation, in one sentence
// for the dialog, the command line and the results alike; the edges are
// parts a circuit has, and so is a negative resistor (a negative power). A
// negative Cf or GBW, a correlation beyond 1 and the excess noise of no
// Rload are the command line's golden cases.
TEST(BuiltCircuit, PartsNoCircuitHasAreRefusedInOneSentence) {
  const std::string negative = " cannot be negative (an empty field leaves it out).";
  const struct {
    test::FieldTexts typed;
    std::string refusal;  // empty: calculated
    int type = AMP_NONINVERTING;
  } cases[] = {
      {{{"source_inductance", "-1m"}}, "Source Inductance" + negative},
      {{{"load_capacitor", "-1p"}}, "Load Capacitor" + negative},
      {{{"current_corner", "-1"}}, "Current Noise 1/f Corner" + negative},
      {{{"bias_resistor", "1k"}, {"bias_capacitor", "-1u"}}, "Bias Capacitor" + negative},
      {{{"bias_resistor", " "}, {"bias_capacitor", "1u"}}, std::string(kBiasCapacitorAloneNote)},
      {{{"in_correlation", "-1.01"}, {"bias_capacitor", "1u"}}, std::string(kBiasCapacitorAloneNote)},
      {{{"load_capacitor", "0"}, {"feedback_capacitor", "0"}, {"in_correlation", "-1"}}, ""},
      {{{"bias_resistor", "1k"}, {"bias_capacitor", "1u"}, {"in_correlation", "1"}}, ""},
      {{{"load_resistor", "-1k"}}, ""},
      // The photodiode's parts, which only the transimpedance amplifier reads.
      {{{"responsivity", "0"}}, std::string(kZeroResponsivityNote), AMP_TRANSIMPEDANCE},
      {{{"diode_capacitance", "-1p"}, {"responsivity", "0"}}, ""},
  };
  for (const auto& c : cases) {
    const NoiseResult result = ComputeNoise(test::Form(c.type, c.typed));
    const std::optional<std::string> refusal = PartRefusal(result.inputs);
    EXPECT_EQ(refusal.value_or(""), c.refusal);
    EXPECT_EQ(BuiltCircuitRefusal(result), refusal) << c.refusal;
    EXPECT_EQ(result.outcome.failure.has_value(), !c.refusal.empty()) << c.refusal;
  }
}

// ---------------------------------------------------------------------------
// A failed calculation shows the error text alone and changes nothing: no
// NaN reaches the report as "0", nothing reaches the carry field, and the
// previous band stays.

TEST(WriteBack, FailedCalculationChangesNothing) {
  // A band refused, a result not finite on either path, and a temperature
  // that would go back as infinite Fahrenheit though every result is finite
  // (which inputs fail is the calculation tests' business).
  const std::pair<const char*, const char*> inputs[] = {
      {"lower_freq", "30k"},
      {"carry", "1e400"},
      {"temperature", "1e308K"},
      {"load_capacitor", "1e400"},
  };
  for (const auto& [key, text] : inputs) {
    CalculatorForm form = test::Form(AMP_NONINVERTING, {{"temperature", "25C"}, {"carry", "1" MICRO}, {key, text}});
    form.m_bWithCarry = 1;
    form.m_bHavePrevBand = true;
    form.m_dPrevLowerFreq = 10;
    form.m_dPrevUpperFreq = 1000;
    const std::vector<std::string> before = test::Texts(form);

    EXPECT_EQ(Calculate(form), "error, check inputs for consistency") << key << " " << text;
    EXPECT_EQ(test::Texts(form), before) << key << " " << text;
    EXPECT_TRUE(form.m_bHavePrevBand);
    EXPECT_EQ(form.m_dPrevLowerFreq, 10);
    EXPECT_EQ(form.m_dPrevUpperFreq, 1000);
  }
}

}  // namespace
}  // namespace tervane
