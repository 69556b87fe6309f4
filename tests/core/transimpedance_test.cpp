// The photodiode's transimpedance amplifier: published figures and closed
// forms, the loop's Q and Cf for Q = 0.707, and what it refuses. Its
// densities and the loop's response against ngspice are in tests/spice.

#include "noise/transimpedance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <optional>

#include "noise/noise_calculation.h"
#include "noise/physical_constants.h"
#include "noise/stage_response.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::Tia;
using test::TiaStage;

constexpr double kTwoPi = 2 * std::numbers::pi;
// 4kT = 1.6e-20 J, as the data sheets below take it.
constexpr double kDataSheetKelvin = 1.6e-20 / kFourBoltzmann;

double InputOverRootBand(const Tia& t) { return *CalculateStage(TiaStage(t)).inputNoise / std::sqrt(t.fH); }
double InputCurrent(const Tia& t) { return *CalculateStage(TiaStage(t)).inputNoise; }
double RfNoise(const Tia& t) {
  return std::sqrt(CalculateStage(TiaStage(t)).powers.source[SourceIndex(NoiseSource::kR2Thermal)]);
}
double NepAt1kHz(const Tia& t) { return *OpticalPower(TiaStage(t), *InputCurrentDensity(TiaStage(t), 1e3)); }
double SnrRatio(const Tia& t) { return std::pow(10, *CalculateStage(TiaStage(t)).snr / 20); }

struct Check {
  const char* source;
  Tia tia;
  double (*figure)(const Tia&);
  double want;
  double tolerance;  // relative
};

// Tia rows: en, in, fc, fci, GBW, Ccm, Cdiff, Rsh, Cd, Rf, Cf, Rb, Cb, Id,
// Iph, R, T, fL, fH.
// The OPA656 data sheet's wideband photodiode design: 50 kohm, 7 nV/rtHz,
// 1.3 fA/rtHz, to 3.8 MHz, 25 pF of diode and the op amp's own (the split
// of its 2.3 pF is ours: with the + input grounded only the sum counts).
constexpr Tia Opa656(double ccm, double cdiff) {
  return {7e-9, 1.3e-15, 0, 0, 0, ccm, cdiff, 0, 25e-12, 50e3, 0, 0, 0, 0, 0, 0, kDataSheetKelvin, 1e-3, 3.8e6};
}
// The TIDA-060025 reference design (OPA858, 10 kohm, 2 pF photodiode, to
// 260 MHz): SBOA122's equation 13 on it (no GBW, input capacitance or Cf),
// and the circuit with the op amp's GBW 5.5 GHz, Ccm 0.8 pF, Cdiff 0.2 pF
// (its data sheet's, as we read them) and the design's Cf of 0.75 pF.
constexpr Tia Tida(double gbw, double ccm, double cdiff, double cf, double kelvin) {
  return {2.5e-9, 1e-15, 0, 0, gbw, ccm, cdiff, 0, 2e-12, 10e3, cf, 0, 0, 0, 0, 0, kelvin, 1, 260e6};
}
constexpr Tia Opa858(double gbw) { return Tida(gbw, 0.8e-12, 0.2e-12, 0.75e-12, 298.15); }
// Rf's noise through the GBW's second-order roll-off alone (Cf = 0) is
// 4kT Rf over the noise bandwidth pi f0 Q / 2, Q = sqrt(g Rf C) and f0 =
// sqrt(g / (Rf C)) / 2 pi with g = 2 pi GBW: 100 MHz and 10 pF here.
constexpr Tia Ringing(double rf) { return {0, 0, 0, 0, 100e6, 0, 0, 0, 10e-12, rf, 0, 0, 0, 0, 0, 0, 300, 1e-3, 1e13}; }
double RingingNoise(double rf) {
  const double g = kTwoPi * 100e6;
  const double f0 = std::sqrt(g / (rf * 10e-12)) / kTwoPi;
  return std::sqrt(kFourBoltzmann * 300 * rf * std::numbers::pi * f0 * std::sqrt(g * rf * 10e-12) / 2);
}

const Check kChecks[] = {
    {"OPA656 data sheet: the formula is the integral", Opa656(1.5e-12, 0.8e-12), InputOverRootBand,
     std::sqrt(1.69e-30 + 1.6e-20 / 50e3 + std::pow(7e-9 / 50e3, 2) +
               std::pow(7e-9 * kTwoPi * 27.3e-12 * 3.8e6, 2) / 3),
     1e-9},
    {"OPA656 data sheet: 2.7 pA/rtHz", Opa656(1.5e-12, 0.8e-12), InputOverRootBand, 2.7e-12, 1e-3},
    {"OPA656 data sheet: 2.48 pA/rtHz with 25 pF alone", Opa656(0, 0), InputOverRootBand, 2.48e-12, 2e-3},
    // Equipartition, C <v^2> / 2 = kT / 2: 2.035 uV.
    {"Rf's noise across Cf is kT/Cf",
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 100e3, 1e-9, 0, 0, 0, 0, 0, 300, 1e-6, 1e15},
     RfNoise,
     std::sqrt(kFourBoltzmann / 4 * 300 / 1e-9),
     1e-6},
    // Schottky: 566.07 fA/rtHz at 1 uA (565.7 with q taken as 1.6e-19), an
    // NEP of 1.132 pW/rtHz at 0.5 A/W.
    {"shot noise is sqrt(2qI)",
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 1e3, 0, 0, 0, 0, 1e-6, 0.5, 0, 1, 2},
     NepAt1kHz,
     std::sqrt(2 * kElementaryCharge * 1e-6) / 0.5,
     1e-12},
    // The shot-noise limit: Iph against sqrt(2q Iph B) over 1 Hz, 124.9 dB.
    {"the photocurrent's SNR",
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 1e3, 0, 0, 0, 0, 1e-6, 0.5, 0, 1, 2},
     SnrRatio,
     std::sqrt(1e-6 / (2 * kElementaryCharge)),
     1e-12},
    {"TIDA-060025 by SBOA122's equation 13: 78.8 nA", Tida(0, 0, 0, 0, kDataSheetKelvin), InputCurrent, 78.8e-9, 1e-3},
    // Cf and the op amp's 1 pF add to the diode's 2 pF in en's rise.
    {"TIDA-060025 as built: 144.1 nA", Opa858(5.5e9), InputCurrent, 144.1e-9, 1e-3},
    {"TIDA-060025 without GBW: H divides out of the input current", Opa858(0), InputCurrent, 144.1e-9, 1e-3},
    {"Rf through a roll-off of Q = 79", Ringing(1e6), RfNoise, RingingNoise(1e6), 1e-9},
    // The loop's resonance at 0.04 Hz: panels placed from it, not from the band's edges.
    {"Rf through a roll-off of Q = 2.5e9", Ringing(1e21), RfNoise, RingingNoise(1e21), 1e-9},
};

TEST(Transimpedance, PublishedFiguresAndClosedForms) {
  for (const Check& c : kChecks) {
    SCOPED_TRACE(c.source);
    EXPECT_NEAR(c.figure(c.tia) / c.want - 1, 0, c.tolerance) << c.figure(c.tia);
  }
}

// 180 degrees and the phase of the loop gain A / NG where its magnitude is
// 1, found on the response by bisection.
double PhaseMarginOfResponse(const StageInputs& s) {
  const auto loopGain = [&s](double f) {
    return *s.gainBandwidth / (std::complex<double>(0, f) * CircuitResponseAt(s, f)->noiseGain);
  };
  double low = 1, high = 1e13;
  for (int i = 0; i < 100; ++i) (std::abs(loopGain(std::sqrt(low * high))) > 1 ? low : high) = std::sqrt(low * high);
  return 180 + std::arg(loopGain(low)) * 180 / std::numbers::pi;
}

// Cf for Q = 0.707 without and with Rsh, and the textbook's sqrt(C / (pi
// Rf GBW)) where 2 pi GBW Rf C is large; with Cf = 0 the loop is the
// classic two-pole one, Q = sqrt(cos PM) / sin PM; the phase margin with
// Cf is the response's. The response itself against ngspice: tests/spice.
TEST(Transimpedance, LoopQAndCfForQ) {
  // The OPA656 design with its GBW, 230 MHz.
  const Tia loops[] = {
      Opa858(5.5e9), {0, 0, 0, 0, 230e6, 0, 0, 0, 27.3e-12, 50e3}, {0, 0, 0, 0, 1e6, 0, 0, 200e3, 100e-12, 1e6}};
  for (const Tia& t : loops) {
    StageInputs s = TiaStage(t);
    s.feedbackCapacitor.reset();
    const TransimpedanceLoop bare = *LoopOf(s);
    const CfForQResult cf = CfForQ(s);
    ASSERT_FALSE(cf.failure);
    if (!s.shuntResistance) {
      const double pm = *bare.phaseMarginDegrees * std::numbers::pi / 180;
      EXPECT_NEAR(*bare.q, std::sqrt(std::cos(pm)) / std::sin(pm), 1e-12 * *bare.q);
      EXPECT_NEAR(
          cf.feedbackCapacitor / std::sqrt(TransimpedanceInputCapacitance(s) / (std::numbers::pi * t.rf * t.gbw)), 1,
          2e-3);
    }
    s.feedbackCapacitor = cf.feedbackCapacitor;
    const TransimpedanceLoop flat = *LoopOf(s);
    EXPECT_NEAR(*flat.q, std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(*flat.phaseMarginDegrees, PhaseMarginOfResponse(s), 1e-9);
  }
}

TEST(Transimpedance, RefusesWhatNoCircuitIs) {
  using enum StageFailure;
  using enum CfForQFailure;
  struct Refusal {
    void (*change)(StageInputs&);
    std::optional<StageFailure> band;
    std::optional<CfForQFailure> cfForQ;
  };
  const Refusal refusals[] = {
      {[](StageInputs& s) { s.r2 = 0; }, kNoSolution, kNoLoop},
      {[](StageInputs& s) { s.shuntResistance = 0; }, kNoSolution, kNoLoop},
      {[](StageInputs& s) { s.en = 1e200; }, kNotFinite, std::nullopt},
      {[](StageInputs& s) { s.diodeCapacitance = -1e-12; }, kFaultyPart, kNoLoop},
      {[](StageInputs& s) { s.responsivity = 0; }, kFaultyPart, kNoLoop},
      {[](StageInputs& s) { s.loadResistor = 1e3; }, kSourcePartOnTransimpedance, std::nullopt},
      {[](StageInputs& s) { s.carry = 1e-6; }, kCarryIntoTransimpedance, std::nullopt},
      {[](StageInputs& s) { s.lowerFreq = 0, s.gainBandwidth.reset(); }, kNotFinite, kIdealOpAmp},
      // Q = 0.32 without Cf: no Cf brings it up to 0.707.
      {[](StageInputs& s) { s.lowerFreq = s.upperFreq, s.shuntResistance = 100; }, kBandNotAscending, kDampedWithoutCf},
      // The TIA's signal is its photocurrent: no 0 dB reference to refuse.
      {[](StageInputs& s) { s.refVoltage = 0; }, std::nullopt, std::nullopt},
  };
  for (const Refusal& r : refusals) {
    StageInputs s = TiaStage(Opa858(5.5e9));
    r.change(s);
    EXPECT_EQ(CalculateStage(s).failure, r.band);
    EXPECT_EQ(CfForQ(s).failure, r.cfForQ);
  }
  EXPECT_FALSE(OpticalPower(TiaStage(Opa858(5.5e9)), 1e-9)) << "without a responsivity";
}

}  // namespace
}  // namespace tervane
