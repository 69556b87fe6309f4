#include "form/rank_columns.h"

#include "form/figure_text.h"
#include "notation/shown_value.h"

namespace tervane {

RankValue RankCellValue(const RankedPart& part, std::size_t place, RankColumnId id) {
  switch (id) {
    case RankColumnId::kRank:
      return part.failed ? std::optional<std::size_t>() : std::optional<std::size_t>(place);
    case RankColumnId::kName:
      return std::string_view(part.name);
    case RankColumnId::kNoiseVoltageText:
      return std::string_view(part.noiseVoltageText);
    case RankColumnId::kNoiseCurrentText:
      return std::string_view(part.noiseCurrentText);
    case RankColumnId::kCornerFreqText:
      return std::string_view(part.cornerFreqText);
    case RankColumnId::kNoiseVoltage:
      return std::optional<double>(part.noiseVoltage);
    case RankColumnId::kNoiseCurrent:
      return std::optional<double>(part.noiseCurrent);
    case RankColumnId::kCornerFreq:
      return std::optional<double>(part.cornerFreq);
    case RankColumnId::kFailed:
      return part.failed;
    case RankColumnId::kOutputDensity:
      return part.outputDensity;
    case RankColumnId::kTotalNoise:
      return part.totalNoise;
    case RankColumnId::kSnr:
      return part.snr;
    case RankColumnId::kOptimumSource:
      return part.optimumSourceResistance;
    case RankColumnId::kWeightedNoise:
      return part.weightedNoise;
    case RankColumnId::kEinDbu:
      return part.einDbu;
    case RankColumnId::kInputNoise:
      return part.inputNoise;
    case RankColumnId::kCommonModeCapacitanceText:
      return std::string_view(part.commonModeCapacitanceText);
    case RankColumnId::kDifferentialCapacitanceText:
      return std::string_view(part.differentialCapacitanceText);
  }
  return std::optional<double>();
}

std::vector<RankColumn> RankColumnsOf(int type) {
  const bool current = type == AMP_TRANSIMPEDANCE;
  std::vector<RankColumn> columns;
  for (const RankColumn& column : kRankColumns) {
    const bool ofCurrent = column.id >= RankColumnId::kInputNoise;
    const bool ofVoltage = column.id != RankColumnId::kOptimumSource && column.id != RankColumnId::kEinDbu;
    if (current ? ofCurrent || ofVoltage : !ofCurrent) columns.push_back(column);
  }
  return columns;
}

std::string RankCellText(const RankedPart& part, std::size_t place, RankColumnId id) {
  // A failed part's results are one word under the first of them.
  if (part.failed) switch (id) {
      case RankColumnId::kRank:
      case RankColumnId::kTotalNoise:
      case RankColumnId::kSnr:
      case RankColumnId::kWeightedNoise:
      case RankColumnId::kEinDbu:
      case RankColumnId::kInputNoise:
        return "-";
      case RankColumnId::kOutputDensity:
        return "failed";
      default:
        break;
    }
  switch (id) {
    case RankColumnId::kWeightedNoise:
      return FigureText(part.weightedNoise, "", FigureKind::kValue);
    case RankColumnId::kEinDbu:
      return FigureText(part.einDbu, "", FigureKind::kDecibel);
    default:
      break;
  }
  const RankValue value = RankCellValue(part, place, id);
  if (const auto* text = std::get_if<std::string_view>(&value)) return text->empty() ? "-" : std::string(*text);
  if (const auto* number = std::get_if<std::optional<double>>(&value)) return *number ? ShownValue(**number) : "-";
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "1" : "0";
  const auto& rank = std::get<std::optional<std::size_t>>(value);
  return rank ? std::to_string(*rank) : "-";
}

}  // namespace tervane
