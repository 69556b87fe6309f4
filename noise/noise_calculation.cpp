#include "noise/noise_calculation.h"

#include <array>
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
  for (std::size_t i = 0; i < kStageSourceCount; ++i)
    if (r.sourceNoise[i] < 0 && !IsSigned(static_cast<NoiseSource>(i))) return true;
  return false;
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
  // The photodiode's parts and the op amp's input capacitances, which only
  // the TIA reads: none of them below 0, nor a responsivity of 0.
  if (s.ampType != AMP_TRANSIMPEDANCE) return std::nullopt;
  for (std::optional<double> StageInputs::*part :
       {&StageInputs::diodeCapacitance, &StageInputs::darkCurrent, &StageInputs::photocurrent,
        &StageInputs::responsivity, &StageInputs::commonModeCapacitance, &StageInputs::differentialCapacitance})
    if ((s.*part).value_or(0) < 0) return FaultyPart{PartFault::kNegative, part};
  if (s.responsivity == 0.0) return FaultyPart{PartFault::kZeroResponsivity, &StageInputs::responsivity};
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
  for (const auto& v : {r.outputDensity, r.gain, r.ownNoise, r.totalNoise, r.snr, r.inputNoise})
    if (v && !std::isfinite(*v)) return false;
  return std::isfinite(r.flicker);
}

// The integrals of the last few bands asked for, so that a ranking, a stage
// with its carried noise, or a view redrawn integrates each band once.
std::optional<WeightingIntegrals> IntegralsOf(Band band) {
  constexpr std::size_t kKept = 4;
  thread_local std::array<std::optional<WeightingIntegrals>, kKept> kept;
  thread_local std::size_t next = 0;
  for (const auto& entry : kept)
    if (entry && entry->band == band) return entry;
  std::optional<WeightingIntegrals> integrals = IntegrateWeightings(band);
  if (integrals) {
    kept[next] = integrals;
    next = (next + 1) % kKept;
  }
  return integrals;
}

// Whether each stage source rises below the corner (RisesBelowCorner), by
// SourceIndex: the rule read from the source table once.
const std::array<bool, kStageSourceCount>& Rising(bool applyCorner) {
  static const std::array<std::array<bool, kStageSourceCount>, 2> kRising = [] {
    std::array<std::array<bool, kStageSourceCount>, 2> rising{};
    for (const bool corner : {false, true})
      for (std::size_t i = 0; i < kStageSourceCount; ++i)
        rising[corner][i] = RisesBelowCorner(DriveOf(static_cast<NoiseSource>(i)), corner);
    return rising;
  }();
  return kRising[applyCorner];
}

// The op amp's densities with `rise` on each that rises below the corner
// (RisesBelowCorner): the band's F for en' and in', sqrt(1 + fc / f) at f.
struct OpAmpDensities {
  double en = 0;
  double in = 0;
};
OpAmpDensities Risen(const StageInputs& s, double rise) {
  const auto risen = [&](SourceDrive drive, double density) {
    return RisesBelowCorner(drive, s.applyCorner) ? density * rise : density;
  };
  return {risen(SourceDrive::kVoltage, s.en), risen(SourceDrive::kCurrent, s.in)};
}

// The flicker factors and the band and reference checks, which every path
// runs first.
StageResult Begin(const StageInputs& s) {
  StageResult r;
  // F^2 (fH - fL) is the integral over the band of (1 + fc / f).
  const double fL = s.lowerFreq;
  const double fH = s.upperFreq;
  r.flicker = std::sqrt(std::log(fH / fL) * s.cornerFreq / (fH - fL) + 1);
  const OpAmpDensities corrected = Risen(s, r.flicker);
  r.enCorrected = corrected.en;
  r.inCorrected =
      s.currentCorner ? s.in * std::sqrt(std::log(fH / fL) * *s.currentCorner / (fH - fL) + 1) : corrected.in;

  // The TIA's signal is its photocurrent: it reads no reference.
  if (!(fL < fH))
    r.failure = StageFailure::kBandNotAscending;
  else if (s.refVoltage == 0 && s.ampType != AMP_TRANSIMPEDANCE)
    r.failure = StageFailure::kZeroReference;
  return r;
}

// The textbook stage's powers through each weighting (noise_model.md,
// "Data-sheet figures"), from its terms with en and in: the white part
// S_w I_W and the 1/f part S_1 J_W; the carried noise flat over its band.
void SetWeightedPowers(const StageInputs& s, const StageTerms& white, double carried, BandPowers& p) {
  p.weighted.fill(NAN);
  p.carriedGain.fill(NAN);
  const std::optional<WeightingIntegrals> band = IntegralsOf({s.lowerFreq, s.upperFreq});
  const std::optional<WeightingIntegrals> carriedBand =
      carried == 0 ? std::nullopt : IntegralsOf(CarriedBand(s));  // none where the bands do not meet
  // Added from the last term back, en + (in R2 + in Rs): the order fixes the
  // rounding of every figure.
  const std::array<bool, kStageSourceCount>& rises = Rising(s.applyCorner);
  double rising = 0;
  for (std::size_t i = kStageSourceCount; i-- > 0;)
    if (rises[i]) rising += white.power[i];
  const double sum = TotalPower(white);
  const double oneOverF = s.cornerFreq * rising;
  for (const Weighting w : kWeightings) {
    const std::size_t i = WeightingIndex(w);
    if (band) p.weighted[i] = sum * (*band)[w].flat + oneOverF * (*band)[w].perFrequency;
    if (carriedBand) p.carriedGain[i] = (*carriedBand)[w].flat;
  }
}

// The textbook stage: the closed forms of noise_model.md.
void ClosedForm(const StageInputs& s, StageResult& r) {
  const std::optional<StageTerms> stage = StageNoiseTerms(s, r.enCorrected, r.inCorrected);
  const std::optional<StageTerms> white = StageNoiseTerms(s, s.en, s.in);
  if (!stage || !white) {
    r.failure = StageFailure::kNoSolution;
    return;
  }
  const double band = s.upperFreq - s.lowerFreq;
  const double rootBand = std::sqrt(band);
  const double density = std::sqrt(TotalPower(*stage));
  r.outputDensity = density;
  r.gain = stage->gain;
  r.ownNoise = rootBand * density;
  double total = *r.ownNoise;
  if (s.carry) {
    const double carried = CarriedInBand(s, r.reduced) * stage->gain;
    r.carriedNoise = carried;
    total = std::sqrt(total * total + carried * carried);
  }
  r.totalNoise = total;
  r.snr = 20 * std::log10(s.refVoltage / total);
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    r.sourceDensity[i] = SignedRoot(stage->power[i]);
    r.sourceNoise[i] = r.sourceDensity[i] * rootBand;
    r.powers.source[i] = stage->power[i] * band;
  }
  BandPowers& p = r.powers;
  if (s.sourceResistor > 0) p.sourcePerKelvin = kFourBoltzmann * s.sourceResistor * white->gain * white->gain * band;
  p.loadedSourcePerKelvin = p.sourcePerKelvin;
  SetWeightedPowers(s, *white, r.carriedNoise.value_or(0), p);
}

// The first check of the circuit over frequency that fails, in
// StageFailure's order; none where it has a solution.
std::optional<StageFailure> CircuitFailure(const StageInputs& s) {
  const bool transimpedance = s.ampType == AMP_TRANSIMPEDANCE;
  if (s.ampType == AMP_INVERTING && (s.loadResistor || s.loadCapacitor)) return StageFailure::kLoadOnInverting;
  if (transimpedance && (s.sourceInductance || s.loadResistor || s.loadCapacitor))
    return StageFailure::kSourcePartOnTransimpedance;
  if (transimpedance && s.carry) return StageFailure::kCarryIntoTransimpedance;
  if (FindFaultyPart(s)) return StageFailure::kFaultyPart;
  if (LosslessResonance(s)) return StageFailure::kLosslessResonance;
  if (ExcessNoiseOfNoResistor(s)) return StageFailure::kExcessNoiseOfNoResistor;
  return std::nullopt;
}

// The TIA's signal: its photocurrent through |Zt(0)| = Rf, against its
// output noise; none without a photocurrent, which a dark detector lacks.
std::optional<double> TransimpedanceSnr(const StageInputs& s, double outputNoise) {
  const double signal = s.photocurrent.value_or(0) * std::fabs(s.r2);
  if (signal == 0) return std::nullopt;
  return 20 * std::log10(signal / outputNoise);
}

// The stage over frequency: its band integrals from `integrate`.
template <class Integrate>
void OverFrequency(const StageInputs& s, StageResult& r, Integrate integrate) {
  r.failure = CircuitFailure(s);
  if (r.failure) return;
  const std::optional<CircuitAt> atGainFrequency = CircuitResponseAt(s, kGainFrequency);
  if (!atGainFrequency) {
    r.failure = StageFailure::kNoSolution;
    return;
  }
  const std::optional<BandPowers> powers = integrate();
  if (!powers) {
    r.failure = StageFailure::kNotFinite;
    return;
  }
  double own = 0;
  for (const double p : powers->source) own += p;
  r.powers = *powers;
  const double rootBand = std::sqrt(s.upperFreq - s.lowerFreq);
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    r.sourceNoise[i] = SignedRoot(powers->source[i]);
    r.sourceDensity[i] = r.sourceNoise[i] / rootBand;
  }
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
  if (s.ampType != AMP_TRANSIMPEDANCE) {
    r.snr = 20 * std::log10(s.refVoltage / *r.totalNoise);
    return;
  }
  r.snr = TransimpedanceSnr(s, *r.totalNoise);
  r.inputNoise = std::sqrt(powers->inputPower[WeightingIndex(Weighting::kNone)]);
}

// Non-finite results are no results: reporting them (NaN prints as "0")
// and carrying them into the next stage would pass a failure off as one.
void Check(StageResult& r) {
  if (!r.failure && !AllFinite(r)) r.failure = StageFailure::kNotFinite;
}

}  // namespace

StageResult CalculateStage(const StageInputs& s) {
  StageResult r = Begin(s);
  if (r.failure) return r;
  if (IsFrequencyDependent(s))
    OverFrequency(s, r, [&] { return IntegrateStage(s); });
  else
    ClosedForm(s, r);
  Check(r);
  return r;
}

StageResult CalculateStage(const StageInputs& s, const BandPowers& powers) {
  if (!IsFrequencyDependent(s)) return CalculateStage(s);
  StageResult r = Begin(s);
  if (r.failure) return r;
  OverFrequency(s, r, [&] { return std::optional<BandPowers>(powers); });
  Check(r);
  return r;
}

StageResult CalculateStage(const PreparedCircuit& circuit, const OpAmpNoise& opAmp) {
  const StageInputs s = WithOpAmp(circuit.Stage(), opAmp);
  if (!IsFrequencyDependent(s)) return CalculateStage(s);
  StageResult r = Begin(s);
  if (r.failure) return r;
  OverFrequency(s, r, [&] { return circuit.Integrate(opAmp); });
  Check(r);
  return r;
}

std::optional<StageAtFrequency> StageAt(const StageInputs& s, double frequency) {
  if (IsFrequencyDependent(s)) {
    const std::optional<StageResponse> response = StageResponseAt(s, frequency);
    if (!response) return std::nullopt;
    const double gain = std::abs(response->gain);
    return StageAtFrequency{response->power, gain, gain};
  }
  const OpAmpDensities risen = Risen(s, std::sqrt(1 + s.cornerFreq / frequency));
  const std::optional<StageTerms> terms = StageNoiseTerms(s, risen.en, risen.in);
  if (!terms) return std::nullopt;
  return StageAtFrequency{terms->power, std::fabs(terms->gain), 1};
}

std::optional<std::array<double, kStageSourceCount>> SourcePowersOverBand(const StageInputs& s, const StageResult& r,
                                                                          Weighting weighting) {
  if (r.failure) return std::nullopt;
  if (weighting == Weighting::kNone) return r.powers.source;
  if (IsFrequencyDependent(s)) return IntegrateSources(s, weighting);
  const std::optional<StageTerms> white = StageNoiseTerms(s, s.en, s.in);
  const std::optional<WeightingIntegrals> band = IntegralsOf({s.lowerFreq, s.upperFreq});
  if (!white || !band) return std::nullopt;
  const std::array<bool, kStageSourceCount>& rises = Rising(s.applyCorner);
  std::array<double, kStageSourceCount> powers{};
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    const double power = white->power[i];
    const double oneOverF = rises[i] ? s.cornerFreq * power : 0;
    powers[i] = power * (*band)[weighting].flat + oneOverF * (*band)[weighting].perFrequency;
  }
  return powers;
}

double CarriedPower(const StageResult& r, Weighting weighting) {
  const double carried = r.carriedNoise.value_or(0);
  if (carried == 0) return 0;
  const std::array<double, kWeightingCount>& gain = r.powers.carriedGain;
  return carried * carried * gain[WeightingIndex(weighting)] / gain[0];
}

}  // namespace tervane
