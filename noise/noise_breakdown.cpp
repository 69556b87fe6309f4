#include "noise/noise_breakdown.h"

#include <algorithm>
#include <cmath>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

// The stage's own sources at their band-average densities, exactly the
// terms the report's Sn is made of: the closed form's terms, or over
// frequency each source's integral over the band.
std::optional<std::vector<NoiseContribution>> StageRows(const StageInputs& s, const StageResult& r, double rootBand) {
  std::vector<NoiseContribution> rows;
  if (r.bandPowers) {
    for (NoiseSource source : TopologySources(s)) {
      const double total = std::sqrt(r.bandPowers->source[SourceIndex(source)]);
      rows.push_back({source, total / rootBand, total, 0});
    }
    return rows;
  }
  const std::optional<StageTerms> terms = StageNoiseTerms(s, r.enCorrected, r.inCorrected);
  if (!terms) return std::nullopt;
  for (NoiseSource source : TopologySources(s)) {
    const double density = std::sqrt(terms->power[SourceIndex(source)]);
    rows.push_back({source, density, density * rootBand, 0});
  }
  return rows;
}

void SetPercentages(std::vector<NoiseContribution>& rows) {
  double power = 0;
  // Never 0: a calculation with no noise at all has an infinite SNR and fails.
  for (const NoiseContribution& row : rows) power += row.total * row.total;
  for (NoiseContribution& row : rows) row.percent = 100 * row.total * row.total / power;
}

}  // namespace

std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& s, const StageResult& r, double crestFactor) {
  if (r.failure || HasNegativePower(s, r)) return std::nullopt;
  const double rootBand = std::sqrt(s.upperFreq - s.lowerFreq);
  std::optional<std::vector<NoiseContribution>> rows = StageRows(s, r, rootBand);
  if (!rows) return std::nullopt;
  if (s.carry) {
    // A noise voltage's sign means nothing once it is added in power.
    const double carried = std::fabs(*r.carriedNoise);
    const Band band = CarriedBand(s);
    const double density = carried == 0 ? 0 : carried / std::sqrt(band.upper - band.lower);
    rows->push_back({NoiseSource::kCarried, density, carried, 0});
  }
  SetPercentages(*rows);
  std::stable_sort(rows->begin(), rows->end(),
                   [](const NoiseContribution& a, const NoiseContribution& b) { return a.total > b.total; });

  NoiseBreakdown b;
  b.contributions = std::move(*rows);
  b.outputTotal = *r.totalNoise;
  // Referred to the input through the gain's magnitude; infinite when the
  // stage has no gain (an inverting stage with R2 = 0).
  const double gain = std::fabs(*r.gain);
  b.inputReferred = b.outputTotal / gain;
  b.inputDensity = b.inputReferred / rootBand;
  b.crestFactor = crestFactor;
  b.peakToPeak = b.outputTotal * crestFactor;
  return b;
}

}  // namespace tervane
