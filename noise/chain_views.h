#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "noise/chain_calculation.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_spectrum.h"

namespace tervane {

// The views of a calculated chain, as a stage has them (noise_breakdown.h,
// noise_spectrum.h), every figure at the chain's output.

// One stage's share of the chain's output noise.
struct ChainStageShare {
  double total = 0;    // V: the stage's own noise at the chain's output
  double percent = 0;  // of the chain's output noise power; the stages add up to 100 (all 0 when there is none)
  // The stage's sources (TopologySources), largest first, each with its
  // band-average density at the chain's output and its total and share
  // of the chain's output noise power.
  std::vector<NoiseContribution> sources;
};

struct ChainBreakdown {
  std::vector<ChainStageShare> stages;  // in the chain's order
  double outputTotal = 0;               // V, flat
  double inputReferred = 0;             // V: outputTotal / |the chain's gain|
  double inputDensity = 0;              // V/rtHz: inputReferred / sqrt(fH - fL)
};

// Each stage's and each source's share, read through `weighting` (the
// totals and shares; the densities stay the band averages and the summary
// flat, as a stage's weighted breakdown keeps them), so that the rows'
// powers add up to the weighted output noise. Nothing for a failed chain
// or where a stage has a negative noise power.
std::optional<ChainBreakdown> BreakdownChain(const ChainResult& chain, Weighting weighting = Weighting::kNone);

// The chain's output noise at one frequency.
struct ChainSpectrumPoint {
  double frequency = 0;        // Hz
  double total = 0;            // V/rtHz at the chain's output
  double gain = 0;             // |G(f)| from the chain's input to its output: the stages' |G(f)| multiplied
  std::vector<double> stages;  // each stage's own noise at the output, V/rtHz, in the chain's order
  // Each stage's sources at the output, V/rtHz, by SourceIndex; 0 for a
  // source the stage lacks.
  std::vector<std::array<double, kStageSourceCount>> sources;
};

// Each stage's spectrum (NoiseSpectrumAt) through the following stages'
// |G(f)|; the total integrates over the band to the chain's output noise.
// Nothing for a failed chain, where a stage has a negative noise power,
// where a density is not finite, or for f <= 0 or not finite.
std::optional<ChainSpectrumPoint> ChainSpectrumAt(const ChainResult& chain, double frequency);

// As SpectrumFaultOf and NoiseSpectrum, over a decade either side of the
// chain's band.
std::optional<SpectrumFault> ChainSpectrumFault(const ChainResult& chain, std::size_t points);
std::optional<std::vector<ChainSpectrumPoint>> ChainSpectrum(const ChainResult& chain, std::size_t points);

}  // namespace tervane
