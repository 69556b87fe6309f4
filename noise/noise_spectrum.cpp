#include "noise/noise_spectrum.h"

#include <cmath>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

// `carriedGain` is StageAt's at the frequency.
double CarriedDensityAt(const StageInputs& s, const StageResult& r, double frequency, double carriedGain) {
  if (!r.carriedNoise || *r.carriedNoise == 0) return 0;
  const Band band = CarriedBand(s);
  if (!(frequency >= band.lower && frequency <= band.upper)) return 0;
  // A noise voltage's sign means nothing once it is added in power. It lies
  // flat before the stage, and integrates through |G|^2 to the carried
  // noise.
  return std::fabs(*r.carriedNoise) * carriedGain / std::sqrt(r.powers.carriedGain[0]);
}

}  // namespace

std::optional<SpectrumPoint> NoiseSpectrumAt(const StageInputs& s, const StageResult& r, double frequency) {
  if (r.failure || HasNegativePower(s, r) || !(frequency > 0 && std::isfinite(frequency))) return std::nullopt;
  const std::optional<StageAtFrequency> at = StageAt(s, frequency);
  if (!at) return std::nullopt;
  SpectrumPoint point;
  point.frequency = frequency;
  point.gain = at->gain;
  double total = 0;
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    if (!std::isfinite(at->power[i])) return std::nullopt;
    point.density[i] = SignedRoot(at->power[i]);
    total += at->power[i];
  }
  point.carried = CarriedDensityAt(s, r, frequency, at->carriedGain);
  point.total = std::sqrt(total + point.carried * point.carried);
  return point;
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
