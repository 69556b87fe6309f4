#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "noise/stage_response.h"
#include "noise/stage_result.h"
#include "noise/weighting.h"

namespace tervane {

// The band integrals of the frequency-dependent path: each source's power
// density from the stage's response (StageResponseAt) integrated over
// fL..fH by IntegrateOverBand, with panels ending at the circuit's poles,
// zeros and resonances (CircuitBreakpoints) and at the carried band's edges.

// The stage with its own op amp. Nothing for a topology with no solution or
// a band the integrator does not take (fL <= 0, fH / fL not finite).
std::optional<BandPowers> IntegrateStage(const StageInputs& stage);

// Each source's output power over the band read through `weighting`, V^2,
// by SourceIndex, the stage's own op amp in it: a weighted breakdown's rows.
// Nothing where IntegrateStage gives nothing.
std::optional<std::array<double, kStageSourceCount>> IntegrateSources(const StageInputs& stage, Weighting weighting);

// What a chain's band integrals give (noise_model.md, "A chain of stages"),
// over the first stage's band.
struct ChainPowers {
  // Each stage alone, as IntegrateStage gives it (no carried noise).
  std::vector<BandPowers> own;
  // V^2 at the chain's output: by stage, each source's power through every
  // following stage's |G(f)|^2, by SourceIndex.
  std::vector<std::array<double, kStageSourceCount>> source;
  std::array<double, kWeightingCount> weighted{};  // the whole output power through each weighting
  double sourcePerKelvin = 0;                      // the first stage's source's own noise, V^2/K
  double loadedSourcePerKelvin = 0;                // the same of that source with its load
};

// The most components IntegrateChain integrates for a chain of `stages`:
// for each stage, each source it has at the chain's output and at its own
// (every source, at the most), its own power through each weighting and its
// source's own noise, alone and with its load; then the output through each
// weighting and the first source's noise, alone and with its load.
constexpr std::size_t ChainComponents(std::size_t stages) {
  return stages * (2 * kStageSourceCount + kWeightingCount + 2) + kWeightingCount + 2;
}

// The chain of `stages`, each with its own op amp, integrated as one: the
// panels end at every stage's poles, zeros and resonances. Nothing where a
// stage's topology has no solution or the first stage's band is one the
// integrator does not take.
std::optional<ChainPowers> IntegrateChain(std::span<const StageInputs> stages);

// Each source's power at the chain's output read through `weighting`, by
// stage and SourceIndex: a weighted breakdown's rows. Nothing where
// IntegrateChain gives nothing.
std::optional<std::vector<std::array<double, kStageSourceCount>>> IntegrateChainSources(
    std::span<const StageInputs> stages, Weighting weighting);

// A stage's circuit made ready for many op amps, as a ranking calculates
// one circuit with every part: the quadrature rule is fitted once to the
// circuit's own poles and resonances, and every transfer and weighting gain
// at its nodes worked out once; an op amp then costs a sum over the nodes.
class PreparedCircuit {
 public:
  // The op amp of `stage` (en, in, corners, GBW) is not read.
  explicit PreparedCircuit(const StageInputs& stage);

  const StageInputs& Stage() const { return stage_; }

  // IntegrateStage(WithOpAmp(Stage(), opAmp)), to about 1e-10 of it: the
  // op amp's closed loop H (a first- or second-order roll-off that no
  // ranking's grid needs to follow) and its 1/f rises are smooth on the
  // rule's panels. The closed loops that can ring, an inverting stage with
  // both Ls and Cf and the TIA, are integrated afresh for each op amp.
  std::optional<BandPowers> Integrate(const OpAmpNoise& opAmp) const;

 private:
  struct Node {
    CircuitAt circuit;
    double weight = 0;
    std::array<double, kWeightingCount> gains{};  // |W|^2 at the node, by WeightingIndex
    bool carried = false;                         // within the carried band
  };
  StageInputs stage_;
  std::optional<std::vector<Node>> nodes_;  // none where IntegrateStage gives nothing
};

}  // namespace tervane
