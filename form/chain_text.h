#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "form/chain_form.h"
#include "form/figure_text.h"
#include "form/text_table.h"
#include "noise/chain_views.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"

namespace tervane {

// The texts of a chain's results, for both front ends: Windows-1252, lines
// ending in CR LF. A weighting reads each stage's and source's share, the
// output noise, the EIN and the SNR through it; flat, the band's.

// "Stage 2 (OP27, inverting)": a stage named for people, counted from 1,
// with its part where one is chosen.
std::string StageName(const ChainCalculation& result, std::size_t stage);
// The same of a stage not yet calculated, from its part and its form's
// amplifier type, as the chain's view lists it.
std::string StageName(std::size_t stage, const std::optional<std::string>& partName, int ampType);

// Which stage sets the noise floor, in words: "Stage 1 (OP27,
// non-inverting) sets the noise floor: 92.0 % of the output noise power;
// stage 2 adds 0.35 dB." Each other stage is said with what its own noise
// adds to the output noise. Nothing where the chain has no breakdown.
std::optional<std::string> DominanceText(const ChainCalculation& result, Weighting weighting = Weighting::kNone);

// Why a chain has no results: which stage failed (with the report's own
// error text, and the load's refusal on its line where that is why), or
// what is wrong with the chain as a whole.
std::string ChainFailureText(const ChainCalculation& result);

// The chain's report: its band and reference, a line per stage (its gain,
// the gain from the chain's input, its noise at the output and its share;
// then its circuit as built where it has one),
// the output noise, the EIN, the noise figure, the SNR and the dominance
// sentence; ChainFailureText for a failed chain.
std::string BuildChainReport(const ChainCalculation& result, Weighting weighting = Weighting::kNone);

// A row per source of every stage, grouped by stage in the chain's order:
// the stage's number, then the columns of BreakdownTable.
TextTable ChainBreakdownTable(const ChainBreakdown& breakdown, Weighting weighting);

// The chain's figures (ChainNoiseFigures), and what tells why one is empty.
std::optional<NoiseFigures> FiguresOf(const ChainCalculation& result);
FigureCauses CausesOf(const ChainCalculation& result);

// The figures as text (FiguresText over the chain's band).
std::string BuildChainFiguresText(const ChainCalculation& result);

}  // namespace tervane
