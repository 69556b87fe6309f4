// A measurement against the model: its band totals beside the model's, the
// fit's model as the noise model's own spectrum, and fits that find back
// the figures a spectrum was made with.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "form/measured_overlay.h"
#include "form/measured_text.h"
#include "measured/measured_band.h"
#include "measured/noise_fit.h"
#include "measured/spectrum_reader.h"
#include "noise/chain_views.h"
#include "noise/noise_calculation.h"
#include "noise/noise_spectrum.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::ExpectRelative;

// 20 points a decade, a decade either side of the band.
std::size_t SpectrumCount(const StageInputs& s) {
  const SpectrumRange range = SpectrumRangeOf(s);
  return static_cast<std::size_t>(std::lround(20 * std::log10(range.upper / range.lower))) + 1;
}

// The model's spectrum at SpectrumCount's points.
std::vector<MeasuredPoint> ModelSpectrum(const StageInputs& s) {
  std::vector<MeasuredPoint> points;
  const std::optional<std::vector<SpectrumPoint>> spectrum = NoiseSpectrum(s, CalculateStage(s), SpectrumCount(s));
  for (const SpectrumPoint& p : *spectrum) points.push_back({p.frequency, p.total});
  return points;
}

// As an analyser writes `u`, in full precision, converted apart from the reader.
std::string Rendered(const std::vector<MeasuredPoint>& points, const NoiseUnit& u) {
  std::string text = "Frequency,Noise\n";
  for (const MeasuredPoint& p : points) {
    const double bin = p.density * std::sqrt(u.binWidth * u.enbwBins);
    const double values[] = {p.density, p.density * 1e9, 20 * std::log10(p.density), p.density * p.density,
                             bin, 20 * std::log10(bin)};
    char line[64];
    std::snprintf(line, sizeof line, "%.17g,%.17g\n", p.frequency, values[static_cast<int>(u.unit)]);
    text += line;
  }
  return text;
}

StageInputs TenKilohmSource(double rs = 10e3) {
  StageInputs s = test::Stage(AMP_NONINVERTING, rs, 1e3, 9e3, {20, 20e3}, 3e-9, 1e-12);
  s.cornerFreq = 20, s.currentCorner = 300;
  return s;
}

TEST(MeasuredPowerOverBand, IsTheDenseTrapezoidOfItsPointsOnLogLogAxes) {
  const std::vector<MeasuredPoint> p{{3, 40e-9}, {10, 12e-9}, {70, 9e-9}, {1000, 8e-9}, {1500, 30e-9}, {9000, 2e-9}};
  const Band band{5, 5000};
  double dense = 0;
  for (std::size_t k = 0; k + 1 < p.size(); ++k) {
    const double lower = std::max(p[k].frequency, band.lower), upper = std::min(p[k + 1].frequency, band.upper);
    const auto power = [&](double f) {
      const double t = std::log(f / p[k].frequency) / std::log(p[k + 1].frequency / p[k].frequency);
      return std::pow(p[k].density, 2 - 2 * t) * std::pow(p[k + 1].density, 2 * t);
    };
    constexpr int kSteps = 200000;
    for (int j = 0; j < kSteps; ++j) {
      const double f1 = lower * std::pow(upper / lower, double(j) / kSteps);
      const double f2 = lower * std::pow(upper / lower, double(j + 1) / kSteps);
      dense += (f2 - f1) * (power(f1) + power(f2)) / 2;
    }
  }
  const std::optional<MeasuredBandPower> measured = MeasuredPowerOverBand(p, band);
  ASSERT_TRUE(measured);
  EXPECT_EQ(measured->covered, band);
  ExpectRelative(measured->power[0], dense, 1e-9, "flat");
}

// The model's own spectrum read back totals as the model does, through
// every weighting, over the whole band or the part the points span.
TEST(CompareOverBand, TheModelsSpectrumAt20PointsADecadeTotalsAsTheModel) {
  StageInputs corner = test::Stage(AMP_NONINVERTING, 600, 1e3, 99e3, {20, 20e3}, 3e-9, 1e-12);
  corner.cornerFreq = 100, corner.applyCorner = true;
  StageInputs rollOff = corner;
  rollOff.gainBandwidth = 1e6;  // the closed loop's corner at 10 kHz
  rollOff.carry = 2e-6;         // flat over the band, a step at its edges that 20 points a decade miss
  for (const StageInputs& s : {corner, rollOff, TenKilohmSource()})
    for (const Band part : {Band{0, INFINITY}, Band{100, 5000}}) {
      if (s.carry && part.lower == 0) continue;
      MeasuredSpectrum spectrum;
      for (const MeasuredPoint& p : ModelSpectrum(s))
        if (p.frequency >= part.lower && p.frequency <= part.upper) spectrum.points.push_back(p);
      const std::optional<BandComparison> comparison = CompareOverBand(spectrum, s);
      ASSERT_TRUE(comparison);
      EXPECT_EQ(comparison->measured.covered.lower, std::max(s.lowerFreq, spectrum.points.front().frequency));
      EXPECT_EQ(PartialBandNote(*comparison, {s.lowerFreq, s.upperFreq}).has_value(), part.lower > 0);
      for (const Weighting w : kWeightings)
        EXPECT_NEAR(comparison->differenceDb[WeightingIndex(w)], 0, 10 * std::log10(1 + 1e-3)) << int(w);
    }
}

// So does a chain's, at its output or divided by the stages' own |G(f)|
// multiplied and referred to its input; its points lie on the chain's total.
TEST(CompareOverBand, AChainsSpectrumTotalsAsTheChainAtItsOutputOrInput) {
  StageInputs rollOff = test::Stage(AMP_INVERTING, 0, 1e3, 10e3, {20, 20e3}, 3e-9, 1e-12);
  rollOff.gainBandwidth = 300e3;  // a gain that falls within the band: the chain integrated at once
  const StageInputs stages[] = {TenKilohmSource(), rollOff};
  const ChainResult chain = CalculateChain(stages);
  const std::optional<std::vector<ChainSpectrumPoint>> model = ChainSpectrum(chain, SpectrumCount(stages[0]));
  ASSERT_TRUE(model);
  for (const Band part : {Band{0, INFINITY}, Band{100, 5000}})
    for (const Referred referred : {Referred::kOutput, Referred::kInput}) {
      MeasuredSpectrum spectrum{{}, referred};
      for (const ChainSpectrumPoint& p : *model) {
        double gain = 1;
        for (const ChainStage& stage : chain.stages) gain *= StageAt(stage.inputs, p.frequency)->gain;
        if (p.frequency >= part.lower && p.frequency <= part.upper)
          spectrum.points.push_back({p.frequency, referred == Referred::kInput ? p.total / gain : p.total});
      }
      const std::optional<BandComparison> comparison = CompareOverBand(spectrum, chain);
      ASSERT_TRUE(comparison);
      EXPECT_EQ(comparison->measured.covered.lower, std::max(20.0, spectrum.points.front().frequency));
      for (const Weighting w : kWeightings)
        EXPECT_NEAR(comparison->differenceDb[WeightingIndex(w)], 0, 10 * std::log10(1 + 1e-3)) << int(w);
      const std::optional<std::vector<OverlayPoint>> overlay = OverlayOf(chain, spectrum);
      ASSERT_TRUE(overlay);
      for (const OverlayPoint& p : *overlay) EXPECT_NEAR(*p.ratioDb, 0, 1e-9) << p.frequency;
    }
}

// Whatever path the stage takes, the fit's model is its spectrum: the
// corners as the form's fields apply them, the gain error on everything.
TEST(ModelAt, IsTheStagesSpectrumWithTheFiguresIn) {
  StageInputs inverting = test::Stage(AMP_INVERTING, 1e3, 2e3, 20e3, {20, 20e3}, 0, 0);
  inverting.applyCorner = true, inverting.carry = 1e-6;
  StageInputs correlated = test::Cartridge();
  correlated.biasResistor = 5e3, correlated.inCorrelation = 0.4, correlated.currentCorner.reset();
  const FitUnknowns x{4e-18, 50, 9e-24, 400, std::log(1.1)};
  for (const StageInputs& s : {TenKilohmSource(), inverting, test::Cartridge(), correlated}) {
    const CornerRule rule{s.applyCorner, s.currentCorner.has_value()};
    StageInputs figured = s;
    figured.en = 2e-9, figured.cornerFreq = 50, figured.in = 3e-12;
    if (rule.currentCorner) figured.currentCorner = 400;
    const std::vector<MeasuredPoint> points{{3, 1}, {300, 1}, {30e3, 1}};
    const std::optional<std::vector<OpAmpTerms>> terms = OpAmpTermsOf(s, rule, points);
    ASSERT_TRUE(terms);
    for (const OpAmpTerms& t : *terms) {
      const double total = NoiseSpectrumAt(figured, CalculateStage(figured), t.frequency)->total;
      const ModelPoint m = ModelAt(t, rule, x);
      ExpectRelative(m.power, 1.21 * total * total, 1e-12, "power");
      for (std::size_t j = 0; j < kFitParameterCount; ++j) {
        FitUnknowns up = x, down = x;
        const double h = 1e-5 * x[j];
        up[j] += h, down[j] -= h;
        EXPECT_NEAR(m.slope[j], (ModelAt(t, rule, up).power - ModelAt(t, rule, down).power) / (2 * h),
                    1e-6 * m.power / x[j]) << j;
      }
    }
  }
}

struct Fitted {
  NoiseFit fit;
  std::array<double, kFitParameterCount> truth;
};

// The figures of `truth` (their own gain error scaling the data) fitted
// from a start off by tens of percent, each measurement written in `unit`
// and read back, its noise multiplied by 1 + `noise` N(0, 1).
Fitted FitBack(std::vector<StageInputs> truths, std::array<bool, kFitParameterCount> chosen, const NoiseUnit& unit,
               Referred referred = Referred::kOutput, double gain = 1, double noise = 0, unsigned seed = 1) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal;
  std::vector<FitMeasurement> measurements;
  for (StageInputs& s : truths) {
    std::vector<MeasuredPoint> points = ModelSpectrum(s);
    for (MeasuredPoint& p : points)
      p.density *= gain * (1 + noise * normal(random)) / (referred == Referred::kInput ? StageAt(s, p.frequency)->gain : 1);
    const MeasuredReading reading = ReadMeasuredText(Rendered(points, unit), {unit, {}, referred});
    EXPECT_TRUE(reading.spectrum) << reading.reason;
    StageInputs start = s;
    const std::array<double, 4> off{1.5, 0.5, 2, 0.7};
    start.en *= chosen[0] ? off[0] : 1, start.cornerFreq *= chosen[1] ? off[1] : 1;
    start.in *= chosen[2] ? off[2] : 1, *start.currentCorner *= chosen[3] ? off[3] : 1;
    measurements.push_back({*reading.spectrum, start});
  }
  const StageInputs& t = truths[0];
  const NoiseFitting fitting = FitNoise(measurements, {chosen, 100});
  EXPECT_TRUE(fitting.fit) << fitting.reason;
  return {*fitting.fit, {t.en, t.cornerFreq, t.in, *t.currentCorner, gain}};
}

constexpr std::array<bool, kFitParameterCount> kOpAmp{true, true, true, true, false};

TEST(FitNoise, FindsTheFiguresOfExactDataInEveryUnit) {
  const struct {
    NoiseUnit unit;
    std::array<bool, kFitParameterCount> chosen;
    Referred referred = Referred::kOutput;
    double gain = 1;
  } cases[] = {
      {{DensityUnit::kVoltsPerRootHz}, kOpAmp},
      {{DensityUnit::kDbvPerRootHz}, kOpAmp},
      {{DensityUnit::kVoltsSquaredPerHz}, kOpAmp},
      {{DensityUnit::kDbvPerBin, 1, 1.5}, kOpAmp},
      {{DensityUnit::kDbvPerBin, 2.5, 3.77}, kOpAmp},
      {{DensityUnit::kNanovoltsPerRootHz}, {true, true, false, false, true}, Referred::kInput, 1.05},
  };
  for (const auto& c : cases) {
    const Fitted f = FitBack({test::Cartridge()}, c.chosen, c.unit, c.referred, c.gain);
    EXPECT_TRUE(f.fit.converged);
    EXPECT_LT(f.fit.residualRmsDb, 1e-6);
    for (std::size_t j = 0; j < kFitParameterCount; ++j)
      if (c.chosen[j]) ExpectRelative(f.fit.fitted[j]->value, f.truth[j], 1e-3, kFitParameters[j].key.data());
  }
}

// With 1 % noise the errors are what the standard errors say: their ratio's
// mean square is about 1, none beyond four.
TEST(FitNoise, StandardErrorsMeasureTheScatterOfNoisyData) {
  double squares = 0;
  int count = 0;
  for (unsigned seed = 1; seed <= 100; ++seed) {
    const Fitted f = FitBack({test::Cartridge()}, kOpAmp, {DensityUnit::kDbvPerRootHz}, Referred::kOutput, 1, 0.01, seed);
    EXPECT_TRUE(f.fit.converged);
    for (std::size_t j = 0; j < 4; ++j) {
      const double z = (f.fit.fitted[j]->value - f.truth[j]) / *f.fit.fitted[j]->standardError;
      EXPECT_LT(std::fabs(z), 4) << kFitParameters[j].key << " " << seed;
      squares += z * z, ++count;
    }
  }
  EXPECT_NEAR(squares / count, 1, 0.35);
}

// The data-sheet method: a low and a high source resistance, fitted at once.
TEST(FitNoise, TwoSourceResistancesSeparateEnAndIn) {
  const Fitted f = FitBack({TenKilohmSource(0), TenKilohmSource(10e3)}, kOpAmp, {DensityUnit::kVoltsPerRootHz},
                           Referred::kOutput, 1, 0.01);
  ExpectRelative(f.fit.fitted[0]->value, f.truth[0], 0.01, "en");
  ExpectRelative(f.fit.fitted[2]->value, f.truth[2], 0.01, "in");
}

TEST(FitNoise, StopsAtItsIterationsWithTheBestPoint) {
  std::vector<FitMeasurement> m{{{ModelSpectrum(test::Cartridge())}, test::Cartridge()}};
  m[0].stage.en *= 10;
  const NoiseFitting fitting = FitNoise(m, {kOpAmp, 1});
  ASSERT_TRUE(fitting.fit);
  EXPECT_FALSE(fitting.fit->converged);
  EXPECT_EQ(fitting.fit->iterations, 1);
  EXPECT_LT(fitting.fit->fitted[0]->value, 10 * 3e-9);
  EXPECT_EQ(FitNoise(m, {}).reason, "no figure is chosen to fit");
}

}  // namespace
}  // namespace tervane
