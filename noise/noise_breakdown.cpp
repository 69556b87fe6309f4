#include "noise/noise_breakdown.h"

#include <algorithm>
#include <cmath>

#include "noise/band_integration.h"
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
      const double total = SignedRoot(r.bandPowers->source[SourceIndex(source)]);
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

// Whether a source's density rises as 1 + fc / f below the corner.
bool RisesBelowCorner(const StageInputs& s, NoiseSource source) {
  return source == NoiseSource::kVoltageNoise ||
         (s.applyCorner && (source == NoiseSource::kCurrentNoiseR2 || source == NoiseSource::kCurrentNoiseRs));
}

std::optional<double> CarriedPower(const StageInputs& s, const StageResult& r, Weighting weighting) {
  const double carried = r.carriedNoise.value_or(0);
  if (carried == 0) return 0.0;  // also where the bands do not meet
  // Over frequency it reaches the output through |G(f)|^2.
  if (const std::optional<BandPowers>& p = r.bandPowers)
    return carried * carried * p->carriedGain[WeightingIndex(weighting)] / p->carriedGain[0];
  const std::optional<WeightingIntegrals> band = IntegrateWeightings(CarriedBand(s));
  if (!band) return std::nullopt;
  return carried * carried * (*band)[weighting].flat / (*band)[Weighting::kNone].flat;
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
  SortLargestFirst(*rows);

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

std::optional<double> SourcePowerOverBand(const StageInputs& s, const StageResult& r, NoiseSource source,
                                          Weighting weighting) {
  if (r.failure) return std::nullopt;
  if (source == NoiseSource::kCarried) return CarriedPower(s, r, weighting);
  const std::size_t i = SourceIndex(source);
  if (r.bandPowers) {
    if (weighting == Weighting::kNone) return r.bandPowers->source[i];
    const std::optional<std::array<double, kStageSourceCount>> powers = IntegrateSources(s, weighting);
    if (!powers) return std::nullopt;
    return (*powers)[i];
  }
  if (weighting == Weighting::kNone) {
    const std::optional<StageTerms> terms = StageNoiseTerms(s, r.enCorrected, r.inCorrected);
    if (!terms) return std::nullopt;
    return terms->power[i] * (s.upperFreq - s.lowerFreq);
  }
  const std::optional<StageTerms> white = StageNoiseTerms(s, s.en, s.in);
  const std::optional<WeightingIntegrals> band = IntegrateWeightings({s.lowerFreq, s.upperFreq});
  if (!white || !band) return std::nullopt;
  const double power = white->power[i];
  const double oneOverF = RisesBelowCorner(s, source) ? s.cornerFreq * power : 0;
  return power * (*band)[weighting].flat + oneOverF * (*band)[weighting].perFrequency;
}

std::optional<NoiseBreakdown> BreakdownNoise(const StageInputs& s, const StageResult& r, double crestFactor,
                                             Weighting weighting) {
  std::optional<NoiseBreakdown> b = BreakdownNoise(s, r, crestFactor);
  if (!b || weighting == Weighting::kNone) return b;
  for (NoiseContribution& row : b->contributions) {
    const std::optional<double> power = SourcePowerOverBand(s, r, row.source, weighting);
    if (!power) return std::nullopt;
    row.total = SignedRoot(*power);
  }
  SetPercentages(b->contributions);
  SortLargestFirst(b->contributions);
  return b;
}

}  // namespace tervane
