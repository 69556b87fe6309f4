// The 1/f corner estimator and the placeholders of its dialog.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "noise/corner_estimate.h"

namespace tervane {
namespace {

// ---------------------------------------------------------------------------
// Placeholders

TEST(CornerPlaceholders, EachModeHasItsOwn) {
  CornerDialogState state;
  state.m_strFreqRange = "10";
  state.m_strNoise = "6n";
  SetCornerPlaceholders(state, CORNER_SINGLE_FREQ);
  EXPECT_EQ(state.m_strFreqRange, "<freq>");
  EXPECT_EQ(state.m_strNoise, "<rms noise>");

  state.m_strFreqRange = "0.1 10";
  state.m_strNoise = "90n";
  SetCornerPlaceholders(state, CORNER_THROUGH_RANGE);
  EXPECT_EQ(state.m_strFreqRange, "<lower freq> <upper freq>");
  EXPECT_EQ(state.m_strNoise, "<noise> [<p-p | rms>]");
}

struct ClearCase {
  const char* name;
  const char* before;
  const char* after;
};

std::ostream& operator<<(std::ostream& os, const ClearCase& c) { return os << c.name; }

class ClearPlaceholderTest : public testing::TestWithParam<ClearCase> {};

TEST_P(ClearPlaceholderTest, EmptiesOnlyTextThatBeginsWithTheBracket) {
  std::string field = GetParam().before;
  ClearPlaceholder(field);
  EXPECT_EQ(field, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ClearPlaceholderTest,
    testing::Values(ClearCase{"SingleFreq", "<freq>", ""},
                    ClearCase{"Range", "<lower freq> <upper freq>", ""},
                    ClearCase{"BracketAlone", "<", ""},
                    ClearCase{"TypedValue", "10", "10"},
                    ClearCase{"BlankBeforeBracket", " <freq>", " <freq>"},
                    ClearCase{"BracketLater", "90n <rms>", "90n <rms>"},
                    ClearCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<ClearCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Estimation

struct EstimateCase {
  const char* name;
  int mode;
  const char* freqRange;
  const char* noise;
  const char* noiseVoltage;          // the main form's white noise density
  std::optional<std::string> written;  // the new corner field, if any
  bool inputError;
};

std::ostream& operator<<(std::ostream& os, const EstimateCase& c) { return os << c.name; }

class EstimateCornerTest : public testing::TestWithParam<EstimateCase> {};

TEST_P(EstimateCornerTest, WritesTheCornerOrReportsAnInputError) {
  const EstimateCase& c = GetParam();
  CornerDialogState state;
  state.m_nSpecifyMode = c.mode;
  state.m_strFreqRange = c.freqRange;
  state.m_strNoise = c.noise;
  const CornerEstimate estimate = EstimateCorner(state, c.noiseVoltage);
  EXPECT_EQ(estimate.cornerText, c.written);
  EXPECT_EQ(estimate.inputError, c.inputError);
}

const std::optional<std::string> kNothing;

INSTANTIATE_TEST_SUITE_P(
    SingleFrequency, EstimateCornerTest,
    testing::Values(
        // (6n^2 - 3n^2) * 10 / 3n^2
        EstimateCase{"SpotNoise", CORNER_SINGLE_FREQ, "10", "6n", "3n", "30", false},
        EstimateCase{"Placeholders", CORNER_SINGLE_FREQ, "<freq>", "<rms noise>", "3n", kNothing,
                     true},
        EstimateCase{"Empty", CORNER_SINGLE_FREQ, "", "", "3n", kNothing, true},
        // A zero frequency alone is no error: the corner is 0.
        EstimateCase{"ZeroFrequency", CORNER_SINGLE_FREQ, "0", "6n", "3n", "0", false},
        EstimateCase{"NoiseEqualsWhite", CORNER_SINGLE_FREQ, "10", "3n", "3n", "0", false},
        // Unread noise is 0: the estimate is the negative of the frequency,
        // which is no frequency.
        EstimateCase{"UntouchedNoisePlaceholder", CORNER_SINGLE_FREQ, "1k", "<rms noise>", "3n",
                     kNothing, true},
        EstimateCase{"NoiseBelowWhite", CORNER_SINGLE_FREQ, "10", "2n", "3n", kNothing, true},
        EstimateCase{"NoWhiteNoise", CORNER_SINGLE_FREQ, "10", "6n", "0", kNothing, true},
        EstimateCase{"LargeCorner", CORNER_SINGLE_FREQ, "1k", "30n", "3n", "99k", false}),
    [](const testing::TestParamInfo<EstimateCase>& info) { return info.param.name; });

// Over 0.1 Hz to 10 Hz with 3n white noise, 15n rms (90n peak-to-peak) gives
// (25 + 0.1 - 10) / ln(100) = 3.2789...
INSTANTIATE_TEST_SUITE_P(
    ThroughRange, EstimateCornerTest,
    testing::Values(
        EstimateCase{"PeakToPeakByDefault", CORNER_THROUGH_RANGE, "0.1 10", "90n", "3n", "3.279",
                     false},
        EstimateCase{"PeakToPeakNamed", CORNER_THROUGH_RANGE, "0.1 10", "90n p-p", "3n", "3.279",
                     false},
        EstimateCase{"PeakToPeakLetter", CORNER_THROUGH_RANGE, "0.1 10", "90n pp", "3n", "3.279",
                     false},
        EstimateCase{"Rms", CORNER_THROUGH_RANGE, "0.1 10", "15n rms", "3n", "3.279", false},
        EstimateCase{"RmsLetter", CORNER_THROUGH_RANGE, "0.1 10", "15n r", "3n", "3.279", false},
        // An unknown unit word: written as rms, then "Input error".
        EstimateCase{"UpperCaseUnit", CORNER_THROUGH_RANGE, "0.1 10", "15n RMS", "3n", "3.279",
                     true},
        EstimateCase{"UnknownUnit", CORNER_THROUGH_RANGE, "0.1 10", "15n volts", "3n", "3.279",
                     true},
        EstimateCase{"ExtraWordsIgnored", CORNER_THROUGH_RANGE, "0.1 10 100", "15n rms extra",
                     "3n", "3.279", false},
        EstimateCase{"AnyWhiteSpace", CORNER_THROUGH_RANGE, " \t0.1\t 10 ", "  15n\trms ", "3n",
                     "3.279", false},
        EstimateCase{"SingleBandWord", CORNER_THROUGH_RANGE, "10", "90n", "3n", kNothing, true},
        EstimateCase{"NoBandWord", CORNER_THROUGH_RANGE, "   ", "90n", "3n", kNothing, true},
        EstimateCase{"NoNoiseWord", CORNER_THROUGH_RANGE, "0.1 10", "", "3n", kNothing, true},
        EstimateCase{"OnlyWhiteSpaceNoise", CORNER_THROUGH_RANGE, "0.1 10", " \t ", "3n",
                     kNothing, true},
        // Estimates that are no frequency are not written.
        EstimateCase{"Placeholders", CORNER_THROUGH_RANGE, "<lower freq> <upper freq>",
                     "<noise> [<p-p | rms>]", "3n", kNothing, true},
        EstimateCase{"ReversedBand", CORNER_THROUGH_RANGE, "10 0.1", "15n rms", "3n", kNothing,
                     true},
        EstimateCase{"EqualEdges", CORNER_THROUGH_RANGE, "10 10", "15n rms", "3n", kNothing,
                     true},
        // ln(10 / 0) is infinite, so the estimate is 0: finite, and written.
        EstimateCase{"ZeroLowerEdge", CORNER_THROUGH_RANGE, "0 10", "15n rms", "3n", "0", false},
        EstimateCase{"NoiseBelowWhite", CORNER_THROUGH_RANGE, "0.1 10", "15n p-p", "3n",
                     kNothing, true},
        EstimateCase{"NoiseBelowWhiteUnknownUnit", CORNER_THROUGH_RANGE, "0.1 10", "1n volts",
                     "3n", kNothing, true},
        EstimateCase{"NoWhiteNoise", CORNER_THROUGH_RANGE, "0.1 10", "15n rms", "0", kNothing,
                     true},
        // White noise alone over the band, 3^2 = 1 * (10 - 1): a corner of
        // exactly 0 is written.
        EstimateCase{"WhiteNoiseOnly", CORNER_THROUGH_RANGE, "1 10", "3 rms", "1", "0", false}),
    [](const testing::TestParamInfo<EstimateCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tervane
