#include "measured/measured_band.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

constexpr double kLongestStep = std::numbers::ln10 / 500;  // of ln f

// The integral from f1 to f2 of the power law through (f1, s1) and (f2, s2):
// s1 f1 L (e^b - 1) / b with L = ln(f2 / f1), b = ln(s2 f2 / (s1 f1)), or
// the same from the other end, s2 f2 L (1 - e^-b) / b: from the larger of
// s f, so that the factor lies within 0..1 and nothing overflows to make
// inf times 0. A weighting's far skirt may be 0, where there is nothing
// to add.
double PowerLawIntegral(double f1, double s1, double f2, double s2) {
  if (!(s1 > 0 && s2 > 0)) return 0;
  const double span = std::log(f2 / f1);
  const double b = std::log(s2) - std::log(s1) + span;
  if (b == 0) return s1 * f1 * span;
  return b > 0 ? s2 * f2 * span * -std::expm1(-b) / b : s1 * f1 * span * std::expm1(b) / b;
}

// The power density at f between the points a and b, on their power law.
double PowerAt(const MeasuredPoint& a, const MeasuredPoint& b, double f) {
  const double slope = std::log(b.density / a.density) / std::log(b.frequency / a.frequency);
  return a.density * a.density * std::exp(2 * slope * std::log(f / a.frequency));
}

// Adds the power between `lower` and `upper`, both within the points a..b,
// through every weighting.
void AddBetween(const MeasuredPoint& a, const MeasuredPoint& b, double lower, double upper,
                std::array<double, kWeightingCount>& power) {
  const double span = std::log(upper / lower);
  const int steps = std::max(1, static_cast<int>(std::ceil(span / kLongestStep)));
  double f1 = lower;
  double s1 = lower == a.frequency ? a.density * a.density : PowerAt(a, b, lower);
  std::array<double, kWeightingCount> w1 = WeightingPowerGains(f1);
  for (int k = 1; k <= steps; ++k) {
    const double f2 = k == steps ? upper : lower * std::exp(span * k / steps);
    const double s2 = f2 == b.frequency ? b.density * b.density : PowerAt(a, b, f2);
    const std::array<double, kWeightingCount> w2 = WeightingPowerGains(f2);
    for (std::size_t w = 0; w < kWeightingCount; ++w) power[w] += PowerLawIntegral(f1, w1[w] * s1, f2, w2[w] * s2);
    f1 = f2, s1 = s2, w1 = w2;
  }
}

}  // namespace

std::optional<MeasuredBandPower> MeasuredPowerOverBand(std::span<const MeasuredPoint> points, Band band) {
  if (points.size() < 2) return std::nullopt;
  MeasuredBandPower result;
  result.covered = {std::max(band.lower, points.front().frequency), std::min(band.upper, points.back().frequency)};
  if (!(result.covered.lower < result.covered.upper)) return std::nullopt;
  // The first point above the covered band's lower edge ends the first interval.
  auto above = std::upper_bound(points.begin(), points.end(), result.covered.lower,
                                [](double f, const MeasuredPoint& p) { return f < p.frequency; });
  for (; above != points.end() && above[-1].frequency < result.covered.upper; ++above) {
    const double lower = std::max(above[-1].frequency, result.covered.lower);
    const double upper = std::min(above->frequency, result.covered.upper);
    AddBetween(above[-1], *above, lower, upper, result.power);
  }
  return result;
}

std::optional<BandComparison> CompareOverBand(const MeasuredSpectrum& spectrum, const StageInputs& stage) {
  const std::optional<MeasuredSpectrum> output = AtOutput(spectrum, stage);
  if (!output) return std::nullopt;
  const std::optional<MeasuredBandPower> measured =
      MeasuredPowerOverBand(output->points, {stage.lowerFreq, stage.upperFreq});
  if (!measured) return std::nullopt;
  StageInputs spanned = stage;
  spanned.lowerFreq = measured->covered.lower;
  spanned.upperFreq = measured->covered.upper;
  if (spanned.carry && !spanned.previousBand) spanned.previousBand = Band{stage.lowerFreq, stage.upperFreq};
  const StageResult result = CalculateStage(spanned);
  if (result.failure) return std::nullopt;
  BandComparison comparison{*measured, {}, {}};
  for (const Weighting w : kWeightings) {
    const std::size_t i = WeightingIndex(w);
    comparison.model[i] = result.powers.weighted[i] + CarriedPower(result, w);
    comparison.differenceDb[i] = 10 * std::log10(measured->power[i] / comparison.model[i]);
  }
  return comparison;
}

}  // namespace tervane
