// The "Noise Results" text and the write-back into the form that follows a
// successful calculation.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "noise/calculator_form.h"
#include "noise/noise_calculation.h"
#include "noise/noise_report.h"

namespace tervane {
namespace {

#define MICRO "\xB5"

CalculatorForm DefaultForm() {
  CalculatorForm form;
  ApplyFormDefaults(form);
  return form;
}

std::vector<std::string> FieldTexts(const CalculatorForm& form) {
  std::vector<std::string> texts;
  for (const FormTextField& field : kFormTextFields) texts.push_back(form.*field.member);
  return texts;
}

// Runs one calculation as the window does: report, then write-back.
std::string Calculate(CalculatorForm& form, std::optional<std::string_view> part = "OP27") {
  const NoiseResult result = ComputeNoise(form);
  std::string report = BuildNoiseReport(result, part);
  WriteBackResults(form, result);
  return report;
}

// The report of the start-up form with a part selected, byte for byte.
const std::string kDefaultReport =
    "Op Amp Specifications:\r\n"
    "Part name:  OP27\r\n"
    "Voltage noise = 3nV/rtHz\r\n"
    "Current noise  = 400fA/rtHz\r\n"
    "1/f noise corner = 0Hz\r\n"
    "\r\n"
    "Output noise results:\r\n"
    "Operating temperature = 299.8K\r\n"
    "Flicker correction factor = 1\r\n"
    "1/f Noise corner applied to noise current\r\n"
    "Noise = 8.323nV/rtHz\r\n"
    "Total noise voltage = 1.176" MICRO "V\r\n"
    "Signal to noise ratio = 118.6dB\r\n"
    "Gain = 2";

TEST(NoiseReport, DefaultFormByteForByte) {
  CalculatorForm form = DefaultForm();
  EXPECT_EQ(Calculate(form), kDefaultReport);
}

TEST(NoiseReport, NoSelectedPartIsNamedNone) {
  CalculatorForm form = DefaultForm();
  std::string expected = kDefaultReport;
  expected.replace(expected.find("OP27"), 4, "(none)");
  EXPECT_EQ(Calculate(form, std::nullopt), expected);
}

TEST(NoiseReport, FirstSectionShowsTheOpAmpAsEntered) {
  // The corner is not applied to the current noise, and the noise data are
  // shown as typed (normalised), not as corrected by the flicker factor.
  CalculatorForm form = DefaultForm();
  form.m_strCornerFreq = "100";
  form.m_bApplyCorner = 0;
  form.m_strNoiseVoltage = "3000p";
  EXPECT_EQ(Calculate(form, "LongPartName123"),
            "Op Amp Specifications:\r\n"
            "Part name:  LongPartName123\r\n"
            "Voltage noise = 3nV/rtHz\r\n"
            "Current noise  = 400fA/rtHz\r\n"
            "1/f noise corner = 100Hz\r\n"
            "\r\n"
            "Output noise results:\r\n"
            "Operating temperature = 299.8K\r\n"
            "Flicker correction factor = 1.017\r\n"
            "1/f Noise corner not applied to noise current\r\n"
            "Noise = 8.398nV/rtHz\r\n"
            "Total noise voltage = 1.187" MICRO "V\r\n"
            "Signal to noise ratio = 118.5dB\r\n"
            "Gain = 2");
  EXPECT_EQ(form.m_strNoiseVoltage, "3n");
}

TEST(NoiseReport, CelsiusIsReportedInKelvinAndWrittenBackInFahrenheit) {
  CalculatorForm form = DefaultForm();
  form.m_strTemperature = "25C";
  const std::string report = Calculate(form);
  EXPECT_NE(report.find("\r\nOperating temperature = 298.1K\r\n"), std::string::npos) << report;
  EXPECT_EQ(form.m_strTemperature, "77");
}

// ---------------------------------------------------------------------------
// Carry mode

CalculatorForm CarryForm() {
  CalculatorForm form = DefaultForm();
  form.m_bWithCarry = 1;
  form.m_strCarry = "1.176" MICRO;
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = 20;
  form.m_dPrevUpperFreq = 20000;
  return form;
}

const std::string kReportHead =
    "Op Amp Specifications:\r\n"
    "Part name:  OP27\r\n"
    "Voltage noise = 3nV/rtHz\r\n"
    "Current noise  = 400fA/rtHz\r\n"
    "1/f noise corner = 0Hz\r\n"
    "\r\n"
    "Output noise results:\r\n"
    "Operating temperature = 299.8K\r\n"
    "Flicker correction factor = 1\r\n"
    "1/f Noise corner applied to noise current\r\n"
    "Noise = 8.323nV/rtHz\r\n";

TEST(NoiseReportCarry, CoveringBandAddsOnlyTheCarryLine) {
  CalculatorForm form = CarryForm();
  EXPECT_EQ(Calculate(form), kReportHead +
                                 "Total noise voltage = 1.176" MICRO "V\r\n"
                                 "Noise voltage with carry = 2.63" MICRO "V\r\n"
                                 "Signal to noise ratio = 111.6dB\r\n"
                                 "Gain = 2");
  EXPECT_EQ(form.m_strCarry, "2.63" MICRO) << "the combined total is carried on";
}

TEST(NoiseReportCarry, NarrowerBandAddsTheReductionLine) {
  CalculatorForm form = CarryForm();
  form.m_strUpperFreq = "10k";
  EXPECT_EQ(Calculate(form), kReportHead +
                                 "Total noise voltage = 831.5nV\r\n"
                                 "Carry noise reduced by bandwidth reduction\r\n"
                                 "Noise voltage with carry = 1.859" MICRO "V\r\n"
                                 "Signal to noise ratio = 114.6dB\r\n"
                                 "Gain = 2");
  EXPECT_EQ(form.m_strCarry, "1.859" MICRO);
  EXPECT_EQ(form.m_dPrevLowerFreq, 20);
  EXPECT_EQ(form.m_dPrevUpperFreq, 10000);
}

TEST(NoiseReportCarry, BeforeAnySuccessfulCalculationNothingIsReduced) {
  // Were the stored band used, the new band would lie inside it.
  CalculatorForm form = CarryForm();
  form.m_bHavePrevBand = false;
  form.m_dPrevLowerFreq = 10;
  form.m_dPrevUpperFreq = 40000;
  form.m_strCarry = "1" MICRO;
  EXPECT_EQ(Calculate(form), kReportHead +
                                 "Total noise voltage = 1.176" MICRO "V\r\n"
                                 "Noise voltage with carry = 2.32" MICRO "V\r\n"
                                 "Signal to noise ratio = 112.7dB\r\n"
                                 "Gain = 2");
}

TEST(NoiseReportCarry, DisjointBandCarriesNothingAndSaysSo) {
  CalculatorForm form = CarryForm();
  form.m_strLowerFreq = "30k";
  form.m_strUpperFreq = "40k";
  EXPECT_EQ(Calculate(form), kReportHead +
                                 "Total noise voltage = 832.3nV\r\n"
                                 "Carry noise reduced by bandwidth reduction\r\n"
                                 "Noise voltage with carry = 832.3nV\r\n"
                                 "Signal to noise ratio = 121.6dB\r\n"
                                 "Gain = 2");
  EXPECT_EQ(form.m_strCarry, "832.3n");
}

TEST(NoiseReportCarry, ChainOfTwoStages) {
  // The first stage leaves its total noise in the carry field; the second,
  // over half the band, carries it on scaled to its own band.
  CalculatorForm form = DefaultForm();
  Calculate(form);
  EXPECT_EQ(form.m_strCarry, "1.176" MICRO);
  form.m_strUpperFreq = "10k";
  form.m_bWithCarry = 1;
  const std::string report = Calculate(form);
  EXPECT_NE(report.find("Carry noise reduced by bandwidth reduction\r\n"
                        "Noise voltage with carry = 1.859" MICRO "V\r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(form.m_strCarry, "1.859" MICRO);
}

// ---------------------------------------------------------------------------
// Write-back

TEST(WriteBack, NormalisesEveryFieldAndKeepsTheBand) {
  CalculatorForm form = DefaultForm();
  form.m_strSourceResistor = "0.0";
  form.m_strR1 = "1000";
  form.m_strR2 = "1e3";
  form.m_strLowerFreq = "20.0";
  form.m_strUpperFreq = "20000";
  form.m_strRefVoltage = "1000m";
  form.m_strNoiseVoltage = "3.000n";
  form.m_strNoiseCurrent = "0.4p";
  form.m_strCornerFreq = "0k";
  form.m_strCarry = "55";
  Calculate(form);
  EXPECT_EQ(FieldTexts(form), (std::vector<std::string>{"0", "1k", "1k", "80", "20", "20k", "1",
                                                         "3n", "400f", "0", "1.176" MICRO}));
  EXPECT_TRUE(form.m_bHavePrevBand);
  EXPECT_EQ(form.m_dPrevLowerFreq, 20);
  EXPECT_EQ(form.m_dPrevUpperFreq, 20000);
  EXPECT_EQ(form.m_nAmpType, AMP_NONINVERTING);
  EXPECT_NE(form.m_bApplyCorner, 0);
}

TEST(WriteBack, BufferKeepsResistorOneAsTyped) {
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = AMP_BUFFER;
  form.m_strR1 = "not used";
  Calculate(form);
  EXPECT_EQ(form.m_strR1, "not used");
  EXPECT_EQ(form.m_strR2, "1k");
}

TEST(WriteBack, InvertingRewritesResistorOne) {
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = AMP_INVERTING;
  form.m_strR1 = "2200";
  Calculate(form);
  EXPECT_EQ(form.m_strR1, "2.2k");
}

TEST(WriteBack, NextCalculationReadsTheRoundedText) {
  // The band is remembered as read, but every field comes back rounded to
  // four digits, and that is what the next calculation reads.
  CalculatorForm form = DefaultForm();
  form.m_strR2 = "12345";
  form.m_strUpperFreq = "12345";
  const NoiseResult first = ComputeNoise(form);
  WriteBackResults(form, first);
  EXPECT_EQ(form.m_strR2, "12.35k");
  EXPECT_EQ(form.m_strUpperFreq, "12.35k");
  EXPECT_EQ(form.m_dPrevUpperFreq, 12345);
  const NoiseResult second = ComputeNoise(form);
  ASSERT_FALSE(second.error);
  EXPECT_EQ(first.r2, 12345);
  EXPECT_EQ(second.r2, 12350);
  EXPECT_EQ(second.upperFreq, 12350);
  EXPECT_NE(*second.gain, *first.gain);
}

// ---------------------------------------------------------------------------
// A failed calculation

struct FailureCase {
  const char* name;
  const char* key;
  const char* text;
  const char* corner = "0";
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c) { return os << c.name; }

class FailedCalculationTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailedCalculationTest, ShowsTheErrorTextAndChangesNothing) {
  const FailureCase& c = GetParam();
  CalculatorForm form = DefaultForm();
  form.m_strTemperature = "25C";
  form.m_strCornerFreq = c.corner;
  form.m_strCarry = "1" MICRO;
  form.m_bWithCarry = 1;
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = 10;
  form.m_dPrevUpperFreq = 1000;
  for (const FormTextField& field : kFormTextFields)
    if (field.key == c.key) form.*field.member = c.text;
  const std::vector<std::string> before = FieldTexts(form);

  EXPECT_EQ(Calculate(form), "error, check inputs for consistency");
  EXPECT_EQ(FieldTexts(form), before) << "the temperature keeps its unit letter too";
  EXPECT_TRUE(form.m_bHavePrevBand);
  EXPECT_EQ(form.m_dPrevLowerFreq, 10);
  EXPECT_EQ(form.m_dPrevUpperFreq, 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FailedCalculationTest,
    testing::Values(
        FailureCase{"ReversedBand", "lower_freq", "30k"},
        FailureCase{"ZeroReference", "ref_voltage", "0"},
        FailureCase{"ZeroR1", "r1", "0"},
        // Results that are not finite: no NaN reaches the report as "0" and
        // nothing of it reaches the carry field.
        FailureCase{"ZeroLowerEdgeNoCorner", "lower_freq", "0", "0"},
        FailureCase{"ZeroLowerEdgeWithCorner", "lower_freq", "0", "100"},
        FailureCase{"HugeResistor", "r2", "1e400"},
        FailureCase{"HugeCarry", "carry", "1e400"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tervane
