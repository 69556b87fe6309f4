#include "noise/chain_views.h"

#include <cmath>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

double RootBand(const ChainResult& chain) {
  const StageInputs& first = chain.stages.front().inputs;
  return std::sqrt(first.upperFreq - first.lowerFreq);
}

}  // namespace

std::optional<ChainBreakdown> BreakdownChain(const ChainResult& chain, Weighting weighting) {
  if (chain.failure || HasNegativePower(chain)) return std::nullopt;
  const std::optional<std::vector<std::array<double, kStageSourceCount>>> powers = ChainSourcePowers(chain, weighting);
  if (!powers) return std::nullopt;
  double output = 0;
  for (const auto& stage : *powers)
    for (const double p : stage) output += p;
  // Flat never 0 (a chain with no noise has an infinite SNR and fails), but
  // a weighting may take all of it away.
  const auto percent = [output](double power) { return output > 0 ? 100 * power / output : 0.0; };
  const double rootBand = RootBand(chain);

  ChainBreakdown b;
  for (std::size_t k = 0; k < chain.stages.size(); ++k) {
    const ChainStage& stage = chain.stages[k];
    ChainStageShare& share = b.stages.emplace_back();
    double power = 0;
    for (const NoiseSource source : TopologySources(stage.inputs)) {
      const std::size_t i = SourceIndex(source);
      const double p = (*powers)[k][i];
      power += p;
      share.sources.push_back({source, SignedRoot(stage.source[i]) / rootBand, SignedRoot(p), percent(p)});
    }
    SortLargestFirst(share.sources);
    share.total = std::sqrt(power);
    share.percent = percent(power);
  }
  b.outputTotal = std::sqrt(chain.power[WeightingIndex(Weighting::kNone)]);
  b.inputReferred = b.outputTotal / std::fabs(chain.gain);
  b.inputDensity = b.inputReferred / rootBand;
  return b;
}

std::optional<ChainSpectrumPoint> ChainSpectrumAt(const ChainResult& chain, double frequency) {
  if (chain.failure || HasNegativePower(chain) || !(frequency > 0 && std::isfinite(frequency))) return std::nullopt;
  const std::size_t n = chain.stages.size();
  ChainSpectrumPoint point;
  point.frequency = frequency;
  point.stages.resize(n);
  point.sources.resize(n);
  double after = 1;  // |G(f)| from the stage's output to the chain's
  double total = 0;
  for (std::size_t k = n; k-- > 0;) {
    const ChainStage& stage = chain.stages[k];
    const std::optional<SpectrumPoint> own = NoiseSpectrumAt(stage.inputs, stage.outcome, frequency);
    if (!own) return std::nullopt;
    double power = 0;
    for (std::size_t i = 0; i < kStageSourceCount; ++i) {
      const double density = point.sources[k][i] = own->density[i] * after;
      power += density * std::fabs(density);  // a correlation's is signed
    }
    point.stages[k] = std::sqrt(power);
    total += power;
    after *= own->gain;
  }
  if (!std::isfinite(total)) return std::nullopt;
  point.total = std::sqrt(total);
  point.gain = after;
  return point;
}

std::optional<SpectrumFault> ChainSpectrumFault(const ChainResult& chain, std::size_t points) {
  if (chain.failure) return SpectrumFault::kCalculationFailed;
  if (HasNegativePower(chain)) return SpectrumFault::kNegativePower;
  const SpectrumRange range = SpectrumRangeOf(chain.stages.front().inputs);
  if (const std::optional<SpectrumFault> fault = RangeFaultOf(range, points)) return fault;
  if (!ChainSpectrumAt(chain, range.lower)) return SpectrumFault::kRiseOverflow;
  return std::nullopt;
}

std::optional<std::vector<ChainSpectrumPoint>> ChainSpectrum(const ChainResult& chain, std::size_t points) {
  if (ChainSpectrumFault(chain, points)) return std::nullopt;
  std::vector<ChainSpectrumPoint> spectrum;
  for (const double f : SpectrumFrequencies(SpectrumRangeOf(chain.stages.front().inputs), points)) {
    std::optional<ChainSpectrumPoint> point = ChainSpectrumAt(chain, f);
    if (!point) return std::nullopt;
    spectrum.push_back(std::move(*point));
  }
  return spectrum;
}

}  // namespace tervane
