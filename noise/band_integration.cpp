#include "noise/band_integration.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <utility>

#include "noise/log_quadrature.h"
#include "noise/noise_calculation.h"

namespace tervane {
namespace {

// The integrand's components: each source's power, the stage's own power
// and the carried noise's gain through each weighting, the source's own
// noise per kelvin.
constexpr std::size_t kOwnWeighted = kStageSourceCount;
constexpr std::size_t kCarriedWeighted = kOwnWeighted + kWeightingCount;
constexpr std::size_t kSourceNoise = kCarriedWeighted + kWeightingCount;
constexpr std::size_t kComponents = kSourceNoise + 1;

void ValuesAt(const CircuitAt& circuit, const OpAmpNoise& opAmp, const std::array<double, kWeightingCount>& gains,
              bool carried, std::span<double> values) {
  const StageResponse r = RespondWith(circuit, opAmp);
  double own = 0;
  for (std::size_t i = 0; i < kStageSourceCount; ++i) own += values[i] = r.power[i];
  const double carriedGain = carried ? std::norm(r.gain) : 0;
  for (std::size_t w = 0; w < kWeightingCount; ++w) {
    values[kOwnWeighted + w] = own * gains[w];
    values[kCarriedWeighted + w] = carriedGain * gains[w];
  }
  values[kSourceNoise] = r.sourcePerKelvin;
}

BandPowers PowersOf(std::span<const double> integrals) {
  BandPowers p;
  for (std::size_t i = 0; i < kStageSourceCount; ++i) p.source[i] = integrals[i];
  for (std::size_t w = 0; w < kWeightingCount; ++w) {
    p.weighted[w] = integrals[kOwnWeighted + w];
    p.carriedGain[w] = integrals[kCarriedWeighted + w];
  }
  p.sourcePerKelvin = integrals[kSourceNoise];
  return p;
}

// Where the carried noise lies; empty outside carry mode.
Band CarriedNoiseBand(const StageInputs& s) { return s.carry ? CarriedBand(s) : Band{}; }

bool Within(Band band, double f) { return f >= band.lower && f <= band.upper; }

// Writes an integrand's components at a node of the stage's circuit.
using NodeValues = std::function<void(const CircuitAt& circuit, std::span<double> values)>;

// The rule over the stage's band fitted to its circuit with `opAmp` in it
// (its closed loop's resonances among the panels' ends), and the integrals.
std::optional<Quadrature> QuadratureOf(const StageInputs& s, const OpAmpNoise& opAmp, std::size_t components,
                                       const NodeValues& valuesAt) {
  if (!CircuitResponseAt(s, std::sqrt(s.lowerFreq * s.upperFreq))) return std::nullopt;
  const Band carried = CarriedNoiseBand(s);
  std::vector<double> breakpoints = CircuitBreakpoints(s, opAmp.gainBandwidth);
  breakpoints.insert(breakpoints.end(), {carried.lower, carried.upper});
  breakpoints.insert(breakpoints.end(), kWeightingBreakpoints.begin(), kWeightingBreakpoints.end());
  return IntegrateOverBand({s.lowerFreq, s.upperFreq}, breakpoints, components,
                           [&](double f, std::span<double> values) {
                             const std::optional<CircuitAt> c = CircuitResponseAt(s, f);
                             if (!c) return std::fill(values.begin(), values.end(), NAN);
                             valuesAt(*c, values);
                           });
}

// The stage's band integrals with `opAmp` in it, on the rule fitted to them.
std::optional<Quadrature> QuadratureOf(const StageInputs& s, const OpAmpNoise& opAmp) {
  const Band carried = CarriedNoiseBand(s);
  return QuadratureOf(s, opAmp, kComponents, [&](const CircuitAt& c, std::span<double> values) {
    ValuesAt(c, opAmp, WeightingPowerGains(c.frequency), Within(carried, c.frequency), values);
  });
}

// The inverting stage's closed loop rings where Ls meets Cf through the
// op amp's finite gain; every other closed loop is overdamped
// (noise_model.md).
bool ClosedLoopMayRing(const StageInputs& s, const OpAmpNoise& opAmp) {
  return s.ampType == AMP_INVERTING && s.sourceInductance && s.feedbackCapacitor && opAmp.gainBandwidth;
}

}  // namespace

std::optional<BandPowers> IntegrateStage(const StageInputs& stage) {
  const std::optional<Quadrature> q = QuadratureOf(stage, OpAmpOf(stage));
  if (!q) return std::nullopt;
  return PowersOf(q->integrals);
}

std::optional<std::array<double, kStageSourceCount>> IntegrateSources(const StageInputs& stage,
                                                                      Weighting weighting) {
  const OpAmpNoise opAmp = OpAmpOf(stage);
  const std::optional<Quadrature> q =
      QuadratureOf(stage, opAmp, kStageSourceCount, [&](const CircuitAt& c, std::span<double> values) {
        const StageResponse r = RespondWith(c, opAmp);
        const double gain = WeightingPowerGain(weighting, c.frequency);
        for (std::size_t i = 0; i < kStageSourceCount; ++i) values[i] = r.power[i] * gain;
      });
  if (!q) return std::nullopt;
  std::array<double, kStageSourceCount> powers{};
  std::copy(q->integrals.begin(), q->integrals.end(), powers.begin());
  return powers;
}

PreparedCircuit::PreparedCircuit(const StageInputs& stage) : stage_(stage) {
  // Unit densities and no corners: every source's own transfer is a
  // component the rule is fitted to.
  const OpAmpNoise unit{1, 1, 0, false, std::nullopt, std::nullopt, std::nullopt};
  const std::optional<Quadrature> q = QuadratureOf(stage, unit);
  if (!q) return;
  const Band carried = CarriedNoiseBand(stage);
  std::vector<Node> nodes;
  nodes.reserve(q->nodes.size());
  for (const QuadratureNode& node : q->nodes) {
    const std::optional<CircuitAt> circuit = CircuitResponseAt(stage, node.frequency);
    if (!circuit) return;
    nodes.push_back({*circuit, node.weight, WeightingPowerGains(node.frequency), Within(carried, node.frequency)});
  }
  nodes_ = std::move(nodes);
}

std::optional<BandPowers> PreparedCircuit::Integrate(const OpAmpNoise& opAmp) const {
  if (!nodes_) return std::nullopt;
  if (ClosedLoopMayRing(stage_, opAmp)) return IntegrateStage(WithOpAmp(stage_, opAmp));
  std::array<double, kComponents> sums{};
  std::array<double, kComponents> values{};
  for (const Node& node : *nodes_) {
    ValuesAt(node.circuit, opAmp, node.gains, node.carried, values);
    for (std::size_t c = 0; c < kComponents; ++c) sums[c] += node.weight * values[c];
  }
  return PowersOf(sums);
}

}  // namespace tervane
