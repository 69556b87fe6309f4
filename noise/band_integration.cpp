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

// Each stage of a chain at one frequency: its response, and the power gain
// from its output to the chain's, the following stages' |G(f)|^2
// multiplied. Kept from node to node, so that no node allocates.
class ChainAt {
 public:
  explicit ChainAt(std::span<const StageInputs> stages)
      : stages_(stages), responses_(stages.size()), after_(stages.size()) {
    for (const StageInputs& s : stages) opAmps_.push_back(OpAmpOf(s));
  }

  // False where a stage has no solution at `frequency`.
  bool Respond(double frequency) {
    frequency_ = frequency;
    for (std::size_t k = 0; k < stages_.size(); ++k) {
      const std::optional<CircuitAt> c = CircuitResponseAt(stages_[k], frequency);
      if (!c) return false;
      responses_[k] = RespondWith(*c, opAmps_[k]);
    }
    double after = 1;
    for (std::size_t k = stages_.size(); k-- > 0;) {
      after_[k] = after;
      after *= std::norm(responses_[k].gain);
    }
    return true;
  }

  double Frequency() const { return frequency_; }
  std::size_t Count() const { return stages_.size(); }
  const StageResponse& Response(std::size_t k) const { return responses_[k]; }
  double After(std::size_t k) const { return after_[k]; }

 private:
  std::span<const StageInputs> stages_;
  std::vector<OpAmpNoise> opAmps_;
  std::vector<StageResponse> responses_;
  std::vector<double> after_;
  double frequency_ = 0;
};

// The chain's integrals over the first stage's band: `valuesAt` writes the
// components from the stages' responses at a node.
std::optional<Quadrature> ChainQuadratureOf(std::span<const StageInputs> stages, std::size_t components,
                                            const std::function<void(const ChainAt&, std::span<double>)>& valuesAt) {
  if (stages.empty()) return std::nullopt;
  const StageInputs& first = stages.front();
  ChainAt chain(stages);
  if (!chain.Respond(std::sqrt(first.lowerFreq * first.upperFreq))) return std::nullopt;
  std::vector<double> breakpoints(kWeightingBreakpoints.begin(), kWeightingBreakpoints.end());
  for (const StageInputs& s : stages) {
    const std::vector<double> own = CircuitBreakpoints(s, s.gainBandwidth);
    breakpoints.insert(breakpoints.end(), own.begin(), own.end());
  }
  return IntegrateOverBand({first.lowerFreq, first.upperFreq}, breakpoints, components,
                           [&](double f, std::span<double> values) {
                             if (!chain.Respond(f)) return std::fill(values.begin(), values.end(), NAN);
                             valuesAt(chain, values);
                           });
}

// The components of IntegrateChain (ChainComponents), in order: for each
// stage its sources at the chain's output, then those of the stage alone,
// its own power through each weighting and its source's own noise; after
// the stages the whole output through each weighting and the first stage's
// source's noise at the end.
constexpr std::size_t kOwnSource = kStageSourceCount;
constexpr std::size_t kOwnStageWeighted = 2 * kStageSourceCount;
constexpr std::size_t kOwnSourceNoise = kOwnStageWeighted + kWeightingCount;
constexpr std::size_t kPerStage = kOwnSourceNoise + 1;
static_assert(ChainComponents(1) == kPerStage + kWeightingCount + 1);

}  // namespace

std::optional<ChainPowers> IntegrateChain(std::span<const StageInputs> stages) {
  const std::size_t weighted = stages.size() * kPerStage;
  const std::size_t sourceNoise = weighted + kWeightingCount;
  const std::optional<Quadrature> q =
      ChainQuadratureOf(stages, ChainComponents(stages.size()), [&](const ChainAt& chain, std::span<double> values) {
        const std::array<double, kWeightingCount> gains = WeightingPowerGains(chain.Frequency());
        double total = 0;
        for (std::size_t k = 0; k < chain.Count(); ++k) {
          const std::span<double> v = values.subspan(k * kPerStage, kPerStage);
          const StageResponse& r = chain.Response(k);
          double own = 0;
          for (std::size_t i = 0; i < kStageSourceCount; ++i) {
            own += v[kOwnSource + i] = r.power[i];
            total += v[i] = r.power[i] * chain.After(k);
          }
          for (std::size_t w = 0; w < kWeightingCount; ++w) v[kOwnStageWeighted + w] = own * gains[w];
          v[kOwnSourceNoise] = r.sourcePerKelvin;
        }
        for (std::size_t w = 0; w < kWeightingCount; ++w) values[weighted + w] = total * gains[w];
        values[sourceNoise] = chain.Response(0).sourcePerKelvin * chain.After(0);
      });
  if (!q) return std::nullopt;
  ChainPowers p;
  for (std::size_t k = 0; k < stages.size(); ++k) {
    const std::span<const double> v = std::span<const double>(q->integrals).subspan(k * kPerStage, kPerStage);
    BandPowers& own = p.own.emplace_back();
    std::copy_n(v.begin() + kOwnSource, kStageSourceCount, own.source.begin());
    std::copy_n(v.begin() + kOwnStageWeighted, kWeightingCount, own.weighted.begin());
    own.sourcePerKelvin = v[kOwnSourceNoise];
    std::copy_n(v.begin(), kStageSourceCount, p.source.emplace_back().begin());
  }
  std::copy_n(q->integrals.begin() + static_cast<std::ptrdiff_t>(weighted), kWeightingCount, p.weighted.begin());
  p.sourcePerKelvin = q->integrals[sourceNoise];
  return p;
}

std::optional<std::vector<std::array<double, kStageSourceCount>>> IntegrateChainSources(
    std::span<const StageInputs> stages, Weighting weighting) {
  const std::optional<Quadrature> q =
      ChainQuadratureOf(stages, stages.size() * kStageSourceCount, [&](const ChainAt& chain, std::span<double> values) {
        const double gain = WeightingPowerGain(weighting, chain.Frequency());
        for (std::size_t k = 0; k < chain.Count(); ++k)
          for (std::size_t i = 0; i < kStageSourceCount; ++i)
            values[k * kStageSourceCount + i] = chain.Response(k).power[i] * chain.After(k) * gain;
      });
  if (!q) return std::nullopt;
  std::vector<std::array<double, kStageSourceCount>> sources(stages.size());
  for (std::size_t k = 0; k < stages.size(); ++k)
    std::copy_n(q->integrals.begin() + static_cast<std::ptrdiff_t>(k * kStageSourceCount), kStageSourceCount,
                sources[k].begin());
  return sources;
}

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
  const OpAmpNoise unit{1, 1, 0, false, std::nullopt, std::nullopt};
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
