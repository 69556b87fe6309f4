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

// The integrand's components: the power of each source the stage has (a
// source it lacks has none, and costs nothing), the stage's own power and
// the carried noise's gain through each weighting, the source's own noise
// per kelvin.
class Layout {
 public:
  // The correlation where the + input's current meets an impedance when
  // `anyCorrelation`, as a ranking's parts may bring their own, whatever
  // the stage's op amp.
  Layout(const StageInputs& s, bool anyCorrelation) {
    StageInputs probe = s;
    if (anyCorrelation) probe.inCorrelation = 1;
    for (const NoiseSource source : TopologySources(probe)) {
      drives_[count_] = static_cast<std::size_t>(DriveOf(source));
      sources_[count_++] = SourceIndex(source);
    }
  }

  std::span<const std::size_t> Sources() const { return {sources_.data(), count_}; }
  // The SourceDrive of each of Sources().
  std::span<const std::size_t> Drives() const { return {drives_.data(), count_}; }
  std::size_t OwnWeighted(std::size_t w) const { return count_ + w; }
  std::size_t CarriedWeighted(std::size_t w) const { return count_ + kWeightingCount + w; }
  std::size_t SourceNoise() const { return count_ + 2 * kWeightingCount; }
  std::size_t Count() const { return SourceNoise() + 1; }

 private:
  std::array<std::size_t, kStageSourceCount> sources_{};  // their SourceIndex, in NoiseSource order
  std::array<std::size_t, kStageSourceCount> drives_{};
  std::size_t count_ = 0;
};
constexpr std::size_t kMostComponents = kStageSourceCount + 2 * kWeightingCount + 1;

void ValuesAt(const Layout& layout, const CircuitAt& circuit, const OpAmpNoise& opAmp,
              const std::array<double, kWeightingCount>& gains, bool carried, std::span<double> values) {
  const DriveScales d = ScalesOf(circuit, opAmp);
  const std::span<const std::size_t> sources = layout.Sources();
  const std::span<const std::size_t> drives = layout.Drives();
  double own = 0;
  for (std::size_t i = 0; i < sources.size(); ++i) own += values[i] = circuit.kernel[sources[i]] * d.scale[drives[i]];
  const double carriedGain = carried ? std::norm(d.gain) : 0;
  for (std::size_t w = 0; w < kWeightingCount; ++w) {
    values[layout.OwnWeighted(w)] = own * gains[w];
    values[layout.CarriedWeighted(w)] = carriedGain * gains[w];
  }
  values[layout.SourceNoise()] = circuit.sourceKernel * std::norm(d.h);
}

BandPowers PowersOf(const Layout& layout, std::span<const double> integrals) {
  BandPowers p;
  const std::span<const std::size_t> sources = layout.Sources();
  for (std::size_t i = 0; i < sources.size(); ++i) p.source[sources[i]] = integrals[i];
  for (std::size_t w = 0; w < kWeightingCount; ++w) {
    p.weighted[w] = integrals[layout.OwnWeighted(w)];
    p.carriedGain[w] = integrals[layout.CarriedWeighted(w)];
  }
  p.sourcePerKelvin = integrals[layout.SourceNoise()];
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
std::optional<Quadrature> QuadratureOf(const Layout& layout, const StageInputs& s, const OpAmpNoise& opAmp) {
  const Band carried = CarriedNoiseBand(s);
  return QuadratureOf(s, opAmp, layout.Count(), [&](const CircuitAt& c, std::span<double> values) {
    ValuesAt(layout, c, opAmp, WeightingPowerGains(c.frequency), Within(carried, c.frequency), values);
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
  const Layout layout(stage, false);
  const std::optional<Quadrature> q = QuadratureOf(layout, stage, OpAmpOf(stage));
  if (!q) return std::nullopt;
  return PowersOf(layout, q->integrals);
}

std::optional<std::array<double, kStageSourceCount>> IntegrateSources(const StageInputs& stage,
                                                                      Weighting weighting) {
  const OpAmpNoise opAmp = OpAmpOf(stage);
  const Layout layout(stage, false);
  const std::span<const std::size_t> sources = layout.Sources();
  const std::optional<Quadrature> q =
      QuadratureOf(stage, opAmp, sources.size(), [&](const CircuitAt& c, std::span<double> values) {
        const DriveScales d = ScalesOf(c, opAmp);
        const double gain = WeightingPowerGain(weighting, c.frequency);
        for (std::size_t i = 0; i < sources.size(); ++i)
          values[i] = c.kernel[sources[i]] * d.scale[layout.Drives()[i]] * gain;
      });
  if (!q) return std::nullopt;
  std::array<double, kStageSourceCount> powers{};
  for (std::size_t i = 0; i < sources.size(); ++i) powers[sources[i]] = q->integrals[i];
  return powers;
}

PreparedCircuit::PreparedCircuit(const StageInputs& stage) : stage_(stage) {
  // Unit densities and no corners: every source's own transfer is a
  // component the rule is fitted to.
  const OpAmpNoise unit{1, 1, 0, false, std::nullopt, std::nullopt, std::nullopt};
  const std::optional<Quadrature> q = QuadratureOf(Layout(stage, false), stage, unit);
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
  const Layout layout(stage_, true);
  std::array<double, kMostComponents> sums{};
  std::array<double, kMostComponents> values{};
  for (const Node& node : *nodes_) {
    ValuesAt(layout, node.circuit, opAmp, node.gains, node.carried, values);
    for (std::size_t c = 0; c < layout.Count(); ++c) sums[c] += node.weight * values[c];
  }
  return PowersOf(layout, std::span(sums).first(layout.Count()));
}

}  // namespace tervane
