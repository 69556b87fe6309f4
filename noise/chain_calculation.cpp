#include "noise/chain_calculation.h"

#include <algorithm>
#include <cmath>

#include "noise/band_integration.h"
#include "noise/log_quadrature.h"
#include "noise/noise_calculation.h"

namespace tervane {
namespace {

static_assert(ChainComponents(kMaxChainStages) <= kMaxQuadratureComponents,
              "the integrator takes a chain of the most stages as one integral");

// Whether every stage after the first has a flat gain: then a stage's noise
// reaches the output through constants.
bool LaterStagesFlat(std::span<const StageInputs> stages) {
  return std::none_of(stages.begin() + 1, stages.end(), [](const StageInputs& s) { return IsFrequencyDependent(s); });
}

// The power gain from each stage's output to the chain's, where the later
// stages are flat: their gains squared, multiplied.
std::vector<double> FlatGainsAfter(std::span<const ChainStage> stages) {
  std::vector<double> after(stages.size());
  double gain = 1;
  for (std::size_t k = stages.size(); k-- > 0;) {
    after[k] = gain;
    gain *= stages[k].gain * stages[k].gain;
  }
  return after;
}

std::vector<StageInputs> InputsOf(std::span<const ChainStage> stages) {
  std::vector<StageInputs> inputs;
  for (const ChainStage& s : stages) inputs.push_back(s.inputs);
  return inputs;
}

// Each stage's own results times the flat gain after it.
bool AddFlatChain(ChainResult& chain) {
  const std::vector<double> after = FlatGainsAfter(chain.stages);
  for (std::size_t k = 0; k < chain.stages.size(); ++k) {
    ChainStage& stage = chain.stages[k];
    for (const NoiseSource source : TopologySources(stage.inputs))
      stage.source[SourceIndex(source)] = stage.outcome.powers.source[SourceIndex(source)] * after[k];
    const std::optional<FigureInputs> own = FigureInputsOf(stage.inputs, stage.outcome);
    if (!own) return false;
    for (std::size_t w = 0; w < kWeightingCount; ++w) chain.power[w] += own->power[w] * after[k];
    if (k == 0) {
      chain.sourcePerKelvin = own->sourcePerKelvin * after[k];
      chain.loadedSourcePerKelvin = own->loadedSourcePerKelvin.value_or(own->sourcePerKelvin) * after[k];
    }
  }
  return true;
}

void AddIntegratedChain(ChainResult& chain, const ChainPowers& powers) {
  for (std::size_t k = 0; k < chain.stages.size(); ++k) chain.stages[k].source = powers.source[k];
  chain.power = powers.weighted;
  chain.sourcePerKelvin = powers.sourcePerKelvin;
  chain.loadedSourcePerKelvin = powers.loadedSourcePerKelvin;
}

// A stage without any noise (at 0 K, with a noiseless op amp) has an
// infinite SNR of its own, which its calculation refuses as not finite. A
// chain reads no stage's own SNR: such a stage is a stage like any other,
// its rows 0, and its SNR none.
StageResult AsChainStage(StageResult r) {
  const bool noiseless = r.totalNoise == 0.0 && r.gain && std::isfinite(*r.gain) && std::isfinite(r.flicker);
  if (r.failure == StageFailure::kNotFinite && noiseless) r.failure.reset(), r.snr.reset();
  return r;
}

bool AllFinite(const ChainResult& chain) {
  const auto finite = [](double x) { return std::isfinite(x); };
  for (const ChainStage& s : chain.stages)
    if (!std::all_of(s.source.begin(), s.source.end(), finite) || !std::isfinite(s.cumulativeGain)) return false;
  return std::all_of(chain.power.begin(), chain.power.end(), finite) && std::isfinite(chain.sourcePerKelvin) &&
         std::isfinite(chain.loadedSourcePerKelvin);
}

}  // namespace

StageInputs InChain(StageInputs stage, const StageInputs& first) {
  stage.lowerFreq = first.lowerFreq;
  stage.upperFreq = first.upperFreq;
  stage.refVoltage = first.refVoltage;
  stage.carry.reset();
  stage.previousBand.reset();
  return stage;
}

ChainResult CalculateChain(std::span<const StageInputs> stages) {
  ChainResult chain;
  if (stages.empty()) {
    chain.failure = ChainFailure::kNoStages;
    return chain;
  }
  if (stages.size() > kMaxChainStages) {
    chain.failure = ChainFailure::kTooManyStages;
    return chain;
  }
  // A later stage that takes a current, which the chain refuses once every
  // stage is calculated alone.
  const auto later = std::find_if(stages.begin() + 1, stages.end(),
                                  [](const StageInputs& s) { return s.ampType == AMP_TRANSIMPEDANCE; });
  if (later != stages.end())
    chain.failure = ChainFailure::kCurrentInputLater,
    chain.failedStage = static_cast<std::size_t>(later - stages.begin());
  std::vector<StageInputs> inputs;
  for (const StageInputs& s : stages) inputs.push_back(InChain(s, stages.front()));
  const bool flat = LaterStagesFlat(inputs);
  // Where it has no solution, each stage's own calculation says why.
  const std::optional<ChainPowers> powers = flat || chain.failure ? std::nullopt : IntegrateChain(inputs);
  double cumulative = 1;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    ChainStage& stage = chain.stages.emplace_back();
    stage.inputs = inputs[k];
    stage.outcome =
        AsChainStage(powers ? CalculateStage(stage.inputs, powers->own[k]) : CalculateStage(stage.inputs));
    if (stage.outcome.failure) {
      if (!chain.failure) chain.failure = ChainFailure::kStageFailed, chain.failedStage = k;
      continue;
    }
    stage.gain = *stage.outcome.gain;
    stage.cumulativeGain = cumulative *= stage.gain;
  }
  if (chain.failure) return chain;
  chain.gain = cumulative;
  if (powers) AddIntegratedChain(chain, *powers);
  const bool added = powers || (flat && AddFlatChain(chain));
  if (!added || !AllFinite(chain)) chain.failure = ChainFailure::kNotFinite;
  return chain;
}

bool HasNegativePower(const ChainResult& chain) {
  return std::any_of(chain.stages.begin(), chain.stages.end(),
                     [](const ChainStage& s) { return !s.outcome.failure && HasNegativePower(s.inputs, s.outcome); });
}

std::optional<std::vector<std::array<double, kStageSourceCount>>> ChainSourcePowers(const ChainResult& chain,
                                                                                    Weighting weighting) {
  if (chain.failure) return std::nullopt;
  std::vector<std::array<double, kStageSourceCount>> powers;
  for (const ChainStage& s : chain.stages) powers.push_back(s.source);
  if (weighting == Weighting::kNone) return powers;
  const std::vector<StageInputs> inputs = InputsOf(chain.stages);
  if (!LaterStagesFlat(inputs)) return IntegrateChainSources(inputs, weighting);
  const std::vector<double> after = FlatGainsAfter(chain.stages);
  for (std::size_t k = 0; k < chain.stages.size(); ++k) {
    const ChainStage& stage = chain.stages[k];
    const std::optional<std::array<double, kStageSourceCount>> own =
        SourcePowersOverBand(stage.inputs, stage.outcome, weighting);
    if (!own) return std::nullopt;
    for (const NoiseSource source : TopologySources(stage.inputs))
      powers[k][SourceIndex(source)] = (*own)[SourceIndex(source)] * after[k];
  }
  return powers;
}

std::optional<FigureInputs> ChainFigureInputs(const ChainResult& chain) {
  if (chain.failure) return std::nullopt;
  const ChainStage& first = chain.stages.front();
  FigureInputs in;
  in.power = chain.power;
  in.sourcePerKelvin = chain.sourcePerKelvin;
  if (first.inputs.loadResistor) in.loadedSourcePerKelvin = chain.loadedSourcePerKelvin;
  in.temperature = first.inputs.kelvin;
  in.gain = chain.gain;
  in.reference = first.inputs.refVoltage;
  if (first.inputs.ampType == AMP_TRANSIMPEDANCE) {
    // The photocurrent's DC signal, Iph Rf, through the stages after it.
    in.reference = first.inputs.photocurrent.value_or(0) * std::fabs(first.inputs.r2) * chain.gain / first.gain;
    in.responsivity = first.inputs.responsivity;
  }
  if (chain.stages.size() == 1) {
    in.en = first.outcome.enCorrected;
    in.in = first.outcome.inCorrected;
  }
  return in;
}

std::optional<NoiseFigures> ChainNoiseFigures(const ChainResult& chain) {
  const std::optional<FigureInputs> inputs = ChainFigureInputs(chain);
  if (!inputs) return std::nullopt;
  const NoiseFigures figures = ComputeNoiseFigures(*inputs);
  if (!HasNegativePower(chain)) return figures;
  NoiseFigures gainOnly;
  gainOnly.signalGain = figures.signalGain;
  gainOnly.gainDb = figures.gainDb;
  return gainOnly;
}

}  // namespace tervane
