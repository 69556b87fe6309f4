// The stage over frequency: its totals against a dense integration of its
// own spectrum, the textbook stage through the same path, published figures,
// and a ranking's prepared circuit against each part's own calculation.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "form/part_ranking.h"
#include "noise/band_integration.h"
#include "noise/noise_calculation.h"
#include "noise/noise_figures.h"
#include "noise/noise_spectrum.h"
#include "noise/physical_constants.h"
#include "noise/stage_response.h"
#include "tests/core/part_expect.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::Cartridge;
using test::ExpectRelative;
using test::Stage;

// Ten-point Gauss-Legendre on 6000 equal panels of ln f between each pair of
// `edges`: a rule of its own, exact to better than 1e-11 on these spectra.
std::vector<double> Dense(std::vector<double> edges, const std::function<std::vector<double>(double)>& g) {
  constexpr double kX[] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244, 0.8650633666889845,
                           0.9739065285171717};
  constexpr double kW[] = {0.2955242247147529, 0.2692667193099963, 0.2190863625159820, 0.1494513491505806,
                           0.0666713443086881};
  std::vector<double> sum;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    if (edges[e] == edges[e + 1]) continue;
    const int panels = 6000 / static_cast<int>(edges.size() - 1);
    const double h = std::log(edges[e + 1] / edges[e]) / panels;
    for (int k = 0; k < panels; ++k)
      for (int i = 0; i < 10; ++i) {
        const double u = std::log(edges[e]) + h * (k + 0.5 + (i % 2 ? 0.5 : -0.5) * kX[i / 2]);
        const std::vector<double> values = g(std::exp(u));
        sum.resize(values.size());
        for (std::size_t c = 0; c < values.size(); ++c) sum[c] += kW[i / 2] * h / 2 * std::exp(u) * values[c];
      }
  }
  return sum;
}

struct FrequencyCase {
  const char* name;
  void (*shape)(StageInputs&);
  double resonance = 0;  // Hz, and its half-power half-width: the dense rule's
  double halfWidth = 0;  // edges lie 1 % and 30 half-widths either side
};

// Resonances from mild to sharp, roll-offs inside the band, a closed loop
// that rings, the carried noise through a falling gain.
const FrequencyCase kCircuits[] = {
    {"Cartridge", [](StageInputs&) {}},
    {"CartridgeUnloadedQ100", [](StageInputs& s) { s.loadResistor.reset(), s.sourceResistor = 500; }},
    {"BufferRollOffInBand", [](StageInputs& s) { s.ampType = AMP_BUFFER, s.gainBandwidth = 5e3; }},
    {"GainOf100LargeCf", [](StageInputs& s) { s.r1 = 100, s.r2 = 9.9e3, s.feedbackCapacitor = 10e-9; }},
    // Ls and Cf through the op amp's finite gain: Q = 17.6 at 1.92 MHz.
    {"InvertingRinging",
     [](StageInputs& s) {
       s = Stage(AMP_INVERTING, 14, 1.4, 220e3, {50, 5e6}, 2e-9, 1e-12);
       s.sourceInductance = 0.57e-3, s.feedbackCapacitor = 12e-12, s.gainBandwidth = 45e3;
     }},
    {"CarryThroughRollOff",
     [](StageInputs& s) {
       s.gainBandwidth = 50e3, s.carry = 3e-6, s.previousBand = Band{100, 10e3};
     }},
    // 0.5 H with 0.56 uF at 300.77 Hz, Q = 94 500: 2e-6 of a decade wide
    // in the middle of the band, where no node of a panel would see it.
    // Rb bypassed, the inputs' current noise correlated, every resistor's
    // excess noise.
    {"CartridgeBiasCorrelatedExcess",
     [](StageInputs& s) {
       s.biasResistor = 4.7e3, s.biasCapacitor = 1e-6, s.inCorrelation = 0.9;
       for (auto& e : s.excess) e = ExcessNoise{-15, 3};
     }},
    {"ResonanceQ94500",
     [](StageInputs& s) {
       s = Stage(AMP_BUFFER, 0.01, 0, 0, {1, 1e5}, 1e-9, 1e-12);
       s.sourceInductance = 0.5, s.loadCapacitor = 0.56e-6;
     },
     1 / (2 * std::numbers::pi * std::sqrt(0.5 * 0.56e-6)), 0.01 / (4 * std::numbers::pi * 0.5)},
};

TEST(OverFrequency, TotalsMatchADenseIntegrationOfTheSpectrum) {
  for (const FrequencyCase& c : kCircuits) {
    SCOPED_TRACE(c.name);
    StageInputs s = Cartridge();
    c.shape(s);
    const StageResult r = CalculateStage(s);
    ASSERT_FALSE(r.failure);
    const Band carried = CarriedBand(s);
    // The total, each source, and the total through each weighting.
    std::vector<double> edges{s.lowerFreq, carried.lower, carried.upper, s.upperFreq};
    if (c.resonance > 0)
      edges = {s.lowerFreq,        c.resonance / 1.01, c.resonance - 30 * c.halfWidth, c.resonance + 30 * c.halfWidth,
               c.resonance * 1.01, s.upperFreq};
    // The carried noise's gain first, the band flat before the stage.
    const std::vector<double> dense = Dense(edges, [&](double f) {
      const SpectrumPoint p = *NoiseSpectrumAt(s, r, f);
      const bool inCarried = f >= carried.lower && f <= carried.upper;
      std::vector<double> v{inCarried ? std::norm(StageResponseAt(s, f)->gain) : 0, p.total * p.total};
      for (const double d : p.density) v.push_back(d * std::fabs(d));
      for (const Weighting w : kWeightings) v.push_back(p.total * p.total * WeightingPowerGain(w, f));
      return v;
    });
    if (s.carry)
      ExpectRelative(*r.carriedNoise * *r.carriedNoise,
                     *s.carry * *s.carry * dense[0] / (carried.upper - carried.lower), 1e-9, "carried");
    ExpectRelative(*r.totalNoise * *r.totalNoise, dense[1], 1e-9, "total");
    for (std::size_t i = 0; i < kStageSourceCount; ++i)
      EXPECT_NEAR(r.powers.source[i], dense[2 + i], 1e-9 * dense[1]) << i;
    const FigureInputs figures = *FigureInputsOf(s, r);
    for (const Weighting w : kWeightings)
      ExpectRelative(figures.power[WeightingIndex(w)], dense[2 + kStageSourceCount + WeightingIndex(w)], 1e-9,
                     "weighted");
    // The breakdown's rows, flat and through each weighting, add up.
    for (const Weighting w : kWeightings) {
      double power = 0;
      bool loadRow = false;
      const NoiseBreakdown breakdown = *BreakdownNoise(s, r, kDefaultCrestFactor, w);
      for (const NoiseContribution& row : breakdown.contributions) {
        power += row.total * std::fabs(row.total);
        loadRow |= row.source == NoiseSource::kRloadThermal;
      }
      ExpectRelative(power, figures.power[WeightingIndex(w)], 1e-9, "breakdown");
      EXPECT_EQ(loadRow, s.loadResistor.has_value());
    }
  }
}

// A tank of Ls and Cload with little loss: Rs's noise across Cload, whatever
// Rs and Ls, integrates to k T / C, the equipartition of the capacitor's one
// degree of freedom, C <v^2> / 2 = k T / 2 (H. Nyquist, "Thermal agitation of
// electric charge in conductors", Phys. Rev. 32, 1928; the RC case is worked
// in B. Razavi, Design of Analog CMOS Integrated Circuits, ch. "Noise"):
// directly, the integral over 0..inf of 4 k T Rs |1/(1 - w^2 Ls C + j w Rs C)|^2
// df is 4 k T Rs / (4 Rs C). Outside the band, where the loss is of no
// account, x = f / f0 gives 4 k T Rs f0 over 1/(1 - x^2)^2, whose integral
// is F(x) = x / (2 (1 - x^2)) + ln|(1 + x) / (1 - x)| / 4. The noise gain
// N = 2 carries it to the output. The panels around the resonance must find
// it wherever the band's edges lie.
TEST(OverFrequency, ResonanceOfATankHoldsKTOverC) {
  const double kLs = 0.5;
  const double kCload = 200e-12;
  const double f0 = 1 / (2 * std::numbers::pi * std::sqrt(kLs * kCload));
  const auto F = [](double x) { return x / (2 * (1 - x * x)) + std::log(std::fabs((1 + x) / (1 - x))) / 4; };
  for (const Band band : {Band{20, 20e3}, Band{10e3, 100e3}, Band{14e3, 18e3}})
    for (const double q : {1e3, 1e6, 1e9, 1e11, 2.5e11}) {
      StageInputs s = Stage(AMP_NONINVERTING, std::sqrt(kLs / kCload) / q, 1e3, 1e3, band, 0, 0);
      s.sourceInductance = kLs, s.loadCapacitor = kCload;
      const double kT4 = kFourBoltzmann * s.kelvin;
      const double outside = kT4 * s.sourceResistor * f0 * (F(band.lower / f0) - F(band.upper / f0));
      const StageResult r = CalculateStage(s);
      ASSERT_FALSE(r.failure);
      EXPECT_NEAR(r.powers.source[SourceIndex(NoiseSource::kRsThermal)] / 4, kT4 / 4 / kCload - outside,
                  1e-6 * kT4 / 4 / kCload)
          << "Q " << q << " over " << band.lower << ".." << band.upper;
    }
}

// The textbook stage with an op amp of infinite bandwidth is on the path
// over frequency, and must give the closed forms' figures.
TEST(OverFrequency, ResistiveStageEqualsTheClosedForm) {
  StageInputs kStages[] = {Stage(AMP_BUFFER, 2e3, 0, 9e3, {1, 1e5}, 5e-9, 1e-12),
                           Stage(AMP_NONINVERTING, 600, 100, 10e3, {20, 20e3}, 1e-9, 2e-12),
                           Stage(AMP_INVERTING, 220, 2.2e3, 100e3, {0.1, 10}, 8e-9, 3e-12)};
  kStages[0].cornerFreq = 50;
  kStages[1].cornerFreq = 300, kStages[1].applyCorner = true, kStages[1].kelvin = 77;
  kStages[1].carry = 2e-6, kStages[1].previousBand = Band{100, 50e3};
  kStages[2].cornerFreq = 1e3, kStages[2].carry = 1e-6;
  for (const StageInputs& closed : kStages) {
    SCOPED_TRACE(closed.ampType);
    StageInputs numeric = closed;
    numeric.gainBandwidth = INFINITY;
    const StageResult a = CalculateStage(closed);
    const StageResult b = CalculateStage(numeric);
    ASSERT_TRUE(!a.failure && !b.failure);
    for (const auto member : {&StageResult::outputDensity, &StageResult::gain, &StageResult::totalNoise,
                              &StageResult::carriedNoise, &StageResult::snr})
      ExpectRelative((b.*member).value_or(0), (a.*member).value_or(0), 1e-9, "result");
    const FigureInputs fa = *FigureInputsOf(closed, a);
    const FigureInputs fb = *FigureInputsOf(numeric, b);
    for (std::size_t w = 0; w < kWeightingCount; ++w) ExpectRelative(fb.power[w], fa.power[w], 1e-9, "weighted");
    ExpectRelative(fb.sourcePerKelvin, fa.sourcePerKelvin, 1e-9, "source noise");
    const NoiseBreakdown ba = *BreakdownNoise(closed, a, kDefaultCrestFactor);
    const NoiseBreakdown bb = *BreakdownNoise(numeric, b, kDefaultCrestFactor);
    ASSERT_EQ(ba.contributions.size(), bb.contributions.size());
    for (std::size_t i = 0; i < ba.contributions.size(); ++i)
      EXPECT_NEAR(bb.contributions[i].total, ba.contributions[i].total, 1e-9 * ba.outputTotal) << i;
    for (const double f : {closed.lowerFreq, std::sqrt(closed.lowerFreq * closed.upperFreq), closed.upperFreq})
      ExpectRelative(NoiseSpectrumAt(numeric, b, f)->total, NoiseSpectrumAt(closed, a, f)->total, 1e-9, "spectrum");
  }
}

TEST(OverFrequency, PublishedFigures) {
  // The noise analysis worked example of a wideband voltage-feedback op amp
  // data sheet: a gain of +20 with Rs = 25 ohm and R1 || R2 = 25 ohm, en =
  // 1.05 nV, in = 1.6 pA, GBW 1.8 GHz (90 MHz closed loop, a noise bandwidth
  // of 1.57 times that): 16.5 uV rms at the input.
  StageInputs wideband = Stage(AMP_NONINVERTING, 25, 500.0 / 19, 500, {1, 1e12}, 1.05e-9, 1.6e-12);
  wideband.gainBandwidth = 1.8e9;
  const StageResult w = CalculateStage(wideband);
  EXPECT_NEAR(*w.totalNoise / *w.gain, 16.5e-6, 0.05e-6);
  // A first-order roll-off integrates to pi/2 times its -3 dB frequency.
  StageInputs buffer = wideband;
  buffer.ampType = AMP_BUFFER, buffer.sourceResistor = buffer.r2 = buffer.in = 0, buffer.gainBandwidth = 1e6;
  buffer.lowerFreq = 1e-3;
  ExpectRelative(*CalculateStage(buffer).totalNoise, 1.05e-9 * std::sqrt(std::numbers::pi / 2 * 1e6), 1e-6,
                 "first order");
}

// With Rb at the value that cancels the bias currents' offsets, each input
// sees the same impedance on its way to the output: correlated currents
// cancel, to nothing at c = 1. (Their totals at other c are ngspice's.)
TEST(OverFrequency, CorrelatedCurrentsCancelWithEqualImpedancesAtBothInputs) {
  StageInputs stages[] = {Stage(AMP_INVERTING, 1e3, 10e3, 100e3, {20, 20e3}, 1e-9, 2.7e-12),
                          Stage(AMP_NONINVERTING, 3e3, 20e3, 20e3, {20, 20e3}, 1e-9, 2.7e-12),
                          Stage(AMP_BUFFER, 5e3, 0, 20e3, {20, 20e3}, 1e-9, 2.7e-12)};
  stages[1].loadResistor = 6e3;  // Rs || Rload = 2k, Rb = 8k
  const double expectedRb[] = {11e3 * 100e3 / 111e3, 8e3, 15e3};
  for (std::size_t t = 0; t < std::size(stages); ++t) {
    StageInputs s = stages[t];
    s.biasResistor = BiasCancellingResistor(s);
    ExpectRelative(*s.biasResistor, expectedRb[t], 1e-15, "Rb");
    auto currentPower = [&](double c) {
      s.inCorrelation = c;
      const StageResult r = CalculateStage(s);
      double power = 0;
      for (const NoiseSource source : {NoiseSource::kCurrentNoiseR2, NoiseSource::kCurrentNoiseRs,
                                       NoiseSource::kCurrentNoiseRb, NoiseSource::kCurrentCorrelation})
        power += r.powers.source[SourceIndex(source)];
      return power;
    };
    const double independent = currentPower(0);
    EXPECT_NEAR(currentPower(1), 0, 1e-14 * independent) << t;
    if (t == 1) {  // one current through Rs || Rload = 2k and Rb = 8k: its rows in that ratio
      const auto p = CalculateStage(s).powers.source;
      ExpectRelative(p[SourceIndex(NoiseSource::kCurrentNoiseRb)] / p[SourceIndex(NoiseSource::kCurrentNoiseRs)], 4,
                     1e-12, "split");
    }
  }
  StageInputs above = stages[1];
  above.sourceResistor = 20e3, above.loadResistor.reset();
  EXPECT_EQ(BiasCancellingResistor(above), 0.0);
}

// The worked example of a resistor's excess noise: NI = -20 dB with 10 V
// across it, 1 uV per decade, 20.84 nV/rtHz at 1 kHz against a 10k
// resistor's 12.83 nV/rtHz of thermal noise (its 1.732 uV over 20 Hz to
// 20 kHz is the calc batch's golden case, R1's at a gain of 10). And for each
// resistor, its excess noise reaches the output as its thermal noise does,
// a voltage in series with it: excess f ln 10 / K^2 = thermal / (4 k T R).
TEST(OverFrequency, ExcessNoiseOfEachResistor) {
  StageInputs example = Stage(AMP_BUFFER, 10e3, 0, 0, {20, 20e3}, 0, 0);
  example.excess[ExcessIndex(ExcessResistor::kRs)] = ExcessNoise{-20, 10};
  const StageResult r = CalculateStage(example);
  const SpectrumPoint at1k = *NoiseSpectrumAt(example, r, 1000);
  EXPECT_NEAR(at1k.density[SourceIndex(NoiseSource::kExcessRs)], 20.84e-9, 0.005e-9);
  EXPECT_NEAR(at1k.density[SourceIndex(NoiseSource::kRsThermal)], 12.83e-9, 0.005e-9);

  // By ExcessResistor, as the excess rows are ordered.
  const NoiseSource kThermal[] = {NoiseSource::kR1Thermal, NoiseSource::kR2Thermal, NoiseSource::kRsThermal,
                                  NoiseSource::kRloadThermal, NoiseSource::kRbThermal};
  StageInputs stages[] = {Cartridge(), Cartridge(), Stage(AMP_INVERTING, 1e3, 10e3, 100e3, {1, 100e3}, 2e-9, 2e-12)};
  stages[1].ampType = AMP_BUFFER;
  stages[2].sourceInductance = 1e-3, stages[2].feedbackCapacitor = 100e-12, stages[2].gainBandwidth = 1e6;
  const double perDecade = 3 * std::pow(10.0, -15.0 / 20) * 1e-6;
  for (StageInputs& s : stages) {
    s.biasResistor = 4.7e3, s.biasCapacitor = 1e-6;
    for (auto& e : s.excess) e = ExcessNoise{-15, 3};
    const double ohms[] = {s.r1, s.r2, s.sourceResistor, s.loadResistor.value_or(1), *s.biasResistor};
    for (const double f : {3.0, 1e3, 50e3})
      for (std::size_t k = 0; k < kExcessResistorCount; ++k) {
        const StageResponse at = *StageResponseAt(s, f);
        const double thermal = at.power[SourceIndex(kThermal[k])] / (kFourBoltzmann * s.kelvin * ohms[k]);
        EXPECT_NEAR(at.power[SourceIndex(NoiseSource::kExcessR1) + k] * f * std::numbers::ln10 / (perDecade * perDecade),
                    thermal, 1e-12 * thermal)
            << s.ampType << " " << k << " " << f;
      }
  }
}

// Each part of a ranking over frequency, from the circuit prepared once,
// against its own calculation; the ringing closed loop is worked out
// afresh for each.
TEST(OverFrequency, RankingOfEachPartIsItsOwnCalculation) {
  // Fast's line gives its GBW, fci and c, which win over the circuit's.
  const PartLibrary library = ReadBytes("Slow 3n 1p 10\nFast 1n 2p 100 2M 150 0.5\nBroken 1n 1p 1e400\n");
  for (const FrequencyCase& c : {kCircuits[0], kCircuits[4], kCircuits[6], kCircuits[7]}) {
    NoiseResult circuit = ComputeNoise(test::Form());
    circuit.inputs = Cartridge();
    c.shape(circuit.inputs);
    for (const RankedPart& part : RankParts(circuit, library, Weighting::kRiaa)) {
      const StageInputs own =
          WithOpAmp(circuit.inputs, PartOpAmp(*library.m_partTable.Lookup(part.name), circuit.inputs));
      const StageResult r = CalculateStage(own);
      EXPECT_EQ(part.failed, part.name == "Broken") << c.name;
      if (part.failed) continue;
      ExpectRelative(*part.totalNoise, *r.totalNoise, 1e-9, part.name.c_str());
      EXPECT_EQ(own.gainBandwidth, part.name == "Fast" ? 2e6 : circuit.inputs.gainBandwidth) << c.name;
      EXPECT_EQ(own.currentCorner, part.name == "Fast" ? 150 : circuit.inputs.currentCorner) << c.name;
      EXPECT_EQ(own.inCorrelation, part.name == "Fast" ? 0.5 : circuit.inputs.inCorrelation) << c.name;
      ExpectRelative(*part.weightedNoise, *ComputeNoiseFigures(*FigureInputsOf(own, r))[Weighting::kRiaa].outputV, 1e-9,
                     part.name.c_str());
    }
  }
}

}  // namespace
}  // namespace tervane
