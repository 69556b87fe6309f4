#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "form/part_ranking.h"

namespace tervane {

// The columns of a ranking, in the order every format writes them.
enum class RankColumnId {
  kRank,
  kName,
  kNoiseVoltageText,
  kNoiseCurrentText,
  kCornerFreqText,
  kNoiseVoltage,
  kNoiseCurrent,
  kCornerFreq,
  kFailed,
  kOutputDensity,
  kTotalNoise,
  kSnr,
  kOptimumSource,
  kWeightedNoise,
  kEinDbu,
  kInputNoise,  // the transimpedance amplifier's columns, from here on
  kCommonModeCapacitanceText,
  kDifferentialCapacitanceText,
};

// One column: its key in CSV and JSON, its heading where people read the
// ranking (the command line's table and the window's; none for the columns
// only machines read) and what it holds, for a tooltip.
struct RankColumn {
  RankColumnId id;
  std::string_view key;
  std::string_view heading;
  std::string_view tip;
};

inline constexpr std::array<RankColumn, 18> kRankColumns{{
    {RankColumnId::kRank, "rank", "Rank", "The part's place, quietest first"},
    {RankColumnId::kName, "name", "Part", "The part's name in the part list"},
    {RankColumnId::kNoiseVoltageText, "en_text", "en", "The op amp's voltage noise density, V/rtHz"},
    {RankColumnId::kNoiseCurrentText, "in_text", "in", "The op amp's current noise density, A/rtHz"},
    {RankColumnId::kCornerFreqText, "fc_text", "fc", "The voltage noise's 1/f corner, Hz"},
    {RankColumnId::kNoiseVoltage, "en", "", ""},
    {RankColumnId::kNoiseCurrent, "in", "", ""},
    {RankColumnId::kCornerFreq, "fc", "", ""},
    {RankColumnId::kFailed, "failed", "", ""},
    {RankColumnId::kOutputDensity, "Sn", "Sn V/rtHz", "The output noise density over the band"},
    {RankColumnId::kTotalNoise, "Vn", "Vn V",
     "The output noise over the band, with the carried noise in a carry calculation"},
    {RankColumnId::kSnr, "SNR", "SNR dB", "Signal to noise ratio against the 0dB reference voltage"},
    {RankColumnId::kOptimumSource, "R_opt", "R_opt ohms",
     "en'/in' over the band (en' with its 1/f rise, in' with it where the corner applies to the current noise): "
     "the source resistance of least noise over the band"},
    {RankColumnId::kWeightedNoise, "Vw", "Vw V",
     "The output noise read through the chosen weighting, which the parts are ranked by"},
    {RankColumnId::kEinDbu, "EIN_dBu", "EIN dBu", "The equivalent input noise through the chosen weighting, re 0.7746 V"},
    {RankColumnId::kInputNoise, "In", "In A",
     "The input current noise through the chosen weighting, which a transimpedance amplifier's parts are ranked by"},
    {RankColumnId::kCommonModeCapacitanceText, "Ccm_text", "Ccm",
     "The op amp's common-mode input capacitance, F, as its line gives it; - where it gives none: calculated without"},
    {RankColumnId::kDifferentialCapacitanceText, "Cdiff_text", "Cdiff",
     "The op amp's differential input capacitance, F, as its line gives it; - where it gives none: calculated "
     "without"},
}};

// The columns of a ranking in a circuit of `type`: a voltage stage's
// without the transimpedance amplifier's, which has no EIN in dBu and no
// optimum source resistance (its input is a current).
std::vector<RankColumn> RankColumnsOf(int type);

// A cell for machines: a text (Windows-1252), a number or none, a flag, or
// the rank (none for a failed part).
using RankValue = std::variant<std::string_view, std::optional<double>, bool, std::optional<std::size_t>>;

// The cell of `part`, ranked at `place` (counting from 1), in column `id`.
RankValue RankCellValue(const RankedPart& part, std::size_t place, RankColumnId id);

// The same cell as people read it: values to 4 digits in engineering
// notation, "-" where there is none, "failed" where the calculation failed.
std::string RankCellText(const RankedPart& part, std::size_t place, RankColumnId id);

}  // namespace tervane
