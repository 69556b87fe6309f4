#include "noise/band_integration.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <utility>

#include "noise/lanes.h"
#include "noise/log_quadrature.h"

namespace tervane {
namespace {

// The integrand's components: the power of each source the stage has (a
// source it lacks has none, and costs nothing), the stage's own power
// through each weighting, and so the carried noise's gain in carry mode
// (outside it the gain is 0 at every node), the source's own noise per
// kelvin, that of the source with its load where there is a load resistor
// (without one the two are the same), and the TIA's output referred to its
// input through each weighting.
class Layout {
 public:
  // The correlation where the + input's current meets an impedance when
  // `anyCorrelation`, as a ranking's parts may bring their own, whatever
  // the stage's op amp.
  Layout(const StageInputs& s, bool anyCorrelation)
      : carried_(s.carry.has_value()), loaded_(s.loadResistor.has_value()), referred_(s.ampType == AMP_TRANSIMPEDANCE) {
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
  bool Carried() const { return carried_; }
  std::size_t CarriedWeighted(std::size_t w) const { return count_ + kWeightingCount + w; }  // where Carried()
  std::size_t SourceNoise() const { return count_ + (carried_ ? 2 : 1) * kWeightingCount; }
  bool Loaded() const { return loaded_; }
  std::size_t LoadedSourceNoise() const { return SourceNoise() + 1; }  // where Loaded()
  bool Referred() const { return referred_; }
  // Through weighting w, where Referred().
  std::size_t InputPower(std::size_t w) const { return SourceNoise() + 1 + (loaded_ ? 1 : 0) + w; }
  std::size_t Count() const { return InputPower(0) + (referred_ ? kWeightingCount : 0); }

 private:
  std::array<std::size_t, kStageSourceCount> sources_{};  // their SourceIndex, in NoiseSource order
  std::array<std::size_t, kStageSourceCount> drives_{};
  std::size_t count_ = 0;
  bool carried_;
  bool loaded_;
  bool referred_;
};
constexpr std::size_t kMostComponents = kStageSourceCount + 3 * kWeightingCount + 2;

// |G|^2 at a node within the carried band, 0 elsewhere; or at two nodes, a
// lane each.
double CarriedGain(bool within, double gain2) { return within ? gain2 : 0; }
Lanes CarriedGain(std::array<bool, 2> within, Lanes gain2) {
  return Lanes{CarriedGain(within[0], gain2[0]), CarriedGain(within[1], gain2[1])};
}

// The integrand's components at a node of the stage's circuit with `opAmp`
// in it, the weightings' gains there `gains` and whether it lies within
// the carried band `within`: put(component, value) takes each. A template
// for the nodes two at a time in lanes (CircuitLanes).
template <typename Real, typename Complex, typename Within, typename Put>
void ValuesAt(const Layout& layout, const BasicCircuitAt<Real, Complex>& circuit, const OpAmpNoise& opAmp,
              const std::array<Real, kWeightingCount>& gains, Within within, const Put& put) {
  const BasicDriveScales<Real, Complex> d = ScalesOf(circuit, opAmp);
  const std::span<const std::size_t> sources = layout.Sources();
  const std::span<const std::size_t> drives = layout.Drives();
  Real own{};
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const Real power = circuit.kernel[sources[i]] * d.scale[drives[i]];
    put(i, power);
    own += power;
  }
  for (std::size_t w = 0; w < kWeightingCount; ++w) put(layout.OwnWeighted(w), own * gains[w]);
  const Real h2 = d.h.real() * d.h.real() + d.h.imag() * d.h.imag();
  const Real gain2 = d.gain.real() * d.gain.real() + d.gain.imag() * d.gain.imag();
  if (layout.Carried()) {
    const Real carriedGain = CarriedGain(within, gain2);
    for (std::size_t w = 0; w < kWeightingCount; ++w) put(layout.CarriedWeighted(w), carriedGain * gains[w]);
  }
  put(layout.SourceNoise(), circuit.sourceKernel * h2);
  if (layout.Loaded()) put(layout.LoadedSourceNoise(), circuit.loadedSourceKernel * h2);
  if (layout.Referred())
    for (std::size_t w = 0; w < kWeightingCount; ++w) put(layout.InputPower(w), own / gain2 * gains[w]);
}

BandPowers PowersOf(const Layout& layout, std::span<const double> integrals) {
  BandPowers p;
  const std::span<const std::size_t> sources = layout.Sources();
  for (std::size_t i = 0; i < sources.size(); ++i) p.source[sources[i]] = integrals[i];
  for (std::size_t w = 0; w < kWeightingCount; ++w) p.weighted[w] = integrals[layout.OwnWeighted(w)];
  if (layout.Carried())
    for (std::size_t w = 0; w < kWeightingCount; ++w) p.carriedGain[w] = integrals[layout.CarriedWeighted(w)];
  p.sourcePerKelvin = integrals[layout.SourceNoise()];
  p.loadedSourcePerKelvin = layout.Loaded() ? integrals[layout.LoadedSourceNoise()] : p.sourcePerKelvin;
  if (layout.Referred())
    for (std::size_t w = 0; w < kWeightingCount; ++w) p.inputPower[w] = integrals[layout.InputPower(w)];
  return p;
}

// Where the carried noise lies; empty outside carry mode.
Band CarriedNoiseBand(const StageInputs& s) { return s.carry ? CarriedBand(s) : Band{}; }

bool Within(Band band, double f) { return f >= band.lower && f <= band.upper; }

using WeightingGains = std::array<double, kWeightingCount>;

// The probe of an integrand of `components` at a panel's nodes: the
// weightings' gains at them all at once, then each node's row from
// valuesAt(frequency, gains, row), false where the circuit has no solution
// there, whose row is NaN (which the integral carries to its result). A
// template, which inlines what every node would otherwise call through.
template <typename NodeValues>
QuadratureProbe PanelProbe(std::size_t components, const NodeValues& valuesAt) {
  return [components, valuesAt, gains = std::vector<WeightingGains>()](std::span<const double> frequencies,
                                                                       std::span<double> values) mutable {
    gains.resize(frequencies.size());
    WeightingPowerGains(frequencies, gains);
    for (std::size_t n = 0; n < frequencies.size(); ++n) {
      const std::span<double> row = values.subspan(n * components, components);
      if (!valuesAt(frequencies[n], gains[n], row)) std::ranges::fill(row, NAN);
    }
  };
}

// The rule over the stage's band fitted to its circuit with `opAmp` in it
// (its closed loop's resonances among the panels' ends), and the integrals
// of the `components` that `probe` gives at the panels' nodes.
std::optional<Quadrature> QuadratureOf(const StageInputs& s, const OpAmpNoise& opAmp, std::size_t components,
                                       const QuadratureProbe& probe) {
  if (!CircuitResponseAt(s, std::sqrt(s.lowerFreq * s.upperFreq))) return std::nullopt;
  const Band carried = CarriedNoiseBand(s);
  std::vector<double> breakpoints = CircuitBreakpoints(s, opAmp.gainBandwidth);
  breakpoints.insert(breakpoints.end(), {carried.lower, carried.upper});
  breakpoints.insert(breakpoints.end(), kWeightingBreakpoints.begin(), kWeightingBreakpoints.end());
  return IntegrateOverBand({s.lowerFreq, s.upperFreq}, breakpoints, components, probe);
}

// The probe of the `components` that valuesAt(circuit, gains, values)
// writes at each node of the stage's circuit.
template <typename NodeValues>
QuadratureProbe CircuitProbe(const StageInputs& s, std::size_t components, const NodeValues& valuesAt) {
  return PanelProbe(components, [&s, valuesAt](double f, const WeightingGains& gains, std::span<double> row) {
    const std::optional<CircuitAt> c = CircuitResponseAt(s, f);
    if (c) valuesAt(*c, gains, row);
    return c.has_value();
  });
}

// The TIA's probe of its integrand (Layout) with `opAmp` in it: its nodes
// two at a time, a lane each (TransimpedanceCircuit), and a panel's odd
// one out in both lanes. The nodes of a voltage stage's circuit are worked
// out one at a time: where its source resonates with its load, or its Zi
// is 0, a node may have no solution while the one beside it has.
QuadratureProbe TransimpedanceProbe(const Layout& layout, const StageInputs& s, const OpAmpNoise& opAmp) {
  return [&layout, &opAmp, tia = TransimpedanceCircuit(s), carried = CarriedNoiseBand(s), circuit = CircuitLanes()](
             std::span<const double> frequencies, std::span<double> values) mutable {
    const std::size_t components = layout.Count();
    for (std::size_t n = 0; n < frequencies.size(); n += 2) {
      const std::size_t m = std::min(n + 1, frequencies.size() - 1);
      const std::span<double> first = values.subspan(n * components, components);
      const std::span<double> second = values.subspan(m * components, components);
      circuit.frequency = Lanes{frequencies[n], frequencies[m]};
      // The weightings' gains before the circuit: their divisions, free of
      // the circuit's, keep the divider busy while the circuit's wait for
      // one another.
      const std::array<Lanes, kWeightingCount> gains = WeightingPowerGains(circuit.frequency);
      if (!tia.At(circuit)) {
        std::ranges::fill(first, NAN);
        std::ranges::fill(second, NAN);
        continue;
      }
      ValuesAt(layout, circuit, opAmp, gains,
               std::array{Within(carried, frequencies[n]), Within(carried, frequencies[m])},
               [&](std::size_t i, Lanes v) {
                 first[i] = v[0];
                 second[i] = v[1];
               });
    }
  };
}

// The stage's band integrals with `opAmp` in it, on the rule fitted to them.
std::optional<Quadrature> QuadratureOf(const Layout& layout, const StageInputs& s, const OpAmpNoise& opAmp) {
  if (s.ampType == AMP_TRANSIMPEDANCE)
    return QuadratureOf(s, opAmp, layout.Count(), TransimpedanceProbe(layout, s, opAmp));
  const Band carried = CarriedNoiseBand(s);
  const auto valuesAt = [&](const CircuitAt& c, const WeightingGains& gains, std::span<double> values) {
    ValuesAt(layout, c, opAmp, gains, Within(carried, c.frequency), [&](std::size_t i, double v) { values[i] = v; });
  };
  return QuadratureOf(s, opAmp, layout.Count(), CircuitProbe(s, layout.Count(), valuesAt));
}

// Where the prepared rule will not do for every op amp: the inverting
// stage's closed loop rings where Ls meets Cf through the op amp's finite
// gain (every other voltage stage's closed loop is overdamped,
// noise_model.md), and the TIA's loop rings with the diode's capacitance,
// which the op amp's own input capacitances join.
bool IntegratedAfresh(const StageInputs& s, const OpAmpNoise& opAmp) {
  return (s.ampType == AMP_INVERTING && s.sourceInductance && s.feedbackCapacitor && opAmp.gainBandwidth) ||
         s.ampType == AMP_TRANSIMPEDANCE;
}

// Each stage of a chain at one frequency: its circuit and what scales its
// sources' kernels, and the power gain from its output to the chain's, the
// following stages' |G(f)|^2 multiplied. Kept from node to node, so that no
// node allocates.
class ChainAt {
 public:
  explicit ChainAt(std::span<const StageInputs> stages)
      : stages_(stages), circuits_(stages.size()), scales_(stages.size()), after_(stages.size()) {
    for (const StageInputs& s : stages) opAmps_.push_back(OpAmpOf(s));
  }

  // False where a stage has no solution at `frequency`.
  bool Respond(double frequency) {
    frequency_ = frequency;
    for (std::size_t k = 0; k < stages_.size(); ++k) {
      const std::optional<CircuitAt> c = CircuitResponseAt(stages_[k], frequency);
      if (!c) return false;
      circuits_[k] = *c;
      scales_[k] = ScalesOf(*c, opAmps_[k]);
    }
    double after = 1;
    for (std::size_t k = stages_.size(); k-- > 0;) {
      after_[k] = after;
      after *= std::norm(scales_[k].gain);
    }
    return true;
  }

  double Frequency() const { return frequency_; }
  std::size_t Count() const { return stages_.size(); }
  // Stage k's source at its own output: that of SourceIndex `source`, of
  // `drive` (DriveOf).
  double Power(std::size_t k, std::size_t source, std::size_t drive) const {
    return circuits_[k].kernel[source] * scales_[k].scale[drive];
  }
  double SourcePerKelvin(std::size_t k) const { return circuits_[k].sourceKernel * std::norm(scales_[k].h); }
  double LoadedSourcePerKelvin(std::size_t k) const {
    return circuits_[k].loadedSourceKernel * std::norm(scales_[k].h);
  }
  double After(std::size_t k) const { return after_[k]; }

 private:
  std::span<const StageInputs> stages_;
  std::vector<OpAmpNoise> opAmps_;
  std::vector<CircuitAt> circuits_;
  std::vector<DriveScales> scales_;
  std::vector<double> after_;
  double frequency_ = 0;
};

// The chain's integrals over the first stage's band: valuesAt(chain,
// gains, values) writes the components from the stages' responses at a
// node.
template <typename NodeValues>
std::optional<Quadrature> ChainQuadratureOf(std::span<const StageInputs> stages, std::size_t components,
                                            const NodeValues& valuesAt) {
  if (stages.empty()) return std::nullopt;
  const StageInputs& first = stages.front();
  ChainAt chain(stages);
  if (!chain.Respond(std::sqrt(first.lowerFreq * first.upperFreq))) return std::nullopt;
  std::vector<double> breakpoints(kWeightingBreakpoints.begin(), kWeightingBreakpoints.end());
  for (const StageInputs& s : stages) {
    const std::vector<double> own = CircuitBreakpoints(s, s.gainBandwidth);
    breakpoints.insert(breakpoints.end(), own.begin(), own.end());
  }
  const auto chainValues = [&](double f, const WeightingGains& gains, std::span<double> row) {
    if (!chain.Respond(f)) return false;
    valuesAt(chain, gains, row);
    return true;
  };
  return IntegrateOverBand({first.lowerFreq, first.upperFreq}, breakpoints, components,
                           PanelProbe(components, chainValues));
}

// The components of IntegrateChain, in order: for each stage the sources it
// has at the chain's output, then at its own, its own power through each
// weighting and its source's own noise (and with its load, where it has a
// load resistor); after the stages the whole output through each weighting
// and the first stage's source's noise at the end (and with its load).
class ChainLayout {
 public:
  explicit ChainLayout(std::span<const StageInputs> stages) {
    for (const StageInputs& s : stages) {
      start_.push_back(count_);
      const Layout& layout = stages_.emplace_back(s, false);
      count_ += 2 * layout.Sources().size() + kWeightingCount + 1 + (layout.Loaded() ? 1 : 0);
    }
  }

  const Layout& Stage(std::size_t k) const { return stages_[k]; }
  // Stage k's source i (of its Layout's) at the chain's output, and at the stage's.
  std::size_t AtOutput(std::size_t k, std::size_t i) const { return start_[k] + i; }
  std::size_t AtStage(std::size_t k, std::size_t i) const { return start_[k] + stages_[k].Sources().size() + i; }
  std::size_t StageWeighted(std::size_t k, std::size_t w) const { return AtStage(k, stages_[k].Sources().size()) + w; }
  std::size_t StageSourceNoise(std::size_t k) const { return StageWeighted(k, kWeightingCount); }
  std::size_t StageLoadedSourceNoise(std::size_t k) const { return StageSourceNoise(k) + 1; }  // where Loaded()
  std::size_t Weighted(std::size_t w) const { return count_ + w; }
  std::size_t SourceNoise() const { return count_ + kWeightingCount; }
  std::size_t LoadedSourceNoise() const { return SourceNoise() + 1; }  // where the first stage is Loaded()
  std::size_t Count() const { return SourceNoise() + 1 + (!stages_.empty() && stages_.front().Loaded() ? 1 : 0); }

 private:
  std::vector<Layout> stages_;
  std::vector<std::size_t> start_;
  std::size_t count_ = 0;  // the stages'
};

}  // namespace

std::optional<ChainPowers> IntegrateChain(std::span<const StageInputs> stages) {
  const ChainLayout layout(stages);
  const std::optional<Quadrature> q = ChainQuadratureOf(
      stages, layout.Count(), [&](const ChainAt& chain, const WeightingGains& gains, std::span<double> values) {
        double total = 0;
        for (std::size_t k = 0; k < chain.Count(); ++k) {
          const Layout& stage = layout.Stage(k);
          double own = 0;
          for (std::size_t i = 0; i < stage.Sources().size(); ++i) {
            const double power = chain.Power(k, stage.Sources()[i], stage.Drives()[i]);
            own += values[layout.AtStage(k, i)] = power;
            total += values[layout.AtOutput(k, i)] = power * chain.After(k);
          }
          for (std::size_t w = 0; w < kWeightingCount; ++w) values[layout.StageWeighted(k, w)] = own * gains[w];
          values[layout.StageSourceNoise(k)] = chain.SourcePerKelvin(k);
          if (stage.Loaded()) values[layout.StageLoadedSourceNoise(k)] = chain.LoadedSourcePerKelvin(k);
        }
        for (std::size_t w = 0; w < kWeightingCount; ++w) values[layout.Weighted(w)] = total * gains[w];
        values[layout.SourceNoise()] = chain.SourcePerKelvin(0) * chain.After(0);
        if (layout.Stage(0).Loaded())
          values[layout.LoadedSourceNoise()] = chain.LoadedSourcePerKelvin(0) * chain.After(0);
      });
  if (!q) return std::nullopt;
  const std::vector<double>& v = q->integrals;
  ChainPowers p;
  for (std::size_t k = 0; k < stages.size(); ++k) {
    const Layout& stage = layout.Stage(k);
    BandPowers& own = p.own.emplace_back();
    std::array<double, kStageSourceCount>& atOutput = p.source.emplace_back();
    for (std::size_t i = 0; i < stage.Sources().size(); ++i) {
      own.source[stage.Sources()[i]] = v[layout.AtStage(k, i)];
      atOutput[stage.Sources()[i]] = v[layout.AtOutput(k, i)];
    }
    for (std::size_t w = 0; w < kWeightingCount; ++w) own.weighted[w] = v[layout.StageWeighted(k, w)];
    own.sourcePerKelvin = v[layout.StageSourceNoise(k)];
    own.loadedSourcePerKelvin = stage.Loaded() ? v[layout.StageLoadedSourceNoise(k)] : own.sourcePerKelvin;
  }
  for (std::size_t w = 0; w < kWeightingCount; ++w) p.weighted[w] = v[layout.Weighted(w)];
  p.sourcePerKelvin = v[layout.SourceNoise()];
  p.loadedSourcePerKelvin = layout.Stage(0).Loaded() ? v[layout.LoadedSourceNoise()] : p.sourcePerKelvin;
  return p;
}

std::optional<std::vector<std::array<double, kStageSourceCount>>> IntegrateChainSources(
    std::span<const StageInputs> stages, Weighting weighting) {
  const ChainLayout layout(stages);
  std::vector<std::size_t> start;  // of each stage's sources among the components
  std::size_t components = 0;
  for (std::size_t k = 0; k < stages.size(); ++k) {
    start.push_back(components);
    components += layout.Stage(k).Sources().size();
  }
  const std::optional<Quadrature> q = ChainQuadratureOf(
      stages, components, [&](const ChainAt& chain, const WeightingGains& gains, std::span<double> values) {
        const double gain = gains[WeightingIndex(weighting)];
        for (std::size_t k = 0; k < chain.Count(); ++k) {
          const Layout& stage = layout.Stage(k);
          for (std::size_t i = 0; i < stage.Sources().size(); ++i)
            values[start[k] + i] = chain.Power(k, stage.Sources()[i], stage.Drives()[i]) * chain.After(k) * gain;
        }
      });
  if (!q) return std::nullopt;
  std::vector<std::array<double, kStageSourceCount>> sources(stages.size());
  for (std::size_t k = 0; k < stages.size(); ++k)
    for (std::size_t i = 0; i < layout.Stage(k).Sources().size(); ++i)
      sources[k][layout.Stage(k).Sources()[i]] = q->integrals[start[k] + i];
  return sources;
}

std::optional<BandPowers> IntegrateStage(const StageInputs& stage) {
  const Layout layout(stage, false);
  const std::optional<Quadrature> q = QuadratureOf(layout, stage, OpAmpOf(stage));
  if (!q) return std::nullopt;
  return PowersOf(layout, q->integrals);
}

std::optional<std::array<double, kStageSourceCount>> IntegrateSources(const StageInputs& stage, Weighting weighting) {
  const OpAmpNoise opAmp = OpAmpOf(stage);
  const Layout layout(stage, false);
  const std::span<const std::size_t> sources = layout.Sources();
  const auto valuesAt = [&](const CircuitAt& c, const WeightingGains& gains, std::span<double> values) {
    const DriveScales d = ScalesOf(c, opAmp);
    const double gain = gains[WeightingIndex(weighting)];
    for (std::size_t i = 0; i < sources.size(); ++i)
      values[i] = c.kernel[sources[i]] * d.scale[layout.Drives()[i]] * gain;
  };
  const std::optional<Quadrature> q =
      QuadratureOf(stage, opAmp, sources.size(), CircuitProbe(stage, sources.size(), valuesAt));
  if (!q) return std::nullopt;
  std::array<double, kStageSourceCount> powers{};
  for (std::size_t i = 0; i < sources.size(); ++i) powers[sources[i]] = q->integrals[i];
  return powers;
}

PreparedCircuit::PreparedCircuit(const StageInputs& stage) : stage_(stage) {
  // Unit densities and no corners: every source's own transfer is a
  // component the rule is fitted to.
  const OpAmpNoise unit{1, 1, 0, false, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
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
  if (IntegratedAfresh(stage_, opAmp)) return IntegrateStage(WithOpAmp(stage_, opAmp));
  const Layout layout(stage_, true);
  std::array<double, kMostComponents> sums{};
  for (const Node& node : *nodes_)
    ValuesAt(layout, node.circuit, opAmp, node.gains, node.carried,
             [&](std::size_t c, double v) { sums[c] += node.weight * v; });
  return PowersOf(layout, std::span(sums).first(layout.Count()));
}

}  // namespace tervane
