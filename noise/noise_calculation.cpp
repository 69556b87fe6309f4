#include "noise/noise_calculation.h"

#include <algorithm>
#include <cmath>

#include "noise/band_integration.h"
#include "noise/physical_constants.h"
#include "noise/stage_response.h"

namespace tervane {
namespace {

double Square(double x) { return x * x; }

}  // namespace

std::optional<StageTerms> StageNoiseTerms(const StageInputs& s, double en, double in) {
  const double kT4 = kFourBoltzmann * s.kelvin;
  const double rs = s.sourceResistor;
  const double r2 = s.r2;
  StageTerms t;
  auto& p = t.power;
  p[SourceIndex(NoiseSource::kR2Thermal)] = kT4 * r2;
  p[SourceIndex(NoiseSource::kCurrentNoiseR2)] = Square(in * r2);
  switch (s.ampType) {
    case AMP_BUFFER:
      t.gain = 1.0;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square(en);
      p[SourceIndex(NoiseSource::kRsThermal)] = kT4 * rs;
      p[SourceIndex(NoiseSource::kCurrentNoiseRs)] = Square(in * rs);
      return t;
    case AMP_NONINVERTING: {
      if (s.r1 == 0) return std::nullopt;
      const double n = r2 / s.r1 + 1;
      t.gain = n;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square(n * en);
      p[SourceIndex(NoiseSource::kR1Thermal)] = kT4 * r2 * r2 / s.r1;
      p[SourceIndex(NoiseSource::kRsThermal)] = kT4 * rs * (n * n);
      p[SourceIndex(NoiseSource::kCurrentNoiseRs)] = Square(in * rs * n);
      return t;
    }
    case AMP_INVERTING: {
      if (s.r1 + rs == 0) return std::nullopt;
      const double a = r2 / (s.r1 + rs);
      t.gain = a;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square((a + 1) * en);
      p[SourceIndex(NoiseSource::kR1Thermal)] = kT4 * s.r1 * (a * a);
      p[SourceIndex(NoiseSource::kRsThermal)] = kT4 * rs * (a * a);
      return t;
    }
    default:  // no topology chosen: nothing to calculate
      return std::nullopt;
  }
}

double TotalPower(const StageTerms& terms) {
  // Left to right, the voltage noise first: the order fixes the rounding of
  // every reported figure. A missing source adds an exact zero.
  double sum = terms.power[0];
  for (std::size_t i = 1; i < terms.power.size(); ++i) sum += terms.power[i];
  return sum;
}

bool HasNegativePower(const StageInputs& s, const StageResult& r) {
  if (s.cornerFreq < 0) return true;
  if (IsFrequencyDependent(s)) {
    // Every term keeps its sign over frequency but for the 1/f rise (a
    // negative fci is refused before any result).
    const std::optional<StageResponse> at = StageResponseAt(s, std::sqrt(s.lowerFreq * s.upperFreq));
    if (!at) return false;
    for (std::size_t i = 0; i < kStageSourceCount; ++i)
      if (at->power[i] < 0 && !IsSigned(static_cast<NoiseSource>(i))) return true;
    return false;
  }
  const std::optional<StageTerms> terms = StageNoiseTerms(s, r.enCorrected, r.inCorrected);
  return terms && std::any_of(terms->power.begin(), terms->power.end(), [](double p) { return p < 0; });
}

std::optional<FaultyPart> FindFaultyPart(const StageInputs& s) {
  // Capacitances, an inductance and frequencies: none of them below 0.
  for (std::optional<double> StageInputs::*part :
       {&StageInputs::sourceInductance, &StageInputs::loadCapacitor, &StageInputs::feedbackCapacitor,
        &StageInputs::gainBandwidth, &StageInputs::currentCorner, &StageInputs::biasCapacitor})
    if ((s.*part).value_or(0) < 0) return FaultyPart{PartFault::kNegative, part};
  if (s.biasCapacitor && !s.biasResistor) return FaultyPart{PartFault::kBiasCapacitorAlone, &StageInputs::biasCapacitor};
  if (const double c = s.inCorrelation.value_or(0); !(c >= -1 && c <= 1))
    return FaultyPart{PartFault::kCorrelationOutOfRange, &StageInputs::inCorrelation};
  return std::nullopt;
}

namespace {

// The part of the preceding stage's total noise that lies in the new band:
// its power spreads evenly over the previous band.
double CarriedInBand(const StageInputs& s, bool& reduced) {
  double carried = *s.carry;
  // Before any successful calculation there is no previous band to scale from.
  if (const std::optional<Band>& prev = s.previousBand;
      prev && !(s.lowerFreq <= prev->lower && s.upperFreq >= prev->upper)) {
    const Band overlap = CarriedBand(s);
    // Bands that do not overlap share no noise at all.
    carried = overlap.upper < overlap.lower
                  ? 0.0
                  : carried * std::sqrt((overlap.upper - overlap.lower) / (prev->upper - prev->lower));
    reduced = true;
  }
  return carried;
}

bool AllFinite(const StageResult& r) {
  for (const auto& v : {r.outputDensity, r.gain, r.ownNoise, r.totalNoise, r.snr})
    if (v && !std::isfinite(*v)) return false;
  return std::isfinite(r.flicker);
}

// The flicker factors and the band and reference checks, which every path
// runs first.
StageResult Begin(const StageInputs& s) {
  StageResult r;
  // F^2 (fH - fL) is the integral over the band of (1 + fc / f).
  const double fL = s.lowerFreq;
  const double fH = s.upperFreq;
  r.flicker = std::sqrt(std::log(fH / fL) * s.cornerFreq / (fH - fL) + 1);
  r.enCorrected = s.en * r.flicker;
  r.inCorrected = s.currentCorner ? s.in * std::sqrt(std::log(fH / fL) * *s.currentCorner / (fH - fL) + 1)
                  : s.applyCorner ? s.in * r.flicker
                                  : s.in;

  if (!(fL < fH))
    r.failure = StageFailure::kBandNotAscending;
  else if (s.refVoltage == 0)
    r.failure = StageFailure::kZeroReference;
  return r;
}

// The textbook stage: the closed forms of noise_model.md.
StageResult ClosedForm(const StageInputs& s, StageResult r) {
  const std::optional<StageTerms> stage = StageNoiseTerms(s, r.enCorrected, r.inCorrected);
  if (!stage) {
    r.failure = StageFailure::kNoSolution;
    return r;
  }
  const double density = std::sqrt(TotalPower(*stage));
  r.outputDensity = density;
  r.gain = stage->gain;
  r.ownNoise = std::sqrt(s.upperFreq - s.lowerFreq) * density;
  double total = *r.ownNoise;
  if (s.carry) {
    const double carried = CarriedInBand(s, r.reduced) * stage->gain;
    r.carriedNoise = carried;
    total = std::sqrt(total * total + carried * carried);
  }
  r.totalNoise = total;
  r.snr = 20 * std::log10(s.refVoltage / total);
  return r;
}

// The stage over frequency: its band integrals from `integrate`.
template <class Integrate>
StageResult OverFrequency(const StageInputs& s, StageResult r, Integrate integrate) {
  if (s.ampType == AMP_INVERTING && (s.loadResistor || s.loadCapacitor)) {
    r.failure = StageFailure::kLoadOnInverting;
    return r;
  }
  if (FindFaultyPart(s)) {
    r.failure = StageFailure::kFaultyPart;
    return r;
  }
  if (LosslessResonance(s)) {
    r.failure = StageFailure::kLosslessResonance;
    return r;
  }
  if (ExcessNoiseOfNoResistor(s)) {
    r.failure = StageFailure::kExcessNoiseOfNoResistor;
    return r;
  }
  const std::optional<CircuitAt> atGainFrequency = CircuitResponseAt(s, kGainFrequency);
  if (!atGainFrequency) {
    r.failure = StageFailure::kNoSolution;
    return r;
  }
  const std::optional<BandPowers> powers = integrate();
  if (!powers) {
    r.failure = StageFailure::kNotFinite;
    return r;
  }
  double own = 0;
  for (const double p : powers->source) own += p;
  r.bandPowers = powers;
  r.gain = std::abs(RespondWith(*atGainFrequency, OpAmpOf(s)).gain);
  r.outputDensity = std::sqrt(own / (s.upperFreq - s.lowerFreq));
  r.ownNoise = std::sqrt(own);
  double total = own;
  if (s.carry) {
    // Flat over the carried band before the stage, through |G(f)|^2 after it.
    const double inBand = CarriedInBand(s, r.reduced);
    const Band band = CarriedBand(s);
    const double carried =
        inBand == 0 ? 0 : inBand * std::sqrt(powers->carriedGain[0] / (band.upper - band.lower));
    r.carriedNoise = carried;
    total += carried * carried;
  }
  r.totalNoise = std::sqrt(total);
  r.snr = 20 * std::log10(s.refVoltage / *r.totalNoise);
  return r;
}

// Non-finite results are no results: reporting them (NaN prints as "0")
// and carrying them into the next stage would pass a failure off as one.
StageResult Checked(StageResult r) {
  if (!r.failure && !AllFinite(r)) r.failure = StageFailure::kNotFinite;
  return r;
}

}  // namespace

StageResult CalculateStage(const StageInputs& s) {
  StageResult r = Begin(s);
  if (r.failure) return r;
  if (IsFrequencyDependent(s)) return Checked(OverFrequency(s, r, [&] { return IntegrateStage(s); }));
  return Checked(ClosedForm(s, r));
}

StageResult CalculateStage(const StageInputs& s, const BandPowers& powers) {
  if (!IsFrequencyDependent(s)) return CalculateStage(s);
  StageResult r = Begin(s);
  if (r.failure) return r;
  return Checked(OverFrequency(s, r, [&] { return std::optional<BandPowers>(powers); }));
}

StageResult CalculateStage(const PreparedCircuit& circuit, const OpAmpNoise& opAmp) {
  const StageInputs s = WithOpAmp(circuit.Stage(), opAmp);
  if (!IsFrequencyDependent(s)) return CalculateStage(s);
  StageResult r = Begin(s);
  if (r.failure) return r;
  return Checked(OverFrequency(s, r, [&] { return circuit.Integrate(opAmp); }));
}

}  // namespace tervane
