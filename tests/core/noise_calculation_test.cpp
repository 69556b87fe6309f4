// The calculator form and the noise model of one stage.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "noise/calculator_form.h"
#include "noise/noise_calculation.h"
#include "noise/temperature.h"

namespace tervane {
namespace {

#define MICRO "\xB5"

CalculatorForm DefaultForm() {
  CalculatorForm form;
  ApplyFormDefaults(form);
  return form;
}

// Hand-checked figures quoted to five significant digits are compared to within half a
// unit of their fifth digit (and four-digit ones to the fourth), so the test
// accepts any correct evaluation order but not a wrong term.
void ExpectFigure(double actual, double quoted, int digits, const char* what) {
  const double tolerance = 0.5 * std::pow(10.0, 1 - digits) * std::fabs(quoted);
  EXPECT_NEAR(actual, quoted, tolerance) << what;
}

// For figures computed independently to full precision: only the rounding
// of a handful of double operations separates them from the result.
constexpr double kRelTight = 1e-12;
void ExpectClose(double actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, kRelTight * std::fabs(expected)) << what;
}

// ---------------------------------------------------------------------------
// Form state

TEST(CalculatorFormDefaults, EveryFieldHasItsStartValue) {
  const CalculatorForm form = DefaultForm();
  EXPECT_EQ(form.m_nAmpType, AMP_NONINVERTING);
  EXPECT_EQ(form.m_strSourceResistor, "0");
  EXPECT_EQ(form.m_strR1, "1k");
  EXPECT_EQ(form.m_strR2, "1k");
  EXPECT_EQ(form.m_strTemperature, "80");
  EXPECT_EQ(form.m_strLowerFreq, "20");
  EXPECT_EQ(form.m_strUpperFreq, "20k");
  EXPECT_EQ(form.m_strRefVoltage, "1");
  EXPECT_EQ(form.m_strNoiseVoltage, "3n");
  EXPECT_EQ(form.m_strNoiseCurrent, "400f");
  EXPECT_EQ(form.m_strCornerFreq, "0");
  EXPECT_EQ(form.m_strCarry, "0");
  EXPECT_NE(form.m_bApplyCorner, 0);
  EXPECT_FALSE(form.m_bHavePrevBand);
}

TEST(CalculatorFormRiaa, ReplacesOnlyTheBand) {
  CalculatorForm form = DefaultForm();
  for (const FormTextField& field : kFormTextFields) form.*field.member = "typed " + std::string(field.key);
  form.m_nAmpType = AMP_INVERTING;
  form.m_bApplyCorner = 0;
  ApplyRiaaBand(form);
  for (const FormTextField& field : kFormTextFields) {
    if (field.key == "lower_freq")
      EXPECT_EQ(form.*field.member, "20.0");
    else if (field.key == "upper_freq")
      EXPECT_EQ(form.*field.member, "108.0903");
    else
      EXPECT_EQ(form.*field.member, "typed " + std::string(field.key)) << field.key;
  }
  EXPECT_EQ(form.m_nAmpType, AMP_INVERTING);
  EXPECT_EQ(form.m_bApplyCorner, 0);
}

// ---------------------------------------------------------------------------
// Temperature

struct TemperatureCase {
  const char* name;
  const char* text;
  double fahrenheit, celsius, kelvin;
};

std::ostream& operator<<(std::ostream& os, const TemperatureCase& c) { return os << c.name; }

class ReadTemperatureTest : public testing::TestWithParam<TemperatureCase> {};

TEST_P(ReadTemperatureTest, PicksTheScaleByItsLetter) {
  const TemperatureCase& c = GetParam();
  const Temperature t = ReadTemperature(c.text);
  // The conversions are a few additions and one multiplication or division.
  EXPECT_NEAR(t.fahrenheit, c.fahrenheit, 1e-9) << "F";
  EXPECT_NEAR(t.celsius, c.celsius, 1e-9) << "C";
  EXPECT_NEAR(t.kelvin, c.kelvin, 1e-9) << "K";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadTemperatureTest,
    testing::Values(
        TemperatureCase{"Celsius", "25C", 77, 25, 298.15},
        TemperatureCase{"Kelvin", "300K", 80.33, 26.85, 300},
        TemperatureCase{"NoLetterIsFahrenheit", "77", 77, 25, 298.15},
        TemperatureCase{"Fahrenheit", "77F", 77, 25, 298.15},
        TemperatureCase{"DefaultField", "80", 80, 48 / 1.8, 48 / 1.8 + 273.15},
        TemperatureCase{"NegativeCelsius", "-40C", -40, -40, 233.15},
        TemperatureCase{"BoilingFahrenheit", "212F", 212, 100, 373.15},
        TemperatureCase{"LetterAnywhere", "2K5", 25 * 1.8 - 459.67, 25 - 273.15, 25},
        TemperatureCase{"KelvinWinsOverCelsius", "25CK", 25 * 1.8 - 459.67, 25 - 273.15, 25},
        TemperatureCase{"OtherLetterStays", "25FC", 77, 25, 298.15},
        TemperatureCase{"LowerCaseIsNoUnit", "25c", 25, -35.0 / 9, -35.0 / 9 + 273.15},
        TemperatureCase{"PrefixWithUnit", "1kK", 1000 * 1.8 - 459.67, 1000 - 273.15, 1000},
        TemperatureCase{"BlankBeforeUnit", "300 K", 80.33, 26.85, 300},
        TemperatureCase{"EveryLetterRemoved", "3K0K", 30 * 1.8 - 459.67, 30 - 273.15, 30},
        TemperatureCase{"UnreadableIsZeroFahrenheit", "warm", 0, -160.0 / 9, -160.0 / 9 + 273.15}),
    [](const testing::TestParamInfo<TemperatureCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// One calculation with the start-up form

TEST(ComputeNoiseDefaults, GiveTheKnownFigures) {
  const NoiseResult r = ComputeNoise(DefaultForm());
  ASSERT_FALSE(r.error);
  ExpectFigure(r.temperature.kelvin, 299.8167, 7, "T_K");
  ExpectFigure(r.fourKT, 1.6558e-20, 5, "4kT");
  EXPECT_EQ(r.flicker, 1.0) << "fc = 0 gives F = 1 exactly";
  ASSERT_TRUE(r.gain && r.outputDensity && r.ownNoise && r.totalNoise && r.snr);
  EXPECT_EQ(*r.gain, 2.0);
  ExpectFigure(*r.outputDensity, 8.3232e-9, 5, "Sn");
  ExpectFigure(*r.ownNoise, 1.1765e-6, 5, "Vn");
  EXPECT_EQ(*r.totalNoise, *r.ownNoise) << "no carry step in plain mode";
  ExpectFigure(*r.snr, 118.59, 5, "SNR");
  EXPECT_FALSE(r.reduced);
  EXPECT_TRUE(r.r1Read);
  // Inputs as read.
  EXPECT_EQ(r.en, 3e-9);
  EXPECT_EQ(r.in, 400e-15);
  EXPECT_EQ(r.lowerFreq, 20);
  EXPECT_EQ(r.upperFreq, 20000);
  EXPECT_EQ(r.refVoltage, 1);
  EXPECT_EQ(r.sourceResistor, 0);
  EXPECT_EQ(r.r1, 1000);
  EXPECT_EQ(r.r2, 1000);
  EXPECT_EQ(r.cornerFreq, 0);
}

TEST(ComputeNoiseDefaults, CornerOfHundredHertz) {
  CalculatorForm form = DefaultForm();
  form.m_strCornerFreq = "100";
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  ExpectFigure(r.flicker, 1.01714, 6, "F");
  ExpectFigure(r.enCorrected, 3e-9 * 1.01714, 6, "en'");
  ExpectFigure(r.inCorrected, 400e-15 * 1.01714, 6, "in'");
  ExpectFigure(*r.outputDensity, 8.3980e-9, 5, "Sn");
  ExpectFigure(*r.ownNoise, 1.1871e-6, 5, "Vn");
  ExpectFigure(*r.snr, 118.51, 5, "SNR");
}

TEST(ComputeNoiseDefaults, PlainModeIgnoresTheCarryField) {
  CalculatorForm form = DefaultForm();
  form.m_strCarry = "1";
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = 100;
  form.m_dPrevUpperFreq = 200;
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  EXPECT_EQ(*r.totalNoise, *r.ownNoise);
  EXPECT_FALSE(r.reduced);
  ExpectFigure(*r.snr, 118.59, 5, "SNR");
}

// ---------------------------------------------------------------------------
// Topologies

struct TopologyCase {
  const char* name;
  int ampType;
  const char* rs;
  const char* r1;
  const char* r2;
  const char* en;
  const char* in;
  const char* fc;
  double gain;
  double density;  // Sn, computed independently to full precision
};

std::ostream& operator<<(std::ostream& os, const TopologyCase& c) { return os << c.name; }

class TopologyTest : public testing::TestWithParam<TopologyCase> {};

TEST_P(TopologyTest, GainAndOutputDensity) {
  const TopologyCase& c = GetParam();
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = c.ampType;
  form.m_strSourceResistor = c.rs;
  form.m_strR1 = c.r1;
  form.m_strR2 = c.r2;
  form.m_strNoiseVoltage = c.en;
  form.m_strNoiseCurrent = c.in;
  form.m_strCornerFreq = c.fc;
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  ASSERT_TRUE(r.gain && r.outputDensity && r.ownNoise && r.snr);
  ExpectClose(*r.gain, c.gain, "G");
  ExpectClose(*r.outputDensity, c.density, "Sn");
  ExpectClose(*r.ownNoise, std::sqrt(20000.0 - 20.0) * c.density, "Vn");
  ExpectClose(*r.snr, 20 * std::log10(1 / (std::sqrt(19980.0) * c.density)), "SNR");
  EXPECT_EQ(r.r1Read, c.ampType != AMP_BUFFER);
}

// The first three rows are the start-up form in each topology; the others set
// every input so that every term of the density counts.
INSTANTIATE_TEST_SUITE_P(
    Circuits, TopologyTest,
    testing::Values(
        TopologyCase{"NonInvertingDefaults", AMP_NONINVERTING, "0", "1k", "1k", "3n", "400f", "0",
                     2, 8.323182087447084e-09},
        TopologyCase{"BufferDefaults", AMP_BUFFER, "0", "1k", "1k", "3n", "400f", "0", 1,
                     5.071260201409507e-09},
        // A + 1 = 2 and R1 A^2 = R2^2 / R1 when Rs = 0: the same density as
        // the non-inverting amplifier.
        TopologyCase{"InvertingDefaults", AMP_INVERTING, "0", "1k", "1k", "3n", "400f", "0", 1,
                     8.323182087447084e-09},
        TopologyCase{"NonInvertingAllTerms", AMP_NONINVERTING, "2k", "1k", "9k", "5n", "1p", "50",
                     10, 8.851134834929592e-08},
        TopologyCase{"InvertingAllTerms", AMP_INVERTING, "2k", "1k", "9k", "5n", "1p", "50", 3,
                     3.2945278443321584e-08},
        TopologyCase{"BufferAllTerms", AMP_BUFFER, "2k", "1k", "9k", "5n", "1p", "50", 1,
                     1.7147478373520584e-08}),
    [](const testing::TestParamInfo<TopologyCase>& info) { return info.param.name; });

TEST(TopologyBuffer, NeverReadsResistorOne) {
  const NoiseResult reference = ComputeNoise([] {
    CalculatorForm form = DefaultForm();
    form.m_nAmpType = AMP_BUFFER;
    return form;
  }());
  ASSERT_FALSE(reference.error);
  ExpectFigure(*reference.outputDensity, 5.0713e-9, 5, "Sn");
  ExpectFigure(*reference.snr, 122.89, 5, "SNR");
  for (const char* r1 : {"0", "abc", "-1k", "1e400", ""}) {
    CalculatorForm form = DefaultForm();
    form.m_nAmpType = AMP_BUFFER;
    form.m_strR1 = r1;
    const NoiseResult r = ComputeNoise(form);
    EXPECT_FALSE(r.error) << "R1 \"" << r1 << "\"";
    EXPECT_EQ(r.gain, reference.gain) << "R1 \"" << r1 << "\"";
    EXPECT_EQ(r.outputDensity, reference.outputDensity) << "R1 \"" << r1 << "\"";
  }
}

TEST(CornerNotApplied, CurrentNoiseTermsDoNotChangeWithTheCorner) {
  // A buffer whose op amp has no voltage noise: only the resistors and the
  // current noise count, so with the corner not applied to the current noise
  // the density is the same for any corner frequency.
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = AMP_BUFFER;
  form.m_strSourceResistor = "10k";
  form.m_strR2 = "10k";
  form.m_strNoiseVoltage = "0";
  form.m_bApplyCorner = 0;
  form.m_strCornerFreq = "0";
  const NoiseResult flat = ComputeNoise(form);
  form.m_strCornerFreq = "100";
  const NoiseResult cornered = ComputeNoise(form);
  ASSERT_FALSE(flat.error);
  ASSERT_FALSE(cornered.error);
  EXPECT_GT(cornered.flicker, 1.01);
  EXPECT_EQ(cornered.inCorrected, 400e-15);
  EXPECT_EQ(*cornered.outputDensity, *flat.outputDensity);
  ExpectClose(*cornered.outputDensity, 1.9056589427492004e-08, "Sn");

  // Applied, the same corner raises the current noise by F.
  form.m_bApplyCorner = 1;
  const NoiseResult applied = ComputeNoise(form);
  ASSERT_FALSE(applied.error);
  ExpectClose(applied.inCorrected, 400e-15 * applied.flicker, "in'");
  EXPECT_GT(*applied.outputDensity, *flat.outputDensity);
}

// ---------------------------------------------------------------------------
// The four checks

struct CheckCase {
  const char* name;
  int ampType;
  const char* field;
  const char* text;
  const char* rs = "0";
};

std::ostream& operator<<(std::ostream& os, const CheckCase& c) { return os << c.name; }

CalculatorForm FormWith(int ampType, const char* key, const char* text, const char* rs) {
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = ampType;
  form.m_strSourceResistor = rs;
  for (const FormTextField& field : kFormTextFields)
    if (field.key == key) form.*field.member = text;
  return form;
}

class InconsistentInputTest : public testing::TestWithParam<CheckCase> {};

TEST_P(InconsistentInputTest, IsAnErrorWithNothingComputed) {
  const CheckCase& c = GetParam();
  const NoiseResult r = ComputeNoise(FormWith(c.ampType, c.field, c.text, c.rs));
  EXPECT_TRUE(r.error);
  EXPECT_FALSE(r.ownNoise.has_value());
  EXPECT_FALSE(r.totalNoise.has_value());
  EXPECT_FALSE(r.snr.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, InconsistentInputTest,
    testing::Values(
        CheckCase{"EqualBandEdges", AMP_NONINVERTING, "lower_freq", "20k"},
        CheckCase{"ReversedBand", AMP_NONINVERTING, "lower_freq", "30k"},
        CheckCase{"ZeroReference", AMP_NONINVERTING, "ref_voltage", "0"},
        CheckCase{"UnreadableReference", AMP_NONINVERTING, "ref_voltage", "one volt"},
        CheckCase{"BlankBeforeReference", AMP_NONINVERTING, "ref_voltage", " 1"},
        CheckCase{"ReversedBandInBuffer", AMP_BUFFER, "upper_freq", "10"},
        CheckCase{"ZeroR1NonInverting", AMP_NONINVERTING, "r1", "0"},
        CheckCase{"UnreadableR1NonInverting", AMP_NONINVERTING, "r1", "none"},
        CheckCase{"R1CancelsRs", AMP_INVERTING, "r1", "-1k", "1k"},
        CheckCase{"ZeroR1AndRsInverting", AMP_INVERTING, "r1", "0", "0"}),
    [](const testing::TestParamInfo<CheckCase>& info) { return info.param.name; });

TEST(InconsistentInput, ZeroR1IsNoErrorForTheBufferNorWithRsForInverting) {
  EXPECT_FALSE(ComputeNoise(FormWith(AMP_BUFFER, "r1", "0", "0")).error);
  const NoiseResult inverting = ComputeNoise(FormWith(AMP_INVERTING, "r1", "0", "1k"));
  EXPECT_FALSE(inverting.error);
  EXPECT_EQ(*inverting.gain, 1.0);  // R2 / (R1 + Rs)
}

// ---------------------------------------------------------------------------
// Results that are not finite are an error too.

struct NonFiniteCase {
  const char* name;
  int ampType;
  std::vector<std::pair<std::string, std::string>> fields;  // key, text
};

std::ostream& operator<<(std::ostream& os, const NonFiniteCase& c) { return os << c.name; }

class NonFiniteResultTest : public testing::TestWithParam<NonFiniteCase> {};

TEST_P(NonFiniteResultTest, IsReportedAsInconsistentInput) {
  const NonFiniteCase& c = GetParam();
  CalculatorForm form = DefaultForm();
  form.m_nAmpType = c.ampType;
  for (const auto& [key, text] : c.fields)
    for (const FormTextField& field : kFormTextFields)
      if (field.key == key) form.*field.member = text;
  EXPECT_TRUE(ComputeNoise(form).error);
}

// Each row names the quantity that stops being finite.
INSTANTIATE_TEST_SUITE_P(
    Inputs, NonFiniteResultTest,
    testing::Values(
        NonFiniteCase{"ZeroLowerEdgeNoCorner", AMP_NONINVERTING,
                      {{"lower_freq", "0"}, {"corner_freq", "0"}}},  // F is NaN
        NonFiniteCase{"ZeroLowerEdgeWithCorner", AMP_NONINVERTING,
                      {{"lower_freq", "0"}, {"corner_freq", "100"}}},  // F is infinite
        NonFiniteCase{"NegativeLowerEdge", AMP_NONINVERTING,
                      {{"lower_freq", "-20"}, {"corner_freq", "100"}}},  // F is NaN
        NonFiniteCase{"HugeResistor", AMP_NONINVERTING, {{"r2", "1e400"}}},  // Sn
        NonFiniteCase{"HugeNoiseVoltage", AMP_BUFFER, {{"noise_voltage", "1e400"}}},  // Sn
        NonFiniteCase{"HugeSourceInverting", AMP_INVERTING,
                      {{"source_resistor", "1e400"}}},  // Sn is NaN, G is 0
        NonFiniteCase{"HugeTemperature", AMP_BUFFER, {{"temperature", "1e400K"}}},  // Sn
        NonFiniteCase{"NegativeTemperature", AMP_BUFFER, {{"temperature", "-1kK"}}},  // Sn NaN
        NonFiniteCase{"TinyR1", AMP_NONINVERTING, {{"r1", "1e-320"}}},  // G
        NonFiniteCase{"HugeReference", AMP_NONINVERTING, {{"ref_voltage", "1e400"}}}),  // SNR
    [](const testing::TestParamInfo<NonFiniteCase>& info) { return info.param.name; });

TEST(NonFiniteResult, NoNoiseAtAllGivesNoSignalToNoiseRatio) {
  // Every source silent: the total noise is 0 and the ratio infinite.
  CalculatorForm form = DefaultForm();
  form.m_strNoiseVoltage = "0";
  form.m_strNoiseCurrent = "0";
  form.m_strR2 = "0";
  EXPECT_TRUE(ComputeNoise(form).error);
}

TEST(NonFiniteResult, InfiniteCarryOnlyCountsInCarryMode) {
  CalculatorForm form = DefaultForm();
  form.m_strCarry = "1e400";
  EXPECT_FALSE(ComputeNoise(form).error);
  form.m_bWithCarry = 1;
  EXPECT_TRUE(ComputeNoise(form).error);
}

// ---------------------------------------------------------------------------
// The carry step

CalculatorForm CarryForm(const char* carry, double prevLower, double prevUpper) {
  CalculatorForm form = DefaultForm();
  form.m_bWithCarry = 1;
  form.m_strCarry = carry;
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = prevLower;
  form.m_dPrevUpperFreq = prevUpper;
  return form;
}

TEST(CarryStep, NarrowerBandScalesTheCarriedNoise) {
  CalculatorForm form = CarryForm("1.176" MICRO, 20, 20000);
  form.m_strUpperFreq = "10k";
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  EXPECT_TRUE(r.reduced);
  ExpectFigure(*r.ownNoise, 8.3148e-7, 5, "own Vn");
  ExpectFigure(*r.totalNoise, 1.8586e-6, 5, "combined Vn");
  ExpectFigure(*r.snr, 114.62, 5, "SNR");
  // The carried part: 1.176u scaled by sqrt(9980 / 19980) to 8.3114e-7, then
  // amplified by the gain of 2.
  const double carried = std::sqrt(*r.totalNoise * *r.totalNoise - *r.ownNoise * *r.ownNoise);
  ExpectFigure(carried, 2 * 8.3114e-7, 5, "carried");
}

TEST(CarryStep, CoveringBandKeepsTheCarriedNoise) {
  const NoiseResult r = ComputeNoise(CarryForm("1.176" MICRO, 20, 20000));
  ASSERT_FALSE(r.error);
  EXPECT_FALSE(r.reduced);
  ExpectFigure(*r.ownNoise, 1.1765e-6, 5, "own Vn");
  ExpectFigure(*r.totalNoise, 2.6298e-6, 5, "combined Vn");
  ExpectFigure(*r.snr, 111.60, 5, "SNR");
}

struct BandCase {
  const char* name;
  const char* lower;
  const char* upper;
  double prevLower, prevUpper;
  bool reduced;
  double share;  // of the previous band's noise power that lies in the new band
};

std::ostream& operator<<(std::ostream& os, const BandCase& c) { return os << c.name; }

class CarryBandTest : public testing::TestWithParam<BandCase> {};

TEST_P(CarryBandTest, CarriesTheShareOfTheOverlap) {
  const BandCase& c = GetParam();
  CalculatorForm form = CarryForm("1" MICRO, c.prevLower, c.prevUpper);
  form.m_strLowerFreq = c.lower;
  form.m_strUpperFreq = c.upper;
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  EXPECT_EQ(r.reduced, c.reduced);
  const double g = *r.gain;
  // Combined^2 = own^2 + (Vc * sqrt(share) * G)^2; a few roundings apart.
  const double expected =
      std::sqrt(*r.ownNoise * *r.ownNoise + 1e-12 * c.share * g * g);
  ExpectClose(*r.totalNoise, expected, "combined Vn");
  ExpectClose(*r.snr, 20 * std::log10(1 / expected), "SNR");
}

INSTANTIATE_TEST_SUITE_P(
    Bands, CarryBandTest,
    testing::Values(
        BandCase{"SameBand", "20", "20k", 20, 20000, false, 1},
        BandCase{"WiderBand", "10", "40k", 20, 20000, false, 1},
        BandCase{"LowerPart", "10", "10k", 20, 20000, true, 9980.0 / 19980},
        BandCase{"Inside", "100", "1k", 20, 20000, true, 900.0 / 19980},
        BandCase{"UpperPart", "1k", "40k", 20, 20000, true, 19000.0 / 19980},
        // Nothing of the previous band lies in the new one.
        BandCase{"Above", "30k", "40k", 20, 20000, true, 0},
        BandCase{"Below", "20", "500", 1000, 2000, true, 0},
        BandCase{"TouchingAbove", "20k", "40k", 20, 20000, true, 0},
        BandCase{"TouchingBelow", "10", "20", 20, 20000, true, 0}),
    [](const testing::TestParamInfo<BandCase>& info) { return info.param.name; });

TEST(CarryStep, BeforeAnySuccessfulCalculationTheCarryIsNotScaled) {
  // The stored band is meaningless until a calculation has succeeded; were it
  // used, 10 Hz..40 kHz would cut the carried noise down.
  CalculatorForm form = CarryForm("1" MICRO, 10, 40000);
  form.m_bHavePrevBand = false;
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  EXPECT_FALSE(r.reduced);
  ExpectClose(*r.totalNoise, 2.320371025076547e-06, "combined Vn");
  ExpectClose(*r.totalNoise, std::sqrt(*r.ownNoise * *r.ownNoise + 4e-12), "combined Vn");
}

TEST(CarryStep, InvertingAmplifierAmplifiesByItsOwnGain) {
  CalculatorForm form = CarryForm("1" MICRO, 20, 20000);
  form.m_nAmpType = AMP_INVERTING;
  form.m_strR2 = "5k";
  const NoiseResult r = ComputeNoise(form);
  ASSERT_FALSE(r.error);
  EXPECT_EQ(*r.gain, 5.0);
  ExpectClose(*r.totalNoise, std::sqrt(*r.ownNoise * *r.ownNoise + 25e-12), "combined Vn");
}

}  // namespace
}  // namespace tervane
