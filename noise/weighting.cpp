#include "noise/weighting.h"

#include <algorithm>
#include <cmath>

namespace tervane {
namespace {

double Square(double x) { return x * x; }

// The A curve's poles (Hz) and its gain at 1 kHz put back: 2.00 dB as power.
constexpr double kA1 = 20.6;
constexpr double kA2 = 107.7;
constexpr double kA3 = 737.9;
constexpr double kA4 = 12194;
constexpr double kAPowerNormal = 1.5848931924611136;  // 10^(2.00 / 10)

// R_A(f)^2 = 12194^2 f^4 / ((f^2 + 20.6^2) sqrt((f^2 + 107.7^2)(f^2 + 737.9^2)) (f^2 + 12194^2)),
// written as factors that each stay within [0, 1] for any f, so that neither
// skirt overflows into inf / inf.
double APowerGain(double f) {
  const double s = f * f;
  return kAPowerNormal /
         (Square(1 + Square(kA1) / s) * (1 + Square(kA2) / s) * (1 + Square(kA3) / s) * Square(1 + s / Square(kA4)));
}

// The closed form of the ITU-R BS.468-4 curve, 18.2 dB above R_468(f) =
// 1.246332637532143e-4 f / |h1 + j h2|. Horner in f^2 and hypot keep the
// far skirts at 0 rather than inf - inf.
constexpr double k468Power = 66.06934480075961;   // 10^(18.2 / 10)
constexpr double kArmPower = 0.2754228703338166;  // 10^(-5.6 / 10): CCIR-ARM against 468
double Itu468PowerGain(double f) {
  const double s = f * f;
  const double h1 = ((-4.737338981378384e-24 * s + 2.043828333606125e-15) * s - 1.363894795463638e-7) * s + 1;
  const double h2 = f * ((1.306612257412824e-19 * s - 2.118150887518656e-11) * s + 5.559488023498642e-4);
  return k468Power * Square(1.246332637532143e-4 * f / std::hypot(h1, h2));
}

// Ten-point Gauss-Legendre on [-1, 1], the positive half of its nodes.
constexpr std::array<double, 5> kNodes{0.1488743389816312, 0.4333953941292472, 0.6794095682990244, 0.8650633666889845,
                                       0.9739065285171717};
constexpr std::array<double, 5> kWeights{0.2955242247147529, 0.2692667193099963, 0.2190863625159820, 0.1494513491505806,
                                         0.0666713443086881};

// Panels a sixth of a decade wide (one over a narrower band): the 468 curve's
// peak near 6.3 kHz is narrow enough that a third of a decade leaves errors
// of 2e-7; a sixth integrates every curve to about 1e-11 relative.
constexpr double kPanelsPerDecade = 6;

}  // namespace

double WeightingPowerGain(Weighting weighting, double frequency) {
  switch (weighting) {
    case Weighting::kNone:
      return 1;
    case Weighting::kA:
      return APowerGain(frequency);
    case Weighting::kItu468:
      return Itu468PowerGain(frequency);
    case Weighting::kCcirArm:
      return kArmPower * Itu468PowerGain(frequency);
  }
  return 1;
}

double WeightingDb(Weighting weighting, double frequency) {
  return 10 * std::log10(WeightingPowerGain(weighting, frequency));
}

std::optional<WeightingIntegrals> IntegrateWeightings(Band band) {
  const double lower = band.lower;
  const double upper = band.upper;
  const double ratio = upper / lower;
  if (!(lower > 0 && lower <= upper && std::isfinite(ratio))) return std::nullopt;

  WeightingIntegrals integrals;
  integrals.band = band;
  integrals.weighted[WeightingIndex(Weighting::kNone)] = {upper - lower, std::log(ratio)};

  // Geometric panels, each integrated in f: their ends are exact.
  const double decades = std::log10(ratio);
  const int panels = std::max(1, static_cast<int>(std::ceil(decades * kPanelsPerDecade)));
  const double step = std::log(ratio) / panels;
  WeightedBand a;
  WeightedBand itu;
  double from = lower;
  for (int k = 1; k <= panels; ++k) {
    const double to = k == panels ? upper : lower * std::exp(step * k);
    const double mid = (from + to) / 2;
    const double half = (to - from) / 2;
    for (std::size_t i = 0; i < kNodes.size(); ++i)
      for (const double f : {mid - half * kNodes[i], mid + half * kNodes[i]}) {
        const double w = half * kWeights[i];
        const double ga = APowerGain(f);
        const double gi = Itu468PowerGain(f);
        a.flat += w * ga;
        a.perFrequency += w * ga / f;
        itu.flat += w * gi;
        itu.perFrequency += w * gi / f;
      }
    from = to;
  }
  integrals.weighted[WeightingIndex(Weighting::kA)] = a;
  integrals.weighted[WeightingIndex(Weighting::kItu468)] = itu;
  integrals.weighted[WeightingIndex(Weighting::kCcirArm)] = {kArmPower * itu.flat, kArmPower * itu.perFrequency};
  return integrals;
}

}  // namespace tervane
