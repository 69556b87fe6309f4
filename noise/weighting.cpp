#include "noise/weighting.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "noise/lanes.h"
#include "noise/log_quadrature.h"

namespace tervane {
namespace {

// Each curve is a template on Real, a double or one in each of two lanes
// (Lanes), so that a panel's nodes have their gains worked out two at a
// time, the same to the last bit.
template <typename Real>
Real Square(Real x) {
  return x * x;
}

// The A curve's poles (Hz) and its gain at 1 kHz put back: 2.00 dB as power.
constexpr double kA1 = 20.6;
constexpr double kA2 = 107.7;
constexpr double kA3 = 737.9;
constexpr double kA4 = 12194;
constexpr double kAPowerNormal = 1.5848931924611136;  // 10^(2.00 / 10)

// R_A(f)^2 = 12194^2 f^4 / ((f^2 + 20.6^2) sqrt((f^2 + 107.7^2)(f^2 + 737.9^2)) (f^2 + 12194^2)),
// written as factors that each stay within [0, 1] for any f, so that neither
// skirt overflows into inf / inf.
template <typename Real>
Real APowerGain(Real f) {
  const Real s = f * f;
  return kAPowerNormal /
         (Square(1 + Square(kA1) / s) * (1 + Square(kA2) / s) * (1 + Square(kA3) / s) * Square(1 + s / Square(kA4)));
}

// The closed form of the ITU-R BS.468-4 curve, 18.2 dB above R_468(f) =
// 1.246332637532143e-4 f / |h1 + j h2|. Horner in f^2 keeps the far skirts
// at 0 rather than inf - inf, and hypot where |h|^2 overflows (above about
// 1e29 Hz).
constexpr double k468Power = 66.06934480075961;   // 10^(18.2 / 10)
constexpr double kArmPower = 0.2754228703338166;  // 10^(-5.6 / 10): CCIR-ARM against 468
template <typename Real>
struct Itu468Response {
  Real h1{};
  Real h2{};
  Real Power() const { return h1 * h1 + h2 * h2; }  // |h|^2
};
template <typename Real>
Itu468Response<Real> Itu468ResponseAt(Real f) {
  const Real s = f * f;
  return {((-4.737338981378384e-24 * s + 2.043828333606125e-15) * s - 1.363894795463638e-7) * s + 1,
          f * ((1.306612257412824e-19 * s - 2.118150887518656e-11) * s + 5.559488023498642e-4)};
}
// The power gain from a finite |h|^2: 0, or NaN, where it is not.
template <typename Real>
Real Itu468FromPower(Real f, Real power) {
  return k468Power * Square(1.246332637532143e-4 * f) / power;
}
double Itu468PowerGain(double f) {
  const Itu468Response<double> h = Itu468ResponseAt(f);
  const double power = h.Power();
  if (!std::isfinite(power)) return k468Power * Square(1.246332637532143e-4 * f / std::hypot(h.h1, h.h2));
  return Itu468FromPower(f, power);
}

// The RIAA playback curve, (1 + j w T2) / ((1 + j w T1)(1 + j w T3)) with
// s = w^2, as factors that stay finite at either end:
// (1 + s T2^2) / (1 + s T1^2) = r + (1 - r) / (1 + s T1^2), r = (T2 / T1)^2.
constexpr double kT1 = 3180e-6;
constexpr double kT2 = 318e-6;
constexpr double kT3 = 75e-6;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kShelf = kT2 * kT2 / (kT1 * kT1);
template <typename Real>
constexpr Real RiaaShape(Real s) {
  return (kShelf + (1 - kShelf) / (1 + s * kT1 * kT1)) / (1 + s * kT3 * kT3);
}
constexpr double kRiaaAt1k = RiaaShape(kTwoPi * 1000 * kTwoPi * 1000);
template <typename Real>
Real RiaaPowerGain(Real f) {
  return RiaaShape(Square(kTwoPi * f)) / kRiaaAt1k;
}

// The integrals of the curved weightings: |W|^2 and |W|^2 / f of A, 468,
// RIAA and RIAA+A.
constexpr std::array<Weighting, 4> kIntegrated{Weighting::kA, Weighting::kItu468, Weighting::kRiaa, Weighting::kRiaaA};

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
    case Weighting::kRiaa:
      return RiaaPowerGain(frequency);
    case Weighting::kRiaaA:
      return RiaaPowerGain(frequency) * APowerGain(frequency);
  }
  return 1;
}

std::array<double, kWeightingCount> WeightingPowerGains(double frequency) {
  const double a = APowerGain(frequency);
  const double itu = Itu468PowerGain(frequency);
  const double riaa = RiaaPowerGain(frequency);
  return {1, a, itu, kArmPower * itu, riaa, riaa * a};
}

std::array<Lanes, kWeightingCount> WeightingPowerGains(Lanes frequencies) {
  const Lanes a = APowerGain(frequencies);
  Lanes itu = Itu468FromPower(frequencies, Itu468ResponseAt(frequencies).Power());
  // The 468 curve's skirts, where its closed form gives 0 or NaN, a lane at a time.
  for (const int lane : {0, 1})
    if (!(itu[lane] > 0 && std::isfinite(itu[lane]))) itu[lane] = Itu468PowerGain(frequencies[lane]);
  const Lanes riaa = RiaaPowerGain(frequencies);
  return {Lanes{1, 1}, a, itu, kArmPower * itu, riaa, riaa * a};
}

void WeightingPowerGains(std::span<const double> frequencies, std::span<std::array<double, kWeightingCount>> gains) {
  // Two frequencies at a time, the odd one out in both lanes.
  for (std::size_t n = 0; n < frequencies.size(); n += 2) {
    const std::size_t m = std::min(n + 1, frequencies.size() - 1);
    const std::array<Lanes, kWeightingCount> pair = WeightingPowerGains(Lanes{frequencies[n], frequencies[m]});
    for (std::size_t w = 0; w < kWeightingCount; ++w) {
      gains[n][w] = pair[w][0];
      gains[m][w] = pair[w][1];
    }
  }
}

double WeightingDb(Weighting weighting, double frequency) {
  return 10 * std::log10(WeightingPowerGain(weighting, frequency));
}

std::optional<WeightingIntegrals> IntegrateWeightings(Band band) {
  const std::optional<Quadrature> q =
      IntegrateOverBand(band, kWeightingBreakpoints, 2 * kIntegrated.size(),
                        [gains = std::vector<std::array<double, kWeightingCount>>()](
                            std::span<const double> frequencies, std::span<double> values) mutable {
                          gains.resize(frequencies.size());
                          WeightingPowerGains(frequencies, gains);
                          for (std::size_t n = 0; n < frequencies.size(); ++n) {
                            double* row = &values[n * 2 * kIntegrated.size()];
                            for (std::size_t i = 0; i < kIntegrated.size(); ++i) {
                              row[2 * i] = gains[n][WeightingIndex(kIntegrated[i])];
                              row[2 * i + 1] = row[2 * i] / frequencies[n];
                            }
                          }
                        });
  if (!q) return std::nullopt;
  WeightingIntegrals integrals;
  integrals.band = band;
  integrals.weighted[WeightingIndex(Weighting::kNone)] = {band.upper - band.lower, std::log(band.upper / band.lower)};
  for (std::size_t i = 0; i < kIntegrated.size(); ++i)
    integrals.weighted[WeightingIndex(kIntegrated[i])] = {q->integrals[2 * i], q->integrals[2 * i + 1]};
  const WeightedBand& itu = integrals[Weighting::kItu468];
  integrals.weighted[WeightingIndex(Weighting::kCcirArm)] = {kArmPower * itu.flat, kArmPower * itu.perFrequency};
  return integrals;
}

}  // namespace tervane
