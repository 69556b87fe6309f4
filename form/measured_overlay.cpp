#include "form/measured_overlay.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "form/figure_text.h"
#include "noise/chain_views.h"
#include "noise/noise_spectrum.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {

namespace {

// The model's total output density at f, V/rtHz; nothing where it has none.
using TotalAt = std::function<std::optional<double>(double frequency)>;

std::optional<std::vector<OverlayPoint>> Overlay(const std::optional<MeasuredSpectrum>& atOutput,
                                                 const TotalAt& totalAt) {
  if (!atOutput) return std::nullopt;
  std::vector<OverlayPoint> overlay;
  overlay.reserve(atOutput->points.size());
  for (const MeasuredPoint& p : atOutput->points) {
    OverlayPoint row{p.frequency, p.density, totalAt(p.frequency), std::nullopt};
    if (row.predicted && *row.predicted > 0) row.ratioDb = 20 * std::log10(p.density / *row.predicted);
    overlay.push_back(row);
  }
  return overlay;
}

}  // namespace

std::optional<std::vector<OverlayPoint>> OverlayOf(const NoiseResult& result, const MeasuredSpectrum& spectrum) {
  if (result.outcome.failure) return std::nullopt;
  return Overlay(AtOutput(spectrum, result.inputs), [&result](double f) -> std::optional<double> {
    const std::optional<SpectrumPoint> model = NoiseSpectrumAt(result.inputs, result.outcome, f);
    return model ? std::optional(model->total) : std::nullopt;
  });
}

std::optional<std::vector<OverlayPoint>> OverlayOf(const ChainResult& chain, const MeasuredSpectrum& spectrum) {
  if (chain.failure) return std::nullopt;
  return Overlay(AtOutput(spectrum, chain), [&chain](double f) -> std::optional<double> {
    const std::optional<ChainSpectrumPoint> model = ChainSpectrumAt(chain, f);
    return model ? std::optional(model->total) : std::nullopt;
  });
}

std::string BandComparisonText(const std::optional<BandComparison>& comparison) {
  if (!comparison)
    return "No band totals: the measurement spans none of the band, or the circuit cannot be calculated over it.";
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
