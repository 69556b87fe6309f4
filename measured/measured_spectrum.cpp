#include "measured/measured_spectrum.h"

#include <cmath>

#include "noise/chain_views.h"
#include "noise/noise_calculation.h"

namespace tervane {

std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const GainAt& gain) {
  if (spectrum.referred == Referred::kOutput) return spectrum;
  MeasuredSpectrum output = spectrum;
  output.referred = Referred::kOutput;
  for (MeasuredPoint& point : output.points) {
    const std::optional<double> g = gain(point.frequency);
    if (!g) return std::nullopt;
    point.density *= *g;
    if (!(point.density > 0 && std::isfinite(point.density))) return std::nullopt;
  }
  return output;
}

std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const StageInputs& stage) {
  return AtOutput(spectrum, [&stage](double f) -> std::optional<double> {
    const std::optional<StageAtFrequency> at = StageAt(stage, f);
    return at ? std::optional(at->gain) : std::nullopt;
  });
}

std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const ChainResult& chain) {
  return AtOutput(spectrum, [&chain](double f) -> std::optional<double> {
    const std::optional<ChainSpectrumPoint> at = ChainSpectrumAt(chain, f);
    return at ? std::optional(at->gain) : std::nullopt;
  });
}

}  // namespace tervane
