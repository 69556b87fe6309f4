#include "cli/breakdown_output.h"

#include <string>

#include "cli/option_checks.h"
#include "form/figure_text.h"
#include "noise/noise_breakdown.h"

namespace tervane::cli {

void AddCrestFactorOption(CLI::App& app, double& factor) {
  // No waveform has a peak-to-peak below twice its rms (a square wave).
  app.add_option("--crest-factor", factor,
                 "Peak-to-peak per rms for the peak-to-peak estimate (6.6 is the other usual choice)")
      ->check(NumberInRange(2.0, 100.0))
      ->capture_default_str();
}

Json SourcesJson(const std::vector<NoiseContribution>& rows) {
  Json sources = Json::array();
  for (const NoiseContribution& row : rows) {
    Json source = Json::object();
    source["source"] = std::string(NoiseSourceKey(row.source));
    source["label"] = std::string(NoiseSourceLabel(row.source));
    source["density"] = row.density;
    source["total"] = row.total;
    source["percent"] = row.percent;
    sources.push_back(std::move(source));
  }
  return sources;
}

Json ContributionsJson(const NoiseResult& result, double crestFactor) {
  const std::optional<NoiseBreakdown> breakdown = BreakdownNoise(result, crestFactor);
  if (!breakdown) return nullptr;
  Json doc = Json::object();
  doc["sources"] = SourcesJson(breakdown->contributions);
  doc["input_referred"] = NumberOrNull(breakdown->inputReferred);
  doc["input_density"] = NumberOrNull(breakdown->inputDensity);
  doc["crest_factor"] = breakdown->crestFactor;
  doc["peak_to_peak"] = breakdown->peakToPeak;
  return doc;
}

Json FiguresJson(const std::optional<NoiseFigures>& figures, const FigureCauses& causes) {
  if (!figures) return nullptr;
  Json doc = Json::object();
  for (const StageFigureField& f : kStageFigureFields)
    if (HasFigure(causes, f.key)) doc[std::string(FigureNamesOf(f, causes).key)] = NumberOrNull((*figures).*f.member);
  Json weighted = Json::object();
  for (const Weighting w : kWeightings) {
    Json one = Json::object();
    for (const WeightedFigureField& f : kWeightedFigureFields)
      if (HasFigure(causes, f.key))
        one[std::string(FigureNamesOf(f, causes).key)] = NumberOrNull((*figures)[w].*f.member);
    weighted[std::string(NamesOf(w).key)] = std::move(one);
  }
  doc["weighted"] = std::move(weighted);
  return doc;
}

}  // namespace tervane::cli
