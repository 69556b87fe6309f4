#include "form/chain_form.h"

namespace tervane {

ChainCalculation ComputeChain(std::span<const ChainStageForm> stages) {
  std::vector<NoiseResult> read;
  std::vector<StageInputs> inputs;
  for (const ChainStageForm& stage : stages) inputs.push_back(read.emplace_back(ReadNoiseInputs(stage.form)).inputs);
  ChainCalculation result;
  ChainResult& chain = result.chain;
  chain = CalculateChain(inputs);
  for (std::size_t k = 0; k < chain.stages.size(); ++k) {
    NoiseResult& stage = result.stages.emplace_back(std::move(read[k]));
    result.partNames.push_back(stages[k].partName);
    stage.inputs = chain.stages[k].inputs;
    stage.outcome = chain.stages[k].outcome;
    if (stage.outcome.failure || WritesBackFinite(stage)) continue;
    stage.outcome.failure = chain.stages[k].outcome.failure = StageFailure::kNotFinite;
    if (!chain.failedStage || k < *chain.failedStage) chain.failure = ChainFailure::kStageFailed, chain.failedStage = k;
  }
  return result;
}

}  // namespace tervane
