#include "form/result_csv.h"

#include <span>

#include "noise/noise_source.h"
#include "notation/csv.h"

namespace tervane {

std::string RankCsv(const std::vector<RankedPart>& parts) {
  std::string csv = CsvLine(
      {"rank", "name", "en_text", "in_text", "fc_text", "en", "in", "fc", "failed", "Sn", "Vn", "SNR", "R_opt",
       "Vw", "EIN_dBu"});
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const RankedPart& p = parts[i];
    csv +=
        CsvLine({p.failed ? std::string() : std::to_string(i + 1), CsvField(p.name), CsvField(p.noiseVoltageText),
                 CsvField(p.noiseCurrentText), CsvField(p.cornerFreqText), CsvNumber(p.noiseVoltage),
                 CsvNumber(p.noiseCurrent), CsvNumber(p.cornerFreq), p.failed ? "1" : "0", CsvNumber(p.outputDensity),
                 CsvNumber(p.totalNoise), CsvNumber(p.snr), CsvNumber(p.optimumSourceResistance),
                 CsvNumber(p.weightedNoise), CsvNumber(p.einDbu)});
  }
  return csv;
}

std::string SpectrumCsv(const std::vector<SpectrumPoint>& spectrum, const NoiseResult& result) {
  const std::span<const NoiseSource> sources = TopologySources(result.inputs.ampType);
  const bool carried = result.inputs.carry.has_value();
  std::vector<std::string> header{"frequency", "total"};
  for (NoiseSource source : sources) header.emplace_back(NoiseSourceKey(source));
  if (carried) header.emplace_back(NoiseSourceKey(NoiseSource::kCarried));
  std::string csv = CsvLine(header);
  for (const SpectrumPoint& point : spectrum) {
    std::vector<std::string> fields{CsvNumber(point.frequency), CsvNumber(point.total)};
    for (NoiseSource source : sources) fields.push_back(CsvNumber(point.density[SourceIndex(source)]));
    if (carried) fields.push_back(CsvNumber(point.carried));
    csv += CsvLine(fields);
  }
  return csv;
}

std::string BreakdownCsv(const NoiseBreakdown& breakdown) {
  std::string csv = CsvLine({"source", "label", "density", "total", "percent"});
  for (const NoiseContribution& row : breakdown.contributions)
    csv += CsvLine({std::string(NoiseSourceKey(row.source)), CsvField(NoiseSourceLabel(row.source)),
                    CsvNumber(row.density), CsvNumber(row.total), CsvNumber(row.percent)});
  return csv;
}

}  // namespace tervane
