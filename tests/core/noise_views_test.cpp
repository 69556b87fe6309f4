// Each source's share of the output noise, and the noise spectrum.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "form/calculator_form.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_spectrum.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::CarryForm;
using test::ExpectClose;
using test::FieldTexts;
using test::Form;

CalculatorForm NoCornerOnCurrent(CalculatorForm form) {
  form.m_bApplyCorner = 0;
  return form;
}

// ---------------------------------------------------------------------------
// Breakdown

struct SumCase {
  const char* name;
  CalculatorForm form;
};

// Flat, to the report's total; through a weighting, each source's weighted
// power, to the figures' weighted output noise.
TEST(BreakdownNoise, PowersAddUpToTheReportedTotalLargestFirst) {
  const FieldTexts allTerms = {
      {"source_resistor", "2k"}, {"r2", "9k"}, {"noise_voltage", "5n"}, {"noise_current", "1p"}, {"corner_freq", "50"}};
  const SumCase cases[] = {
      {"Buffer", Form(AMP_BUFFER, allTerms)},
      {"NonInverting", Form(AMP_NONINVERTING, allTerms)},
      {"InvertingNoCornerOnCurrent", NoCornerOnCurrent(Form(AMP_INVERTING, allTerms))},
      {"NarrowBandHighCorner",
       Form(AMP_NONINVERTING, {{"lower_freq", "1"}, {"upper_freq", "10"}, {"corner_freq", "3k"}})},
      {"CarrySameBand", CarryForm("20", "20k")},
      {"CarryReducedBand", CarryForm("100", "1k")},
      {"CarryDisjointBand", CarryForm("30k", "40k")},
  };
  for (const SumCase& c : cases)
    for (const Weighting w : kWeightings) {
      SCOPED_TRACE(std::string(c.name) + ", weighting " + std::to_string(WeightingIndex(w)));
      const NoiseResult r = ComputeNoise(c.form);
      const NoiseBreakdown b = BreakdownNoise(r, kDefaultCrestFactor, w).value();
      double power = 0, percent = 0;
      for (std::size_t i = 0; i < b.contributions.size(); ++i) {
        const NoiseContribution& row = b.contributions[i];
        power += row.total * row.total;
        percent += row.percent;
        if (i > 0) {
          EXPECT_GE(b.contributions[i - 1].total, row.total) << i;
        }
      }
      const double total = w == Weighting::kNone ? *r.outcome.totalNoise : *(*FiguresOf(r))[w].outputV;
      ExpectClose(power, total * total, "sum of powers");
      ExpectClose(percent, 100, "sum of percentages");
      EXPECT_EQ(b.outputTotal, *r.outcome.totalNoise);
      // The carried noise is a row exactly in carry mode.
      const bool carriedRow =
          std::any_of(b.contributions.begin(), b.contributions.end(),
                      [](const NoiseContribution& row) { return row.source == NoiseSource::kCarried; });
      EXPECT_EQ(carriedRow, c.form.m_bWithCarry != 0);
    }
}

TEST(BreakdownNoise, EqualSharesKeepTheModelsOrder) {
  // Buffer with Rs = R2 and no voltage noise: 4kT Rs = 4kT R2 and
  // in Rs = in R2, so two pairs of equal rows, each in source order.
  const NoiseResult r =
      ComputeNoise(Form(AMP_BUFFER, {{"source_resistor", "1k"}, {"noise_voltage", "0"}, {"noise_current", "10p"}}));
  const NoiseBreakdown b = BreakdownNoise(r).value();
  std::vector<NoiseSource> order;
  for (const NoiseContribution& row : b.contributions) order.push_back(row.source);
  // 4kT R = 1.66e-17 is below (in R)^2 = 1e-16; en is 0.
  EXPECT_EQ(order,
            (std::vector<NoiseSource>{NoiseSource::kCurrentNoiseR2, NoiseSource::kCurrentNoiseRs,
                                      NoiseSource::kR2Thermal, NoiseSource::kRsThermal, NoiseSource::kVoltageNoise}));
  EXPECT_EQ(b.contributions[0].percent, b.contributions[1].percent);
  EXPECT_EQ(b.contributions[4].percent, 0);
}

TEST(BreakdownNoise, InputReferredNoiseAndPeakToPeak) {
  const struct {
    const char* name;
    CalculatorForm form;
    double crestFactor;
    double peakPerRms;
    double gain;
  } cases[] = {
      {"InvertingWideCrest", Form(AMP_INVERTING, {{"r2", "4k"}}), kWideCrestFactor, 6.6, 4},
      {"NonInvertingWithCarry", CarryForm("20", "20k"), 5, 5, 2},
      // No gain at all: nothing at the output is referable to the input.
      {"InvertingWithoutGain", Form(AMP_INVERTING, {{"r2", "0"}}), 6, 6, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NoiseResult r = ComputeNoise(c.form);
    const NoiseBreakdown b = BreakdownNoise(r, c.crestFactor).value();
    EXPECT_EQ(b.crestFactor, c.peakPerRms);
    ExpectClose(b.peakToPeak, *r.outcome.totalNoise * c.peakPerRms, "peak-to-peak");
    if (c.gain == 0) {
      EXPECT_TRUE(std::isinf(b.inputReferred));
      EXPECT_TRUE(std::isinf(b.inputDensity));
      continue;
    }
    ExpectClose(b.inputReferred, *r.outcome.totalNoise / c.gain, "input-referred");
    // The band average: it integrates over the band to the input-referred noise, carry and all.
    ExpectClose(b.inputDensity, *r.outcome.totalNoise / c.gain / std::sqrt(r.inputs.upperFreq - r.inputs.lowerFreq), "input density");
  }
}

TEST(BreakdownNoise, NoneForAFailedCalculationOrANegativePower) {
  const SumCase cases[] = {
      {"ReversedBand", Form(AMP_NONINVERTING, {{"lower_freq", "30k"}})},
      {"NoTopology", Form(-1)},
      // Each reports a finite total, but one source's power is below zero.
      {"NegativeR2", Form(AMP_BUFFER, {{"r2", "-1k"}, {"noise_voltage", "10n"}})},
      {"NegativeR1", Form(AMP_NONINVERTING, {{"r1", "-10k"}, {"noise_voltage", "10n"}})},
      {"NegativeR2OverFrequency", Form(AMP_NONINVERTING, {{"r2", "-1k"}, {"gain_bandwidth", "8M"}})},
      // The 1/f part en^2 fc / f is negative, though 1 + fc / f is not above 1 Hz.
      {"NegativeCorner", Form(AMP_NONINVERTING, {{"corner_freq", "-1"}})},
  };
  for (const SumCase& c : cases) {
    SCOPED_TRACE(c.name);
    const NoiseResult r = ComputeNoise(c.form);
    EXPECT_FALSE(BreakdownNoise(r).has_value());
    EXPECT_FALSE(NoiseSpectrumAt(r, 1000).has_value());
  }
}

// ---------------------------------------------------------------------------
// Spectrum

// Where the points lie and what they hold is the spectrum command's golden
// batch's (tests/cli/spectrum.txt); here, where there is no spectrum.
TEST(NoiseSpectrum, NoneOfFewerThanTwoPointsOrWhereADecadeAboveTheBandOverflows) {
  const NoiseResult r = ComputeNoise(Form(AMP_NONINVERTING, {{"corner_freq", "100"}}));
  EXPECT_FALSE(NoiseSpectrum(r, 1) || NoiseSpectrum(r, 0));
  EXPECT_EQ(NoiseSpectrum(r, 2)->size(), 2u);
  EXPECT_FALSE(NoiseSpectrumAt(r, 0).has_value());
  const NoiseResult huge = ComputeNoise(Form(AMP_NONINVERTING, {{"upper_freq", "1e308"}}));
  ASSERT_FALSE(huge.outcome.failure.has_value());
  EXPECT_FALSE(NoiseSpectrum(huge, 11).has_value());
  EXPECT_FALSE(NoiseSpectrumAt(huge, HUGE_VAL).has_value());
  EXPECT_TRUE(NoiseSpectrum(ComputeNoise(Form(AMP_NONINVERTING, {{"upper_freq", "1e307"}})), 11).has_value());
}

}  // namespace
}  // namespace tervane
