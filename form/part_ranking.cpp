#include "form/part_ranking.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_set>

#include "form/form_calculation.h"
#include "form/part_selection.h"

namespace tervane {
namespace {

RankedPart CalculatePart(CalculatorForm form, const std::string& name) {
  RankedPart part;
  part.name = name;
  part.noiseVoltageText = form.m_strNoiseVoltage;
  part.noiseCurrentText = form.m_strNoiseCurrent;
  part.cornerFreqText = form.m_strCornerFreq;
  const NoiseResult r = ComputeNoise(form);
  part.noiseVoltage = r.en;
  part.noiseCurrent = r.in;
  part.cornerFreq = r.cornerFreq;
  part.failed = r.failure.has_value();
  if (!r.failure) {
    part.outputDensity = r.outputDensity;
    part.totalNoise = r.totalNoise;
    part.snr = r.snr;
  }
  if (const double ratio = r.en / r.in; r.in != 0 && std::isfinite(ratio)) part.optimumSourceResistance = ratio;
  return part;
}

// Quietest first, failures after every success; a strict weak order, so
// that a stable sort keeps the list order among equals.
bool QuieterThan(const RankedPart& a, const RankedPart& b) {
  if (a.failed || b.failed) return !a.failed && b.failed;
  return *a.totalNoise < *b.totalNoise;
}

}  // namespace

std::vector<RankedPart> RankParts(const CalculatorForm& form, const PartLibrary& library) {
  std::vector<RankedPart> ranked;
  ranked.reserve(library.m_partList.size());
  std::unordered_set<std::string_view> seen;
  for (const std::string& name : library.m_partList) {
    if (!seen.insert(name).second) continue;
    CalculatorForm trial = form;
    if (!SelectPart(trial, library.m_partTable, name)) continue;  // every list entry has its record
    ranked.push_back(CalculatePart(std::move(trial), name));
  }
  std::stable_sort(ranked.begin(), ranked.end(), QuieterThan);
  return ranked;
}

}  // namespace tervane
