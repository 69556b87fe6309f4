#include "form/part_ranking.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "notation/eng_parse.h"

namespace tervane {
namespace {

RankedPart RankedOf(std::string_view name, const PartRecord& record, const NoiseResult& r, Weighting weighting) {
  RankedPart part;
  part.name = name;
  part.noiseVoltageText = record.szNoiseVoltage;
  part.noiseCurrentText = record.szNoiseCurrent;
  part.cornerFreqText = record.szCornerFreq;
  part.commonModeCapacitanceText = record.szCommonModeCapacitance;
  part.differentialCapacitanceText = record.szDifferentialCapacitance;
  part.noiseVoltage = r.inputs.en;
  part.noiseCurrent = r.inputs.in;
  part.cornerFreq = r.inputs.cornerFreq;
  part.failed = r.outcome.failure.has_value();
  if (!r.outcome.failure) {
    part.outputDensity = r.outcome.outputDensity;
    part.totalNoise = r.outcome.totalNoise;
    part.snr = r.outcome.snr;
    if (const std::optional<NoiseFigures> figures = FiguresOf(r)) {
      part.weightedNoise = (*figures)[weighting].outputV;
      part.einDbu = (*figures)[weighting].einDbu;
      part.optimumSourceResistance = figures->optimumSourceOhm;
      if (r.inputs.ampType == AMP_TRANSIMPEDANCE) part.inputNoise = (*figures)[weighting].inputV;
    }
  }
  return part;
}

// The noise a part is ranked by, the input current in a transimpedance
// amplifier (`current`); none for a failed part or an undefined weighted
// total.
std::optional<double> RankedNoise(const RankedPart& part, Weighting weighting, bool current) {
  if (current) return part.inputNoise;
  return weighting == Weighting::kNone ? part.totalNoise : part.weightedNoise;
}

// Quietest first, then the parts without a ranked noise that succeed, then
// failures; a strict weak order, so that a stable sort keeps the list order
// among equals.
int Place(const RankedPart& part, Weighting weighting, bool current) {
  return part.failed ? 2 : RankedNoise(part, weighting, current) ? 0 : 1;
}

}  // namespace

OpAmpNoise PartOpAmp(const PartRecord& record, const StageInputs& circuit) {
  OpAmpNoise opAmp = OpAmpOf(circuit);
  opAmp.en = ParseEngValue(record.szNoiseVoltage);
  opAmp.in = ParseEngValue(record.szNoiseCurrent);
  opAmp.cornerFreq = ParseEngValue(record.szCornerFreq);
  // A line without them leaves the circuit's, typed for such parts.
  if (record.szGainBandwidth[0] != '\0') opAmp.gainBandwidth = ParseEngValue(record.szGainBandwidth);
  if (record.szCurrentCorner[0] != '\0') opAmp.currentCorner = ParseEngValue(record.szCurrentCorner);
  if (record.szInCorrelation[0] != '\0') opAmp.inCorrelation = ParseEngValue(record.szInCorrelation);
  // A part's input capacitances are its own: a line without them has none.
  const auto given = [](const char* word) {
    return word[0] != '\0' ? std::optional(ParseEngValue(word)) : std::nullopt;
  };
  opAmp.commonModeCapacitance = given(record.szCommonModeCapacitance);
  opAmp.differentialCapacitance = given(record.szDifferentialCapacitance);
  return opAmp;
}

std::vector<RankedPart> RankParts(const CalculatorForm& form, const PartLibrary& library, Weighting weighting) {
  return RankParts(ComputeNoise(form), library, weighting);
}

std::vector<RankedPart> RankParts(const NoiseResult& circuit, const PartLibrary& library, Weighting weighting) {
  std::vector<RankedPart> ranked;
  ranked.reserve(library.m_partTable.List().size());
  std::unordered_set<std::string_view> seen;
  std::optional<PreparedCircuit> prepared;  // at the first part over frequency
  NoiseResult trial = circuit;
  for (const std::string_view name : library.m_partTable.List()) {
    if (!seen.insert(name).second) continue;
    const std::optional<PartRecord> record = library.m_partTable.Lookup(name);
    if (!record) continue;  // every list entry has its record
    trial.inputs = WithOpAmp(circuit.inputs, PartOpAmp(*record, circuit.inputs));
    if (IsFrequencyDependent(trial.inputs) && !prepared) prepared.emplace(circuit.inputs);
    Recalculate(trial, IsFrequencyDependent(trial.inputs) ? &*prepared : nullptr);
    ranked.push_back(RankedOf(name, *record, trial, weighting));
  }
  const bool current = circuit.inputs.ampType == AMP_TRANSIMPEDANCE;
  std::stable_sort(ranked.begin(), ranked.end(), [weighting, current](const RankedPart& a, const RankedPart& b) {
    const int placeA = Place(a, weighting, current);
    const int placeB = Place(b, weighting, current);
    if (placeA != placeB || placeA != 0) return placeA < placeB;
    return *RankedNoise(a, weighting, current) < *RankedNoise(b, weighting, current);
  });
  return ranked;
}

}  // namespace tervane
