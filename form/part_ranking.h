#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "noise/stage_response.h"
#include "noise/weighting.h"
#include "parts/part_library.h"

namespace tervane {

// One part of the library in the circuit as it stands.
struct RankedPart {
  std::string name;  // Windows-1252, as the list shows it
  // The figures as the part file writes them, and as the calculation read them.
  std::string noiseVoltageText;
  std::string noiseCurrentText;
  std::string cornerFreqText;
  double noiseVoltage = 0;  // en, V/rtHz
  double noiseCurrent = 0;  // in, A/rtHz
  double cornerFreq = 0;    // fc, Hz
  bool failed = false;      // the calculation gives the error report
  // Empty when failed.
  std::optional<double> outputDensity;  // Sn, V/rtHz
  std::optional<double> totalNoise;     // V, with the carry in carry mode
  std::optional<double> snr;            // dB
  // Through the weighting the ranking is by: the output noise, V, and the
  // EIN, dBu; empty when failed or where the figure is undefined.
  std::optional<double> weightedNoise;
  std::optional<double> einDbu;
  // The figures' optimum source resistance, en'/in' over the band: none
  // where they leave it undefined (in' = 0, a negative density or noise
  // power) and when failed.
  std::optional<double> optimumSourceResistance;
  // In a transimpedance amplifier: its input current through the weighting
  // the ranking is by, A, which ranks its parts; empty when failed. And the
  // input capacitances as the part's line writes them, empty where it gives
  // none (calculated without).
  std::optional<double> inputNoise;
  std::string commonModeCapacitanceText;
  std::string differentialCapacitanceText;
};

// Every part of the library calculated in `form` as selecting it would do
// (its en, in and fc replace the form's, and its gain-bandwidth and current
// corner where its line gives them), quietest total first (the total
// read through `weighting`; unweighted, the report's total); equal
// totals keep the list order, and failed parts come last in list order; in
// a transimpedance amplifier by the input current (RankedPart::inputNoise). A
// name on several lines of the file is one part (every line of it selects
// the same figures) and is ranked once, at its first place in the list.
// A part whose weighted total is undefined follows the others that succeed.
std::vector<RankedPart> RankParts(const CalculatorForm& form, const PartLibrary& library,
                                  Weighting weighting = Weighting::kNone);

// The same in the circuit of a form already read (ComputeNoise): each part's
// op amp (PartOpAmp) takes the place of the form's. Over frequency the
// circuit is prepared once (PreparedCircuit) and each part costs a sum over
// its nodes.
std::vector<RankedPart> RankParts(const NoiseResult& circuit, const PartLibrary& library,
                                  Weighting weighting = Weighting::kNone);

// A part's op amp as the ranking takes it: en, in and fc as its record
// writes them, GBW, fci and c too where its line gives them, the rest (the
// corner rule, GBW, fci and c where its line gives none) the circuit's; Ccm
// and Cdiff its line's alone, none where it gives none.
OpAmpNoise PartOpAmp(const PartRecord& record, const StageInputs& circuit);

}  // namespace tervane
