#pragma once

#include <string>
#include <vector>

#include "form/chain_form.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "form/measured_overlay.h"
#include "form/part_ranking.h"
#include "form/rank_columns.h"
#include "noise/chain_views.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_figures.h"
#include "noise/noise_spectrum.h"

// The results as CSV, the same from the command line and the desktop: a
// header line of stable keys, then one line per row; numbers to full
// precision, empty when there is none. Windows-1252, as the core's text is.
namespace tervane {

// The ranking's `columns` (RankColumnsOf) for its parts in its order; a failed
// part has no rank and failed 1.
std::string RankCsv(const std::vector<RankedPart>& parts, const std::vector<RankColumn>& columns);

// frequency, total, then the density of each of the topology's sources by
// its key, and in carry mode the carried noise's.
std::string SpectrumCsv(const std::vector<SpectrumPoint>& spectrum, const NoiseResult& result);

// SpectrumCsv's columns at each measured point's frequency (empty where the
// model has none), then measured, predicted and ratio_db (OverlayOf's).
std::string OverlayCsv(const std::vector<OverlayPoint>& overlay, const NoiseResult& result);

// source, label, density, total, percent, weighting: the contributions in
// the breakdown's order, largest first; total and percent as read through
// the weighting named by its key (BreakdownNoise with that weighting), the
// density the band average.
std::string BreakdownCsv(const NoiseBreakdown& breakdown, Weighting weighting = Weighting::kNone);

// stage, part, type, gain, cumulative_gain, stage_total, stage_percent,
// source, label, density, total, percent, weighting: a line per source of
// every stage, grouped by stage in the chain's order, each with its stage's
// figures; the totals and shares read through `weighting` (BreakdownChain
// with it).
std::string ChainCsv(const ChainCalculation& result, const ChainBreakdown& breakdown, Weighting weighting);

// frequency, total, then each stage's own noise at the chain's output,
// stage_1, stage_2, ... (V/rtHz).
std::string ChainSpectrumCsv(const std::vector<ChainSpectrumPoint>& spectrum);

// figure, weighting, label, value, unit, reason: the stage's figures
// (weighting empty), then those of `weighting`, keyed as kStageFigureFields
// and kWeightedFigureFields; the reason where a figure is undefined.
std::string FiguresCsv(const FigureCauses& causes, const NoiseFigures& figures, Weighting weighting);
inline std::string FiguresCsv(const NoiseResult& result, const NoiseFigures& figures, Weighting weighting) {
  return FiguresCsv(CausesOf(result), figures, weighting);
}

}  // namespace tervane
