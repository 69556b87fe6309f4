#include "form/result_csv.h"

#include <span>

#include "form/amplifier_names.h"
#include "form/figure_text.h"
#include "form/rank_columns.h"
#include "noise/noise_source.h"
#include "notation/csv.h"

namespace tervane {

namespace {

std::string CsvCell(const RankValue& value) {
  if (const auto* text = std::get_if<std::string_view>(&value)) return CsvField(*text);
  if (const auto* number = std::get_if<std::optional<double>>(&value)) return CsvNumber(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "1" : "0";
  const auto& rank = std::get<std::optional<std::size_t>>(value);
  return rank ? std::to_string(*rank) : std::string();
}

}  // namespace

std::string RankCsv(const std::vector<RankedPart>& parts, const std::vector<RankColumn>& columns) {
  std::vector<std::string> fields;
  for (const RankColumn& column : columns) fields.emplace_back(column.key);
  std::string csv = CsvLine(fields);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    fields.clear();
    for (const RankColumn& column : columns) fields.push_back(CsvCell(RankCellValue(parts[i], i + 1, column.id)));
    csv += CsvLine(fields);
  }
  return csv;
}

namespace {

// The spectrum's columns: frequency, total, each source of the topology,
// the carried noise in carry mode.
struct SpectrumColumns {
  std::vector<NoiseSource> sources;
  bool carried = false;
  explicit SpectrumColumns(const NoiseResult& result)
      : sources(TopologySources(result.inputs)), carried(result.inputs.carry.has_value()) {}

  std::vector<std::string> Header() const {
    std::vector<std::string> header{"frequency", "total"};
    for (NoiseSource source : sources) header.emplace_back(NoiseSourceKey(source));
    if (carried) header.emplace_back(NoiseSourceKey(NoiseSource::kCarried));
    return header;
  }

  // The model's fields at `frequency`, empty where it has none.
  std::vector<std::string> Fields(double frequency, const std::optional<SpectrumPoint>& point) const {
    std::vector<std::string> fields{CsvNumber(frequency), point ? CsvNumber(point->total) : ""};
    for (NoiseSource source : sources)
      fields.push_back(point ? CsvNumber(point->density[SourceIndex(source)]) : "");
    if (carried) fields.push_back(point ? CsvNumber(point->carried) : "");
    return fields;
  }
};

}  // namespace

std::string SpectrumCsv(const std::vector<SpectrumPoint>& spectrum, const NoiseResult& result) {
  const SpectrumColumns columns(result);
  std::string csv = CsvLine(columns.Header());
  for (const SpectrumPoint& point : spectrum) csv += CsvLine(columns.Fields(point.frequency, point));
  return csv;
}

std::string OverlayCsv(const std::vector<OverlayPoint>& overlay, const NoiseResult& result) {
  const SpectrumColumns columns(result);
  std::vector<std::string> header = columns.Header();
  header.insert(header.end(), {"measured", "predicted", "ratio_db"});
  std::string csv = CsvLine(header);
  for (const OverlayPoint& point : overlay) {
    std::vector<std::string> fields =
        columns.Fields(point.frequency, NoiseSpectrumAt(result.inputs, result.outcome, point.frequency));
    fields.insert(fields.end(), {CsvNumber(point.measured), CsvNumber(point.predicted), CsvNumber(point.ratioDb)});
    csv += CsvLine(fields);
  }
  return csv;
}

std::string BreakdownCsv(const NoiseBreakdown& breakdown, Weighting weighting) {
  std::string csv = CsvLine({"source", "label", "density", "total", "percent", "weighting"});
  const std::string weightingKey = CsvField(NamesOf(weighting).key);
  for (const NoiseContribution& row : breakdown.contributions)
    csv += CsvLine({std::string(NoiseSourceKey(row.source)), CsvField(NoiseSourceLabel(row.source)),
                    CsvNumber(row.density), CsvNumber(row.total), CsvNumber(row.percent), weightingKey});
  return csv;
}

std::string ChainCsv(const ChainCalculation& result, const ChainBreakdown& breakdown, Weighting weighting) {
  std::string csv = CsvLine({"stage", "part", "type", "gain", "cumulative_gain", "stage_total", "stage_percent",
                             "source", "label", "density", "total", "percent", "weighting"});
  const std::string weightingKey = CsvField(NamesOf(weighting).key);
  for (std::size_t k = 0; k < breakdown.stages.size(); ++k) {
    const ChainStage& stage = result.chain.stages[k];
    const std::optional<AmplifierNames> type = NamesOfAmplifier(stage.inputs.ampType);
    const std::vector<std::string> stageFields{std::to_string(k + 1),
                                               CsvField(result.partNames[k].value_or("")),
                                               CsvField(type ? type->key : ""),
                                               CsvNumber(stage.gain),
                                               CsvNumber(stage.cumulativeGain),
                                               CsvNumber(breakdown.stages[k].total),
                                               CsvNumber(breakdown.stages[k].percent)};
    for (const NoiseContribution& row : breakdown.stages[k].sources) {
      std::vector<std::string> fields = stageFields;
      fields.insert(fields.end(), {std::string(NoiseSourceKey(row.source)), CsvField(NoiseSourceLabel(row.source)),
                                   CsvNumber(row.density), CsvNumber(row.total), CsvNumber(row.percent), weightingKey});
      csv += CsvLine(fields);
    }
  }
  return csv;
}

std::string ChainSpectrumCsv(const std::vector<ChainSpectrumPoint>& spectrum) {
  std::vector<std::string> header{"frequency", "total"};
  for (std::size_t k = 0; !spectrum.empty() && k < spectrum.front().stages.size(); ++k)
    header.push_back("stage_" + std::to_string(k + 1));
  std::string csv = CsvLine(header);
  for (const ChainSpectrumPoint& point : spectrum) {
    std::vector<std::string> fields{CsvNumber(point.frequency), CsvNumber(point.total)};
    for (const double density : point.stages) fields.push_back(CsvNumber(density));
    csv += CsvLine(fields);
  }
  return csv;
}

std::string FiguresCsv(const FigureCauses& causes, const NoiseFigures& figures, Weighting weighting) {
  std::string csv = CsvLine({"figure", "weighting", "label", "value", "unit", "reason"});
  const WeightedFigures& weighted = figures[weighting];
  auto add = [&](const auto& f, std::string_view weightingKey, std::optional<double> value) {
    if (!HasFigure(causes, f.key)) return;
    const FigureNames names = FigureNamesOf(f, causes);
    const std::string_view reason = value ? std::string_view() : UndefinedReason(causes, weighted, f.key);
    csv += CsvLine({CsvField(names.key), CsvField(weightingKey), CsvField(names.label), CsvNumber(value),
                    CsvField(names.unit), CsvField(reason)});
  };
  for (const StageFigureField& f : kStageFigureFields) add(f, "", figures.*f.member);
  for (const WeightedFigureField& f : kWeightedFigureFields) add(f, NamesOf(weighting).key, weighted.*f.member);
  return csv;
}

}  // namespace tervane
