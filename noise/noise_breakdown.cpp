#include "noise/noise_breakdown.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

// The stage's own sources at their band-average densities, exactly the
// terms the report's Sn is made of.
std::vector<NoiseContribution> StageRows(const StageInputs& s, const StageResult& r) {
  std::vector<NoiseContribution> rows;
  for (NoiseSource source : TopologySources(s))
    rows.push_back({source, r.sourceDensity[SourceIndex(source)], r.sourceNoise[SourceIndex(source)], 0});
  return rows;
}

// A row's power, negative for a negative correlation.
double PowerOf(const NoiseContribution& row) { return row.total * std::fabs(row.total); }

void SetPercentages(std::vector<NoiseContribution>& rows) {
  double power = 0;
  // Flat never 0 (a calculation with no noise at all has an infinite SNR
  // and fails), but a weighting may take all of it away.
  for (const NoiseContribution& row : rows) power += PowerOf(row);
  if (power > 0)
    for (NoiseContribution& row : rows) row.percent = 100 * row.total * std::fabs(row.total) / power;
}

}  // namespace

void SortLargestFirst(std::vector<NoiseContribution>& rows) {
  std::sort(rows.begin(), rows.end(), [](const NoiseContribution& a, const NoiseContribution& b) {
    return a.total != b.total ? a.total > b.total : a.source < b.source;
  });
}

std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& s, const StageResult& r, double crestFactor) {
  if (r.failure || HasNegativePower(s, r)) return std::nullopt;
  const double rootBand = std::sqrt(s.upperFreq - s.lowerFreq);
  std::vector<NoiseContribution> rows = StageRows(s, r);
  if (s.carry) {
    // A noise voltage's sign means nothing once it is added in power.
    const double carried = std::fabs(*r.carriedNoise);
    const Band band = CarriedBand(s);
    const double density = carried == 0 ? 0 : carried / std::sqrt(band.upper - band.lower);
    rows.push_back({NoiseSource::kCarried, density, carried, 0});
  }
  SetPercentages(rows);
  SortLargestFirst(rows);

  NoiseBreakdown b;
  b.contributions = std::move(rows);
  b.outputTotal = *r.totalNoise;
  // Referred to the input through the gain's magnitude; infinite when the
  // stage has no gain (an inverting stage with R2 = 0). The TIA's is its
  // input current, referred at each frequency.
  const double gain = std::fabs(*r.gain);
  b.inputReferred = r.inputNoise.value_or(b.outputTotal / gain);
  b.inputDensity = b.inputReferred / rootBand;
  b.crestFactor = crestFactor;
  b.peakToPeak = b.outputTotal * crestFactor;
  return b;
}

std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& s, const StageResult& r, double crestFactor,
                                             Weighting weighting) {
  std::optional<NoiseBreakdown> b = BreakdownNoise(s, r, crestFactor);
  if (!b || weighting == Weighting::kNone) return b;
  const std::optional<std::array<double, kStageSourceCount>> powers = SourcePowersOverBand(s, r, weighting);
  if (!powers) return std::nullopt;
  for (NoiseContribution& row : b->contributions)
    row.total = SignedRoot(row.source == NoiseSource::kCarried ? CarriedPower(r, weighting)
                                                               : (*powers)[SourceIndex(row.source)]);
  SetPercentages(b->contributions);
  SortLargestFirst(b->contributions);
  return b;
}

}  // namespace tervane
