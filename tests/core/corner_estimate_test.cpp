// The 1/f corner estimator and the placeholders of its dialog.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "form/corner_estimate.h"

namespace tervane {
namespace {

TEST(CornerPlaceholders, EachModeHasItsOwnAndOnlyALeadingBracketClears) {
  CornerDialogState state;
  state.m_strFreqRange = "10";
  state.m_strNoise = "6n";
  SetCornerPlaceholders(state, CORNER_SINGLE_FREQ);
  EXPECT_EQ(state.m_strFreqRange, "<freq>");
  EXPECT_EQ(state.m_strNoise, "<rms noise>");
  SetCornerPlaceholders(state, CORNER_THROUGH_RANGE);
  EXPECT_EQ(state.m_strFreqRange, "<lower freq> <upper freq>");
  EXPECT_EQ(state.m_strNoise, "<noise> [<p-p | rms>]");

  const std::pair<std::string, std::string> fields[] = {
      {"<freq>", ""}, {"<", ""}, {"10", "10"}, {" <freq>", " <freq>"}, {"90n <rms>", "90n <rms>"}, {"", ""}};
  for (const auto& [before, after] : fields) {
    std::string field = before;
    ClearPlaceholder(field);
    EXPECT_EQ(field, after) << "\"" << before << "\"";
  }
}

TEST(EstimateCorner, WritesAFiniteNonNegativeCornerOrReportsAnInputError) {
  constexpr int kSingle = CORNER_SINGLE_FREQ;
  constexpr int kRange = CORNER_THROUGH_RANGE;
  const std::optional<std::string> none;
  // Over 0.1 Hz to 10 Hz with 3n white noise, 15n rms (90n peak-to-peak)
  // gives (25 + 0.1 - 10) / ln(100) = 3.2789... (6n at 10 Hz, "15n rms" and
  // "15n RMS" are the corner command's golden batch's.)
  const struct {
    int mode;
    const char *freqRange, *noise;
    const char* noiseVoltage;            // the main form's white noise density
    std::optional<std::string> written;  // the new corner field, if any
    bool inputError;
  } cases[] = {
      {kSingle, "1k", "30n", "3n", "99k", false},
      {kSingle, "0", "6n", "3n", "0", false},  // one zero alone is no error
      {kSingle, "10", "3n", "3n", "0", false},
      {kSingle, "<freq>", "<rms noise>", "3n", none, true},
      // Estimates that are no frequency are not written.
      {kSingle, "1k", "<rms noise>", "3n", none, true},  // -1k
      {kSingle, "10", "2n", "3n", none, true},
      {kSingle, "10", "6n", "0", none, true},
      {kRange, "0.1 10", "90n", "3n", "3.279", false},  // peak-to-peak by default
      {kRange, "0.1 10", "90n p-p", "3n", "3.279", false},
      {kRange, "0.1 10", "90n pp", "3n", "3.279", false},
      {kRange, "0.1 10", "15n r", "3n", "3.279", false},  // the unit word's first letter
      {kRange, "0.1 10 100", "15n rms extra", "3n", "3.279", false},
      {kRange, " \t0.1\t 10 ", "  15n\trms ", "3n", "3.279", false},
      // An unknown unit word: written as rms, then "Input error".
      {kRange, "0.1 10", "15n volts", "3n", "3.279", true},
      {kRange, "10", "90n", "3n", none, true},
      {kRange, "0.1 10", " \t ", "3n", none, true},
      {kRange, "<lower freq> <upper freq>", "<noise> [<p-p | rms>]", "3n", none, true},
      {kRange, "10 0.1", "15n rms", "3n", none, true},
      {kRange, "10 10", "15n rms", "3n", none, true},
      {kRange, "0.1 10", "15n p-p", "3n", none, true},
      {kRange, "0.1 10", "1n volts", "3n", none, true},
      {kRange, "0.1 10", "15n rms", "0", none, true},
      // ln(10 / 0) is infinite, so the estimate is 0: finite, and written;
      // so is the 0 of white noise alone, 3^2 = 1 (10 - 1).
      {kRange, "0 10", "15n rms", "3n", "0", false},
      {kRange, "1 10", "3 rms", "1", "0", false},
  };
  for (const auto& c : cases) {
    CornerDialogState state;
    state.m_nSpecifyMode = c.mode;
    state.m_strFreqRange = c.freqRange;
    state.m_strNoise = c.noise;
    const CornerEstimate estimate = EstimateCorner(state, c.noiseVoltage);
    const auto trace = testing::Message() << "mode " << c.mode << " \"" << c.freqRange << "\" \"" << c.noise
                                          << "\" en \"" << c.noiseVoltage << "\"";
    EXPECT_EQ(estimate.cornerText, c.written) << trace;
    EXPECT_EQ(estimate.inputError, c.inputError) << trace;
  }
}

}  // namespace
}  // namespace tervane
