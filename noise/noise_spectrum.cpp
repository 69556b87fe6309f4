#include "noise/noise_spectrum.h"

#include <cmath>

#include "noise/noise_calculation.h"
#include "noise/stage_response.h"

namespace tervane {
namespace {

// `gain` is |G(f)| over the frequency, or 1 where the stage's gain is flat.
double CarriedDensityAt(const StageInputs& s, const StageResult& r, double frequency, double gain) {
  if (!r.carriedNoise || *r.carriedNoise == 0) return 0;
  const Band band = CarriedBand(s);
  if (!(frequency >= band.lower && frequency <= band.upper)) return 0;
  // A noise voltage's sign means nothing once it is added in power. Over
  // frequency it lies flat before the stage, and integrates through |G|^2 to
  // the carried noise.
  if (r.bandPowers) return std::fabs(*r.carriedNoise) * gain / std::sqrt(r.bandPowers->carriedGain[0]);
  return std::fabs(*r.carriedNoise) / std::sqrt(band.upper - band.lower);
}

std::optional<SpectrumPoint> PointOf(const StageInputs& s, const StageResult& r, double frequency,
                                     const std::array<double, kStageSourceCount>& power, double gain) {
  SpectrumPoint point;
  point.frequency = frequency;
  double total = 0;
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    if (!std::isfinite(power[i])) return std::nullopt;
    point.density[i] = SignedRoot(power[i]);
    total += power[i];
  }
  point.carried = CarriedDensityAt(s, r, frequency, gain);
  point.total = std::sqrt(total + point.carried * point.carried);
  return point;
}

}  // namespace

std::optional<SpectrumPoint> NoiseSpectrumAt(const StageInputs& s, const StageResult& r, double frequency) {
  if (r.failure || HasNegativePower(s, r) || !(frequency > 0 && std::isfinite(frequency))) return std::nullopt;
  if (r.bandPowers) {
    const std::optional<StageResponse> response = StageResponseAt(s, frequency);
    if (!response) return std::nullopt;
    return PointOf(s, r, frequency, response->power, std::abs(response->gain));
  }
  // en^2 (1 + fc / f) as a density: the 1/f rise of the op amp's noise.
  const double rise = std::sqrt(1 + s.cornerFreq / frequency);
  const double en = s.en * rise;
  const double in = s.applyCorner ? s.in * rise : s.in;
  const std::optional<StageTerms> terms = StageNoiseTerms(s, en, in);
  if (!terms) return std::nullopt;
  return PointOf(s, r, frequency, terms->power, 1);
}

SpectrumRange SpectrumRangeOf(const StageInputs& s) { return {s.lowerFreq / 10, s.upperFreq * 10}; }

std::optional<SpectrumFault> RangeFaultOf(SpectrumRange range, std::size_t points) {
  if (points < 2) return SpectrumFault::kTooFewPoints;
  if (!(range.lower > 0)) return SpectrumFault::kLowerUnderflow;
  if (!std::isfinite(range.upper)) return SpectrumFault::kUpperOverflow;
  return std::nullopt;
}

std::vector<double> SpectrumFrequencies(SpectrumRange range, std::size_t points) {
  const double logLower = std::log(range.lower);
  const double step = (std::log(range.upper) - logLower) / static_cast<double>(points - 1);
  std::vector<double> frequencies;
  frequencies.reserve(points);
  for (std::size_t k = 0; k < points; ++k)
    // The ends exactly, not as exp(log(x)).
    frequencies.push_back(k == 0            ? range.lower
                          : k + 1 == points ? range.upper
                                            : std::exp(logLower + step * static_cast<double>(k)));
  return frequencies;
}

std::optional<SpectrumFault> SpectrumFaultOf(const StageInputs& s, const StageResult& r, std::size_t points) {
  if (r.failure) return SpectrumFault::kCalculationFailed;
  if (HasNegativePower(s, r)) return SpectrumFault::kNegativePower;
  const SpectrumRange range = SpectrumRangeOf(s);
  if (const std::optional<SpectrumFault> fault = RangeFaultOf(range, points)) return fault;
  // The rise is steepest at the lowest frequency: where that point has its
  // powers, every other one has too.
  if (!NoiseSpectrumAt(s, r, range.lower)) return SpectrumFault::kRiseOverflow;
  return std::nullopt;
}

std::optional<std::vector<SpectrumPoint>> NoiseSpectrum(const StageInputs& s, const StageResult& r,
                                                        std::size_t points) {
  if (SpectrumFaultOf(s, r, points)) return std::nullopt;
  std::vector<SpectrumPoint> spectrum;
  spectrum.reserve(points);
  for (const double f : SpectrumFrequencies(SpectrumRangeOf(s), points)) {
    const std::optional<SpectrumPoint> point = NoiseSpectrumAt(s, r, f);
    if (!point) return std::nullopt;
    spectrum.push_back(*point);
  }
  return spectrum;
}

}  // namespace tervane
