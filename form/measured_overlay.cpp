#include "form/measured_overlay.h"

#include <algorithm>
#include <cmath>

#include "form/figure_text.h"
#include "noise/noise_spectrum.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

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

std::string BandComparisonText(const std::optional<BandComparison>& comparison) {
  if (!comparison)
    return "No band totals: the measurement spans none of the band, or the stage cannot be calculated over it.";
  const auto padded = [](std::string text) {
    constexpr std::size_t kColumn = 14;
    text.resize(std::max<std::size_t>(text.size() + 1, kColumn), ' ');
    return text;
  };
  std::string out = "Measured against the model over " + BandText(comparison->measured.covered) + ":\r\n" +
                    padded("Weighting") + padded("Measured") + padded("Model") + "Difference";
  for (const Weighting w : kWeightings) {
    const std::size_t i = WeightingIndex(w);
    const double difference = comparison->differenceDb[i];
    out.append("\r\n")
        .append(padded(std::string(NamesOf(w).label)))
        .append(padded(ShownValue(std::sqrt(comparison->measured.power[i])) + "V"))
        .append(padded(ShownValue(std::sqrt(comparison->model[i])) + "V"))
        .append(std::isfinite(difference) ? (difference > 0 ? "+" : "") + FormatFixed(difference, 2) + " dB" : "-");
  }
  return out;
}

}  // namespace tervane
