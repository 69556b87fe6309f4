#include "form/measured_overlay.h"

#include <cmath>

#include "noise/noise_spectrum.h"

namespace tervane {

std::optional<std::vector<OverlayPoint>> OverlayOf(const NoiseResult& result, const MeasuredSpectrum& spectrum) {
  if (result.outcome.failure) return std::nullopt;
  const std::optional<MeasuredSpectrum> atOutput = AtOutput(spectrum, result.inputs);
  if (!atOutput) return std::nullopt;
  std::vector<OverlayPoint> overlay;
  overlay.reserve(atOutput->points.size());
  for (const MeasuredPoint& p : atOutput->points) {
    OverlayPoint row{p.frequency, p.density, std::nullopt, std::nullopt};
    if (const std::optional<SpectrumPoint> model = NoiseSpectrumAt(result.inputs, result.outcome, p.frequency)) {
      row.predicted = model->total;
      if (model->total > 0) row.ratioDb = 20 * std::log10(p.density / model->total);
    }
    overlay.push_back(row);
  }
  return overlay;
}

}  // namespace tervane
