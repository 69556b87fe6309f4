#include "measured/measured_spectrum.h"

#include <cmath>

#include "noise/noise_calculation.h"

namespace tervane {

std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const StageInputs& stage) {
  if (spectrum.referred == Referred::kOutput) return spectrum;
  MeasuredSpectrum output = spectrum;
  output.referred = Referred::kOutput;
  for (MeasuredPoint& point : output.points) {
    const std::optional<StageAtFrequency> at = StageAt(stage, point.frequency);
    if (!at) return std::nullopt;
    point.density *= at->gain;
    if (!(point.density > 0 && std::isfinite(point.density))) return std::nullopt;
  }
  return output;
}

}  // namespace tervane
