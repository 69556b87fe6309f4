#include "noise/transimpedance.h"

#include <cmath>
#include <numbers>

#include "noise/noise_calculation.h"

namespace tervane {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Shunt(const StageInputs& s) { return s.shuntResistance ? 1 / *s.shuntResistance : 0; }
double FeedbackCapacitor(const StageInputs& s) { return s.feedbackCapacitor.value_or(0); }

bool HasLoop(const StageInputs& s) {
  return s.ampType == AMP_TRANSIMPEDANCE && s.r2 > 0 && s.shuntResistance.value_or(1) > 0 && !FindFaultyPart(s);
}

// The closed loop's characteristic polynomial a s^2 + b s + c, the + input
// at AC ground: A + NG = 0 with A = g / s, g = 2 pi GBW, is
// g Yf + s (Yin + Yf) = 0, so a = C + Cf, b = g Cf + G with G = 1/Rf + 1/Rsh,
// and c = g / Rf (noise_model.md, "The loop").
struct LoopPolynomial {
  double a = 0, b = 0, c = 0;
};

LoopPolynomial LoopPolynomialOf(const StageInputs& s) {
  const double g = kTwoPi * *s.gainBandwidth;
  const double cf = FeedbackCapacitor(s);
  return {TransimpedanceInputCapacitance(s) + cf, g * cf + 1 / s.r2 + Shunt(s), g / s.r2};
}

// The positive root of a x^2 + b x - c = 0 (a >= 0, c > 0), in the form
// that keeps its digits, a = 0 included.
double PositiveRoot(double a, double b, double c) {
  const double root = std::sqrt(b * b + 4 * a * c);
  return b >= 0 ? 2 * c / (b + root) : (root - b) / (2 * a);
}

// 180 degrees and the phase of the loop gain T = A / NG =
// g (1/Rf + s Cf) / (s (G + s (C + Cf))) where |T| = 1.
double PhaseMarginDegrees(const StageInputs& s) {
  const double g = kTwoPi * *s.gainBandwidth;
  const double gf = 1 / s.r2;
  const double cf = FeedbackCapacitor(s);
  const double conductance = gf + Shunt(s);
  const double capacitance = TransimpedanceInputCapacitance(s) + cf;
  const double gcf = g * cf;
  // |T(j w)|^2 = 1: (C + Cf)^2 w^4 + (G^2 - (g Cf)^2) w^2 - (g / Rf)^2 = 0.
  const double w =
      std::sqrt(PositiveRoot(capacitance * capacitance, conductance * conductance - gcf * gcf, g * g * gf * gf));
  const double radians = std::numbers::pi / 2 + std::atan(w * cf / gf) - std::atan(w * capacitance / conductance);
  return radians * 180 / std::numbers::pi;
}

}  // namespace

std::optional<TransimpedanceLoop> LoopOf(const StageInputs& s) {
  if (!HasLoop(s)) return std::nullopt;
  TransimpedanceLoop loop;
  if (!s.gainBandwidth) {
    // Zt = -Zf: Cf's corner, if any.
    if (FeedbackCapacitor(s) > 0) loop.bandwidth = 1 / (kTwoPi * s.r2 * FeedbackCapacitor(s));
    return loop;
  }
  const LoopPolynomial p = LoopPolynomialOf(s);
  loop.q = std::sqrt(p.a * p.c) / p.b;
  loop.phaseMarginDegrees = PhaseMarginDegrees(s);
  // Zt = -c Rf / P(s): |P(j w)|^2 = 2 c^2, a^2 w^4 + (b^2 - 2 a c) w^2 - c^2 = 0.
  loop.bandwidth = std::sqrt(PositiveRoot(p.a * p.a, p.b * p.b - 2 * p.a * p.c, p.c * p.c)) / kTwoPi;
  return loop;
}

CfForQResult CfForQ(const StageInputs& s) {
  CfForQResult result;
  if (!HasLoop(s)) {
    result.failure = CfForQFailure::kNoLoop;
    return result;
  }
  if (!s.gainBandwidth) {
    result.failure = CfForQFailure::kIdealOpAmp;
    return result;
  }
  const double g = kTwoPi * *s.gainBandwidth;
  const double gf = 1 / s.r2;
  const double gsh = Shunt(s);
  // Q^2 = 1/2: g^2 Cf^2 + 2 g Gsh Cf + G^2 - 2 g C / Rf = 0, whose roots
  // are (-Gsh +- sqrt(radicand)) / g: one at or above 0 where the loop
  // without Cf has Q >= 1/sqrt(2), none otherwise.
  const double radicand = 2 * g * TransimpedanceInputCapacitance(s) * gf - gf * (gf + 2 * gsh);
  if (!(radicand >= gsh * gsh)) {
    result.failure = CfForQFailure::kDampedWithoutCf;
    return result;
  }
  result.feedbackCapacitor = (std::sqrt(radicand) - gsh) / g;
  return result;
}

std::optional<double> InputCurrentDensity(const StageInputs& s, double frequency) {
  const std::optional<StageAtFrequency> at = StageAt(s, frequency);
  if (!at) return std::nullopt;
  double output = 0;
  for (const double p : at->power) output += p;
  return std::sqrt(output) / at->gain;
}

std::optional<double> OpticalPower(const StageInputs& s, double current) {
  if (s.responsivity.value_or(0) > 0) return current / *s.responsivity;
  return std::nullopt;
}

std::optional<TransimpedanceFigures> TransimpedanceFiguresOf(const StageInputs& s, const StageResult& r) {
  if (s.ampType != AMP_TRANSIMPEDANCE || r.failure) return std::nullopt;
  TransimpedanceFigures f;
  f.dcTransimpedance = std::fabs(s.r2);
  f.loop = LoopOf(s);
  f.centre = std::sqrt(s.lowerFreq * s.upperFreq);
  f.inputDensity = InputCurrentDensity(s, f.centre).value_or(NAN);
  f.inputNoise = r.inputNoise.value_or(NAN);
  f.nep = OpticalPower(s, f.inputDensity);
  f.minimumPower = OpticalPower(s, f.inputNoise);
  return f;
}

}  // namespace tervane
