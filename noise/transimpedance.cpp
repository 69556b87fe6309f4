#include "noise/transimpedance.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <span>

#include "noise/complex_inverse.h"
#include "noise/log_quadrature.h"
#include "noise/physical_constants.h"

namespace tervane {
namespace {

using Complex = std::complex<double>;
using enum TransimpedanceSource;
using enum TransimpedanceFailure;
constexpr double kTwoPi = 2 * std::numbers::pi;

// The checks read every field.
static_assert(sizeof(TransimpedanceInputs) == 19 * sizeof(double));

double Conductance(double ohms) { return ohms > 0 ? 1 / ohms : 0; }

// C = Cd + Ccm + Cdiff: what the - input sees to ground with the + input grounded.
double InputCapacitance(const TransimpedanceInputs& t) {
  return t.diodeCapacitance + t.commonModeCapacitance + t.differentialCapacitance;
}

// The closed loop's characteristic polynomial a s^2 + b s + c, the + input
// at AC ground: A + NG = 0 with A = g / s, g = 2 pi GBW, is
// g Yf + s (Yin + Yf) = 0, so a = C + Cf, b = g Cf + G with G = 1/Rf + 1/Rsh,
// and c = g / Rf (noise_model.md, "The loop").
struct LoopPolynomial {
  double a = 0, b = 0, c = 0;
};

LoopPolynomial LoopPolynomialOf(const TransimpedanceInputs& t) {
  const double g = kTwoPi * t.gainBandwidth;
  return {InputCapacitance(t) + t.feedbackCapacitor,
          g * t.feedbackCapacitor + 1 / t.feedbackResistor + Conductance(t.shuntResistance), g / t.feedbackResistor};
}

// The positive root of a x^2 + b x - c = 0 (a >= 0, c > 0), in the form
// that keeps its digits, a = 0 included.
double PositiveRoot(double a, double b, double c) {
  const double root = std::sqrt(b * b + 4 * a * c);
  return b >= 0 ? 2 * c / (b + root) : (root - b) / (2 * a);
}

// 180 degrees and the phase of the loop gain T = A / NG =
// g (1/Rf + s Cf) / (s (G + s (C + Cf))) where |T| = 1.
double PhaseMarginDegrees(const TransimpedanceInputs& t) {
  const double g = kTwoPi * t.gainBandwidth;
  const double gf = 1 / t.feedbackResistor;
  const double conductance = gf + Conductance(t.shuntResistance);
  const double capacitance = InputCapacitance(t) + t.feedbackCapacitor;
  const double gcf = g * t.feedbackCapacitor;
  // |T(j w)|^2 = 1: (C + Cf)^2 w^4 + (G^2 - (g Cf)^2) w^2 - (g / Rf)^2 = 0.
  const double w =
      std::sqrt(PositiveRoot(capacitance * capacitance, conductance * conductance - gcf * gcf, g * g * gf * gf));
  const double radians =
      std::numbers::pi / 2 + std::atan(w * t.feedbackCapacitor / gf) - std::atan(w * capacitance / conductance);
  return radians * 180 / std::numbers::pi;
}

// Each source's output power density, from the |transfer|^2 of a current
// into the - input, |Zt|^2, and of one into the + input, `plus`.
void SetPowers(TransimpedanceAt& at, const TransimpedanceInputs& t, double frequency, double plus) {
  const double minus = std::norm(at.transimpedance);
  const double kT4 = kFourBoltzmann * t.kelvin;
  const double current = t.in * t.in * (1 + t.currentCorner / frequency);
  const auto set = [&at](TransimpedanceSource s, double power) { at.power[TransimpedanceIndex(s)] = power; };
  set(kVoltageNoise, t.en * t.en * (1 + t.cornerFreq / frequency) * std::norm(at.noiseGain * at.closedLoop));
  set(kCurrentNoiseMinus, current * minus);
  set(kCurrentNoisePlus, current * plus);
  set(kRfThermal, kT4 / t.feedbackResistor * minus);
  set(kRshThermal, kT4 * Conductance(t.shuntResistance) * minus);
  set(kRbThermal, kT4 * Conductance(t.biasResistor) * plus);
  set(kShotNoise, 2 * kElementaryCharge * (t.darkCurrent + t.photocurrent) * minus);
}

}  // namespace

std::optional<TransimpedanceFailure> TransimpedanceCircuitFailure(const TransimpedanceInputs& t) {
  const double values[] = {t.en,
                           t.in,
                           t.cornerFreq,
                           t.currentCorner,
                           t.gainBandwidth,
                           t.commonModeCapacitance,
                           t.differentialCapacitance,
                           t.shuntResistance,
                           t.diodeCapacitance,
                           t.feedbackResistor,
                           t.feedbackCapacitor,
                           t.biasResistor,
                           t.biasCapacitor,
                           t.darkCurrent,
                           t.photocurrent,
                           t.responsivity,
                           t.kelvin,
                           t.lowerFreq,
                           t.upperFreq};
  for (const double v : values)
    if (!(v >= 0 && std::isfinite(v))) return kBadValue;
  if (t.feedbackResistor == 0) return kNoFeedbackResistor;
  if (t.biasCapacitor > 0 && t.biasResistor == 0) return kCbWithoutRb;
  return std::nullopt;
}

TransimpedanceAt TransimpedanceResponseAt(const TransimpedanceInputs& t, double frequency) {
  const double w = kTwoPi * frequency;
  const Complex yf{1 / t.feedbackResistor, w * t.feedbackCapacitor};
  const Complex ym{Conductance(t.shuntResistance), w * (t.diodeCapacitance + t.commonModeCapacitance)};
  const Complex yd{0, w * t.differentialCapacitance};
  // The + input's impedance to ground, 0 where it is grounded. Cdiff's
  // current divides there: the op amp must amplify 1 + Yd Zp times more.
  const Complex zp =
      t.biasResistor > 0 ? Inverse({1 / t.biasResistor, w * (t.biasCapacitor + t.commonModeCapacitance)}) : 0.0;
  const Complex coupling = 1.0 + yd * zp;
  const Complex yin = ym + yd * Inverse(coupling);
  TransimpedanceAt at;
  at.feedbackImpedance = Inverse(yf);
  at.inputImpedance = yin == 0.0 ? Complex{std::numeric_limits<double>::infinity(), 0} : Inverse(yin);
  at.noiseGain = (1.0 + at.feedbackImpedance * yin) * coupling;
  at.closedLoop = t.gainBandwidth > 0 ? Inverse(1.0 + Complex{0, frequency / t.gainBandwidth} * at.noiseGain) : 1.0;
  at.transimpedance = -at.feedbackImpedance * at.closedLoop;
  SetPowers(at, t, frequency, std::norm(zp * (1.0 + at.feedbackImpedance * ym) * at.closedLoop));
  return at;
}

double InputCurrentDensity(const TransimpedanceAt& at) {
  double output = 0;
  for (const double p : at.power) output += p;
  return std::sqrt(output) / std::abs(at.transimpedance);
}

std::optional<double> OpticalPower(const TransimpedanceInputs& t, double current) {
  if (t.responsivity > 0) return current / t.responsivity;
  return std::nullopt;
}

TransimpedanceBand IntegrateTransimpedance(const TransimpedanceInputs& t) {
  TransimpedanceBand band;
  band.failure = TransimpedanceCircuitFailure(t);
  if (!band.failure && !(t.lowerFreq < t.upperFreq)) band.failure = kBandNotAscending;
  if (band.failure) return band;
  // Each source's power, then the input current's. The loop's one
  // resonance needs no breakpoints: its flanks, rising as 1/(1 - (f/f0)^2)^2
  // towards it, lead the halving there (noise_model.md, "The loop").
  constexpr std::size_t kInput = kTransimpedanceSourceCount;
  const std::optional<Quadrature> q =
      IntegrateOverBand({t.lowerFreq, t.upperFreq}, {}, kInput + 1, [&t](double f, std::span<double> values) {
        const TransimpedanceAt at = TransimpedanceResponseAt(t, f);
        double output = 0;
        for (std::size_t i = 0; i < kInput; ++i) output += values[i] = at.power[i];
        values[kInput] = output / std::norm(at.transimpedance);
      });
  if (!q) {
    band.failure = kBandNotAscending;  // fL = 0, or fH / fL beyond a double
    return band;
  }
  double output = 0;
  for (std::size_t i = 0; i < kInput; ++i) output += band.power[i] = q->integrals[i];
  band.outputNoise = std::sqrt(output);
  band.inputCurrentNoise = std::sqrt(q->integrals[kInput]);
  if (!std::isfinite(band.outputNoise) || !std::isfinite(band.inputCurrentNoise)) band.failure = kNotFinite;
  return band;
}

TransimpedanceLoop LoopOf(const TransimpedanceInputs& t) {
  TransimpedanceLoop loop;
  loop.failure = TransimpedanceCircuitFailure(t);
  if (loop.failure) return loop;
  if (t.gainBandwidth == 0) {
    // Zt = -Zf: Cf's corner, if any.
    if (t.feedbackCapacitor > 0) loop.bandwidth = 1 / (kTwoPi * t.feedbackResistor * t.feedbackCapacitor);
    return loop;
  }
  const LoopPolynomial p = LoopPolynomialOf(t);
  loop.q = std::sqrt(p.a * p.c) / p.b;
  loop.phaseMarginDegrees = PhaseMarginDegrees(t);
  // Zt = -c Rf / P(s): |P(j w)|^2 = 2 c^2, a^2 w^4 + (b^2 - 2 a c) w^2 - c^2 = 0.
  loop.bandwidth = std::sqrt(PositiveRoot(p.a * p.a, p.b * p.b - 2 * p.a * p.c, p.c * p.c)) / kTwoPi;
  return loop;
}

CfForQResult CfForQ(const TransimpedanceInputs& t) {
  CfForQResult result;
  result.failure = TransimpedanceCircuitFailure(t);
  if (!result.failure && t.gainBandwidth == 0) result.failure = kIdealOpAmp;
  if (result.failure) return result;
  const double g = kTwoPi * t.gainBandwidth;
  const double gf = 1 / t.feedbackResistor;
  const double gsh = Conductance(t.shuntResistance);
  // Q^2 = 1/2: g^2 Cf^2 + 2 g Gsh Cf + G^2 - 2 g C / Rf = 0, whose roots
  // are (-Gsh +- sqrt(radicand)) / g: one at or above 0 where the loop
  // without Cf has Q >= 1/sqrt(2), none otherwise.
  const double radicand = 2 * g * InputCapacitance(t) * gf - gf * (gf + 2 * gsh);
  if (!(radicand >= gsh * gsh)) {
    result.failure = kDampedWithoutCf;
    return result;
  }
  result.feedbackCapacitor = (std::sqrt(radicand) - gsh) / g;
  return result;
}

}  // namespace tervane
