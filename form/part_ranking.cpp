#include "form/part_ranking.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "form/part_selection.h"

namespace tervane {
namespace {

RankedPart CalculatePart(CalculatorForm form, const std::string& name, Weighting weighting) {
  RankedPart part;
  part.name = name;
  part.noiseVoltageText = form.m_strNoiseVoltage;
  part.noiseCurrentText = form.m_strNoiseCurrent;
  part.cornerFreqText = form.m_strCornerFreq;
  const NoiseResult r = ComputeNoise(form);
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
    }
  }
  return part;
}

// The noise a part is ranked by; none for a failed part or an undefined
// weighted total.
std::optional<double> RankedNoise(const RankedPart& part, Weighting weighting) {
  return weighting == Weighting::kNone ? part.totalNoise : part.weightedNoise;
}

// Quietest first, then the parts without a ranked noise that succeed, then
// failures; a strict weak order, so that a stable sort keeps the list order
// among equals.
int Place(const RankedPart& part, Weighting weighting) {
  return part.failed ? 2 : RankedNoise(part, weighting) ? 0 : 1;
}

}  // namespace

std::vector<RankedPart> RankParts(const CalculatorForm& form, const PartLibrary& library, Weighting weighting) {
  std::vector<RankedPart> ranked;
  ranked.reserve(library.m_partList.size());
  std::unordered_set<std::string_view> seen;
  for (const std::string& name : library.m_partList) {
    if (!seen.insert(name).second) continue;
    CalculatorForm trial = form;
    if (!SelectPart(trial, library.m_partTable, name, MissingFigures::kKeepForm)) continue;  // every entry has one
    ranked.push_back(CalculatePart(std::move(trial), name, weighting));
  }
  std::stable_sort(ranked.begin(), ranked.end(), [weighting](const RankedPart& a, const RankedPart& b) {
    const int placeA = Place(a, weighting);
    const int placeB = Place(b, weighting);
    if (placeA != placeB || placeA != 0) return placeA < placeB;
    return *RankedNoise(a, weighting) < *RankedNoise(b, weighting);
  });
  return ranked;
}

}  // namespace tervane
