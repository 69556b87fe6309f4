#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "noise/noise_figures.h"
#include "noise/noise_source.h"
#include "noise/stage_inputs.h"
#include "noise/stage_result.h"
#include "noise/weighting.h"

namespace tervane {

// A chain of stages (noise_model.md, "A chain of stages"): an ordered list
// of whole stages, each with its own op amp, resistors, topology, circuit
// as built and temperature. The first stage's source is the chain's
// source; each later stage is driven by the previous one's output, an op
// amp's, so its source is what its own source fields say (Rs, 0 by
// default, and Ls) and nothing loads the stage before it. Every source of
// every stage reaches the chain's output through the following stages'
// |G(f)|^2. The chain's band and 0 dB reference are its first stage's.

// More stages than this are refused: a chain's band integral takes every
// source of every stage as a component of its own, and each stage's own
// integrals besides.
inline constexpr std::size_t kMaxChainStages = 10;

// Why a chain has no totals, in the order the checks run.
enum class ChainFailure {
  kNoStages,
  kTooManyStages,  // more than kMaxChainStages
  // A transimpedance amplifier after the first stage (failedStage): its
  // input is a current, and the stage before it gives a voltage.
  kCurrentInputLater,
  kStageFailed,  // a stage's own calculation failed: the first such is failedStage, its outcome says why
  kNotFinite,      // a total of the chain is infinite or not a number
};

// One stage of a calculated chain.
struct ChainStage {
  StageInputs inputs;   // the stage as the chain calculates it (InChain)
  StageResult outcome;  // the stage alone over the chain's band
  // The stage's gain as its own calculation reports it (G; |G(1 kHz)| over
  // frequency), and the gain from the chain's input to this stage's
  // output, the gains up to this one multiplied; 0 where a stage failed.
  double gain = 0;
  double cumulativeGain = 0;
  // Each of its sources' power at the chain's output over the band, V^2,
  // by SourceIndex; 0 for a source the stage lacks.
  std::array<double, kStageSourceCount> source{};
};

struct ChainResult {
  std::optional<ChainFailure> failure;
  std::optional<std::size_t> failedStage;  // from 0, with kCurrentInputLater and kStageFailed
  // Every stage given (none past kMaxChainStages), each calculated alone
  // even where another failed. The totals below mean nothing with a
  // failure.
  std::vector<ChainStage> stages;
  double gain = 0;  // the whole chain's: the last stage's cumulative gain
  // The output power through each weighting, V^2, by WeightingIndex.
  std::array<double, kWeightingCount> power{};
  // The first stage's source's own thermal noise at the chain's output
  // per kelvin, V^2/K: what the chain's noise figure compares with; and the
  // same of that source with its load, for the active stages' figure.
  double sourcePerKelvin = 0;
  double loadedSourcePerKelvin = 0;
};

// The stage as a chain whose first stage is `first` calculates it: over
// that stage's band, against its 0 dB reference, with no carried noise and
// no previous band.
StageInputs InChain(StageInputs stage, const StageInputs& first);

// The chain of `stages` (each taken InChain). Where no stage after the
// first changes its gain over frequency, each stage's output noise is its
// own calculation's (the closed forms of a textbook stage, the integrals of
// one over frequency) times the following stages' gains squared, so that a
// chain of one stage is that stage exactly; otherwise the whole chain is
// integrated at once (IntegrateChain), each stage's own integrals with it.
ChainResult CalculateChain(std::span<const StageInputs> stages);

// Whether a stage of the chain has a negative noise power
// (HasNegativePower): then the chain has no breakdown and no spectrum, and
// of its figures only the gains.
bool HasNegativePower(const ChainResult& chain);

// Each source's power at the chain's output over the band read through
// `weighting`, V^2, by stage and SourceIndex: flat, each stage's `source`.
// Nothing for a failed chain or a band the weightings cannot be integrated
// over.
std::optional<std::vector<std::array<double, kStageSourceCount>>> ChainSourcePowers(const ChainResult& chain,
                                                                                    Weighting weighting);

// What the chain's figures are worked out from: its output powers, its
// gain, the first stage's temperature and 0 dB reference (where the first
// stage is a transimpedance amplifier, its photocurrent through the
// chain's gain, and its responsivity). The optimum
// source resistance is one op amp's figure: a chain of one stage has its
// stage's, a longer chain none (en and in are 0). Nothing for a failed
// chain.
std::optional<FigureInputs> ChainFigureInputs(const ChainResult& chain);

// The chain's figures under the breakdown's rule: where a stage has a
// negative noise power only the gains. Nothing for a failed chain.
std::optional<NoiseFigures> ChainNoiseFigures(const ChainResult& chain);

}  // namespace tervane
