#include "noise/noise_calculation.h"

#include <cmath>

#include "notation/eng_parse.h"

namespace tervane {
namespace {

double Square(double x) { return x * x; }

}  // namespace

std::optional<StageTerms> StageNoiseTerms(const NoiseResult& r, double en, double in) {
  const double kT4 = r.fourKT;
  const double rs = r.sourceResistor;
  const double r2 = r.r2;
  StageTerms t;
  auto& p = t.power;
  p[SourceIndex(NoiseSource::kR2Thermal)] = kT4 * r2;
  p[SourceIndex(NoiseSource::kCurrentNoiseR2)] = Square(in * r2);
  switch (r.ampType) {
    case AMP_BUFFER:
      t.gain = 1.0;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square(en);
      p[SourceIndex(NoiseSource::kRsThermal)] = kT4 * rs;
      p[SourceIndex(NoiseSource::kCurrentNoiseRs)] = Square(in * rs);
      return t;
    case AMP_NONINVERTING: {
      if (r.r1 == 0) return std::nullopt;
      const double n = r2 / r.r1 + 1;
      t.gain = n;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square(n * en);
      p[SourceIndex(NoiseSource::kR1Thermal)] = kT4 * r2 * r2 / r.r1;
      p[SourceIndex(NoiseSource::kRsThermal)] = kT4 * rs * (n * n);
      p[SourceIndex(NoiseSource::kCurrentNoiseRs)] = Square(in * rs * n);
      return t;
    }
    case AMP_INVERTING: {
      if (r.r1 + rs == 0) return std::nullopt;
      const double a = r2 / (r.r1 + rs);
      t.gain = a;
      p[SourceIndex(NoiseSource::kVoltageNoise)] = Square((a + 1) * en);
      p[SourceIndex(NoiseSource::kR1Thermal)] = kT4 * r.r1 * (a * a);
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

namespace {

// The preceding stage's total noise as it reaches this stage's output: the
// part of it that lies in the new band (its power spreads evenly over the
// previous band), times this stage's gain.
double CarriedNoise(const CalculatorForm& form, NoiseResult& r, double gain) {
  double carried = r.carry;
  const double pl = form.m_dPrevLowerFreq;
  const double ph = form.m_dPrevUpperFreq;
  // Before any successful calculation there is no previous band to scale from.
  if (form.m_bHavePrevBand && !(r.lowerFreq <= pl && r.upperFreq >= ph)) {
    const double upper = r.upperFreq < ph ? r.upperFreq : ph;
    const double lower = r.lowerFreq <= pl ? pl : r.lowerFreq;
    // Bands that do not overlap share no noise at all.
    carried = upper < lower ? 0.0 : carried * std::sqrt((upper - lower) / (ph - pl));
    r.reduced = true;
  }
  return carried * gain;
}

bool AllFinite(const NoiseResult& r) {
  for (const auto& v : {r.outputDensity, r.gain, r.ownNoise, r.totalNoise, r.snr})
    if (v && !std::isfinite(*v)) return false;
  return std::isfinite(r.flicker);
}

}  // namespace

NoiseResult ComputeNoise(const CalculatorForm& form) {
  NoiseResult r;
  r.withCarry = form.m_bWithCarry != 0;
  r.applyCorner = form.m_bApplyCorner != 0;
  r.ampType = form.m_nAmpType;
  r.r1Read = form.m_nAmpType == AMP_NONINVERTING || form.m_nAmpType == AMP_INVERTING;

  r.temperature = ReadTemperature(form.m_strTemperature);
  r.fourKT = kFourBoltzmann * r.temperature.kelvin;
  r.en = ParseEngValue(form.m_strNoiseVoltage);
  r.in = ParseEngValue(form.m_strNoiseCurrent);
  r.lowerFreq = ParseEngValue(form.m_strLowerFreq);
  r.upperFreq = ParseEngValue(form.m_strUpperFreq);
  r.refVoltage = ParseEngValue(form.m_strRefVoltage);
  r.sourceResistor = ParseEngValue(form.m_strSourceResistor);
  r.r2 = ParseEngValue(form.m_strR2);
  r.cornerFreq = ParseEngValue(form.m_strCornerFreq);
  r.carry = ParseEngValue(form.m_strCarry);
  if (r.r1Read) r.r1 = ParseEngValue(form.m_strR1);

  // F^2 (fH - fL) is the integral over the band of (1 + fc / f).
  const double fL = r.lowerFreq;
  const double fH = r.upperFreq;
  r.flicker = std::sqrt(std::log(fH / fL) * r.cornerFreq / (fH - fL) + 1);
  r.enCorrected = r.en * r.flicker;
  r.inCorrected = r.applyCorner ? r.in * r.flicker : r.in;

  if (!(fL < fH)) r.error = true;
  if (r.refVoltage == 0) r.error = true;
  if (r.error) return r;

  const std::optional<StageTerms> stage = StageNoiseTerms(r, r.enCorrected, r.inCorrected);
  if (!stage) {
    r.error = true;
    return r;
  }
  const double density = std::sqrt(TotalPower(*stage));
  r.outputDensity = density;
  r.gain = stage->gain;
  r.ownNoise = std::sqrt(fH - fL) * density;
  double total = *r.ownNoise;
  if (r.withCarry) {
    const double carried = CarriedNoise(form, r, stage->gain);
    r.carriedNoise = carried;
    total = std::sqrt(total * total + carried * carried);
  }
  r.totalNoise = total;
  r.snr = 20 * std::log10(r.refVoltage / total);

  // Non-finite results are no results: reporting them (NaN prints as "0")
  // and carrying them into the next stage would pass a failure off as one.
  if (!AllFinite(r)) r.error = true;
  return r;
}

}  // namespace tervane
