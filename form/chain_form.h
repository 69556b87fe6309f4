#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "noise/chain_calculation.h"

namespace tervane {

// One stage of a chain as the chain's view keeps it: the stage's whole form,
// as the main window edits it, and the part chosen for it.
struct ChainStageForm {
  CalculatorForm form;
  std::optional<std::string> partName;  // Windows-1252; none when no part is chosen
};

// One calculation of a chain of forms.
struct ChainCalculation {
  // Each stage the chain calculated (none where it has none or too many),
  // as its form reads (ReadNoiseInputs) and as the chain calculated it
  // (ChainStage's inputs and outcome), so that a stage's own views and
  // write-back take it as they take a stage of the main window.
  std::vector<NoiseResult> stages;
  std::vector<std::optional<std::string>> partNames;  // each one's, Windows-1252
  ChainResult chain;
};

// The chain of the forms' stages (CalculateChain): every field read as the
// main window's calculation reads it, carry mode left out. A stage whose
// values would not write back as finite texts fails as ComputeNoise fails
// it (kNotFinite), and with it the chain.
ChainCalculation ComputeChain(std::span<const ChainStageForm> stages);

}  // namespace tervane
