// A chain of stages: a chain of one is its stage, flat stages are "Calc
// w/Carry" where its rule holds, the EIN refers the later stages' noise to
// the first input, and the whole chain integrated at once agrees with each
// stage's own integrals carried through flat gains.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "form/chain_text.h"
#include "form/figure_text.h"
#include "noise/chain_calculation.h"
#include "noise/chain_views.h"
#include "noise/noise_calculation.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::Cartridge;
using test::ExpectRelative;
using test::Stage;

ChainResult ChainOf(const std::vector<StageInputs>& stages) { return CalculateChain(stages); }

// The cartridge with Rb, correlated current noise (a negative row) and R1's
// excess noise.
StageInputs BiasedCartridge() {
  StageInputs s = Cartridge();
  s.biasResistor = 4.7e3, s.inCorrelation = 0.9, s.excess[ExcessIndex(ExcessResistor::kR1)] = ExcessNoise{-15, 3};
  return s;
}

// A photodiode's TIA, 1 uA of photocurrent into 100k || 1 pF over the audio band.
const test::Tia kTia{1e-9, 1e-15, 0, 0, 10e6, 0, 0, 0, 10e-12, 100e3, 1e-12, 0, 0, 0, 1e-6, 0, 300, 20, 20e3};

StageInputs TextbookWithCorners() {
  StageInputs s = Stage(AMP_NONINVERTING, 600, 100, 10e3, {20, 20e3}, 1e-9, 2e-12);
  s.cornerFreq = 300, s.applyCorner = true;
  return s;
}

// Every figure of every weighting, the same double.
void ExpectSameFigures(const NoiseFigures& actual, const NoiseFigures& expected) {
  for (const StageFigureField& f : kStageFigureFields) EXPECT_EQ(actual.*f.member, expected.*f.member) << f.key;
  for (const Weighting w : kWeightings)
    for (const WeightedFigureField& f : kWeightedFigureFields)
      EXPECT_EQ(actual[w].*f.member, expected[w].*f.member) << f.key;
}

TEST(Chain, OfOneStageIsThatStage) {
  StageInputs inverting = Stage(AMP_INVERTING, 220, 2.2e3, 100e3, {0.1, 10}, 8e-9, 3e-12);
  inverting.cornerFreq = 1e3;
  StageInputs buffer = Stage(AMP_BUFFER, 2e3, 0, 9e3, {1, 1e5}, 5e-9, 1e-12);
  buffer.gainBandwidth = 5e3;
  for (const StageInputs& s : {Cartridge(), BiasedCartridge(), TextbookWithCorners(), inverting, buffer}) {
    SCOPED_TRACE(s.ampType);
    const StageResult r = CalculateStage(s);
    const ChainResult chain = ChainOf({s});
    ASSERT_FALSE(chain.failure);
    ExpectSameFigures(*ChainNoiseFigures(chain), *StageNoiseFigures(s, r));
    for (const Weighting w : kWeightings) {
      const std::vector<NoiseContribution> own = BreakdownNoise(s, r, kDefaultCrestFactor, w)->contributions;
      const ChainBreakdown b = *BreakdownChain(chain, w);
      ASSERT_EQ(b.stages[0].sources.size(), own.size());
      EXPECT_DOUBLE_EQ(b.stages[0].percent, 100);
      for (std::size_t i = 0; i < own.size(); ++i) {
        EXPECT_EQ(b.stages[0].sources[i].source, own[i].source);
        for (const auto member : {&NoiseContribution::density, &NoiseContribution::total, &NoiseContribution::percent})
          ExpectRelative(b.stages[0].sources[i].*member, own[i].*member, 1e-14, "breakdown");
      }
    }
    for (const double f : {s.lowerFreq / 10, std::sqrt(s.lowerFreq * s.upperFreq), s.upperFreq * 10})
      ExpectRelative(ChainSpectrumAt(chain, f)->total, NoiseSpectrumAt(s, r, f)->total, 1e-15, "spectrum");
  }
}

// Over one band with flat densities the carry's rule (the previous stage's
// noise spread evenly over the band, times the gain) is exact.
TEST(Chain, TwoFlatStagesAreCalcWithCarry) {
  const StageInputs pairs[][2] = {
      {Stage(AMP_NONINVERTING, 600, 100, 10e3, {20, 20e3}, 1e-9, 2e-12),
       Stage(AMP_INVERTING, 0, 10e3, 22e3, {20, 20e3}, 5e-9, 1e-12)},
      {Stage(AMP_BUFFER, 50e3, 0, 1e3, {1, 1e5}, 3e-9, 1e-12),
       Stage(AMP_NONINVERTING, 100, 1e3, 4.7e3, {1, 1e5}, 2e-9, 1e-12)},
  };
  for (const auto& [first, second] : pairs) {
    const ChainResult chain = ChainOf({first, second});
    StageInputs carried = second;
    carried.carry = CalculateStage(first).totalNoise;
    carried.previousBand = Band{first.lowerFreq, first.upperFreq};
    const StageResult r = CalculateStage(carried);
    const NoiseFigures c = *ChainNoiseFigures(chain);
    const NoiseFigures w = *StageNoiseFigures(carried, r);
    for (const Weighting weighting : kWeightings)
      for (const auto member : {&WeightedFigures::outputV, &WeightedFigures::snrDb})
        ExpectRelative(*(c[weighting].*member), *(w[weighting].*member), 1e-12, "output");
    ExpectRelative(BreakdownChain(chain)->stages[0].total, *r.carriedNoise, 1e-12, "carried");
  }
}

// 40 dB then 0 dB: the chain's EIN squared is the first stage's plus the
// second stage's output noise over 100, squared, through every weighting.
TEST(Chain, EinAddsTheLaterStagesNoiseOverTheGainBefore) {
  const StageInputs unity = Stage(AMP_INVERTING, 0, 10e3, 10e3, {20, 20e3}, 5e-9, 1e-12);
  StageInputs fortyDb = TextbookWithCorners();
  fortyDb.r2 = 9.9e3;
  for (const StageInputs& first : {fortyDb, Cartridge()}) {
    const NoiseFigures one = *StageNoiseFigures(first, CalculateStage(first));
    const NoiseFigures two = *StageNoiseFigures(unity, CalculateStage(unity));
    const NoiseFigures chain = *ChainNoiseFigures(ChainOf({first, unity}));
    ExpectRelative(*chain.signalGain, *one.signalGain, 1e-15, "gain");
    for (const Weighting w : kWeightings)
      ExpectRelative(std::hypot(*one[w].inputV, *two[w].outputV / *one.signalGain), *chain[w].inputV, 1e-12, "EIN");
  }
  // A transimpedance amplifier's chain: its SNR the photocurrent's, Iph Rf
  // through the stages after it.
  const StageInputs tia = test::TiaStage(kTia);
  const NoiseFigures chain = *ChainNoiseFigures(ChainOf({tia, unity}));
  const double after = *chain.signalGain / *StageNoiseFigures(tia, CalculateStage(tia))->signalGain;
  ExpectRelative(*chain[Weighting::kNone].snrDb, 20 * std::log10(1e-6 * 100e3 * after / *chain[Weighting::kNone].outputV),
                 1e-12, "SNR");
}

// A later stage with a GBW of infinity is flat, but takes the chain onto
// the path that integrates it whole.
TEST(Chain, IntegratedWholeAgreesWithTheStagesOwnIntegrals) {
  StageInputs unity = Stage(AMP_INVERTING, 100, 10e3, 10e3, {20, 20e3}, 5e-9, 1e-12);
  unity.cornerFreq = 50;
  StageInputs integrated = unity;
  integrated.gainBandwidth = INFINITY;
  const ChainResult flat = ChainOf({BiasedCartridge(), unity});
  const ChainResult whole = ChainOf({BiasedCartridge(), integrated});
  ASSERT_FALSE(flat.failure || whole.failure);
  for (std::size_t w = 0; w < kWeightingCount; ++w) ExpectRelative(whole.power[w], flat.power[w], 1e-9, "weighted");
  ExpectRelative(whole.sourcePerKelvin, flat.sourcePerKelvin, 1e-9, "source noise");
  // The first stage alone, from the chain's integral and from its own.
  const ChainStage& a = whole.stages[0];
  const ChainStage& b = flat.stages[0];
  ExpectRelative(*a.outcome.totalNoise, *b.outcome.totalNoise, 1e-9, "alone");
  for (std::size_t w = 0; w < kWeightingCount; ++w)
    ExpectRelative(FigureInputsOf(a.inputs, a.outcome)->power[w], FigureInputsOf(b.inputs, b.outcome)->power[w], 1e-9,
                   "alone weighted");
  for (const Weighting w : kWeightings) {
    const auto a = *ChainSourcePowers(whole, w);
    const auto b = *ChainSourcePowers(flat, w);
    for (std::size_t k = 0; k < 2; ++k)
      for (std::size_t i = 0; i < kStageSourceCount; ++i)
        EXPECT_NEAR(a[k][i], b[k][i], 1e-9 * flat.power[WeightingIndex(w)]) << k << " " << i;
  }
}

TEST(Chain, RefusalsAndWhatALaterStageDoesNotRead) {
  EXPECT_EQ(ChainOf({}).failure, ChainFailure::kNoStages);
  EXPECT_EQ(CalculateChain(std::vector<StageInputs>(kMaxChainStages + 1, Cartridge())).failure,
            ChainFailure::kTooManyStages);
  EXPECT_FALSE(CalculateChain(std::vector<StageInputs>(kMaxChainStages, Cartridge())).failure);

  StageInputs noSolution = TextbookWithCorners();
  noSolution.r1 = 0;
  const ChainResult failed = ChainOf({Cartridge(), noSolution, Cartridge()});
  EXPECT_EQ(failed.failure, ChainFailure::kStageFailed);
  EXPECT_EQ(failed.failedStage, 1u);
  EXPECT_EQ(failed.stages[1].outcome.failure, StageFailure::kNoSolution);
  EXPECT_FALSE(failed.stages[2].outcome.failure);
  EXPECT_FALSE(ChainNoiseFigures(failed) || BreakdownChain(failed) || ChainSpectrum(failed, 10));
  // A transimpedance amplifier takes a current: it starts a chain, or is
  // refused with its place.
  EXPECT_EQ(ChainOf({Cartridge(), test::TiaStage(kTia)}).failedStage, 1u);

  // A later stage's band and reference are the first stage's.
  StageInputs reversed = TextbookWithCorners();
  reversed.lowerFreq = 1e6, reversed.upperFreq = 0, reversed.refVoltage = 0;
  const ChainResult chain = ChainOf({TextbookWithCorners(), reversed});
  ASSERT_FALSE(chain.failure);
  EXPECT_EQ(chain.stages[1].inputs.upperFreq, 20e3);

  StageInputs negative = TextbookWithCorners();
  negative.r2 = -1e3;
  const ChainResult withNegative = ChainOf({TextbookWithCorners(), negative});
  ASSERT_FALSE(withNegative.failure);
  EXPECT_FALSE(BreakdownChain(withNegative));
  EXPECT_EQ(ChainSpectrumFault(withNegative, 10), SpectrumFault::kNegativePower);
  EXPECT_TRUE(ChainNoiseFigures(withNegative)->signalGain && !ChainNoiseFigures(withNegative)->noiseFigureDb);
}

// An ideal stage, at 0 K with a noiseless op amp, has no SNR of its own,
// but in a chain it is a stage: its rows 0, the chain the others' noise
// through its gain, on the closed forms and over frequency alike.
TEST(Chain, ANoiselessStageIsAStage) {
  StageInputs quiet = Stage(AMP_NONINVERTING, 0, 1e3, 1e3, {20, 20e3}, 0, 0);
  quiet.kelvin = 0;
  StageInputs quietOverFrequency = quiet;
  quietOverFrequency.ampType = AMP_BUFFER, quietOverFrequency.gainBandwidth = 1e15;
  const double cartridge = std::pow(*CalculateStage(Cartridge()).totalNoise, 2);
  const struct {
    std::vector<StageInputs> stages;
    std::size_t quietStage;
    double power;  // at the chain's output
  } cases[] = {{{quiet, Cartridge()}, 0, cartridge},
               {{Cartridge(), quiet}, 1, 4 * cartridge},
               {{Cartridge(), quietOverFrequency}, 1, cartridge}};
  for (const auto& c : cases) {
    const ChainResult chain = ChainOf(c.stages);
    ASSERT_FALSE(chain.failure) << c.quietStage;
    for (const double p : chain.stages[c.quietStage].source) EXPECT_EQ(p, 0);
    ExpectRelative(chain.power[WeightingIndex(Weighting::kNone)], c.power, 1e-9, "output");
  }
}

// Three equal stages of unity gain: each a third of the output power, and
// each after the first raising it by half, 1.76 dB. A stage whose R1 would
// be written back as no number fails, as the main window's calculation
// fails it.
TEST(Chain, WhichStageSetsTheNoiseFloor) {
  std::vector<ChainStageForm> stages(3, {test::Form(AMP_BUFFER), std::nullopt});
  EXPECT_EQ(DominanceText(ComputeChain(stages)),
            "Stage 1 (buffer) sets the noise floor: 33.3 % of the output noise power; stage 2 adds 1.76 dB, stage 3 "
            "adds 1.76 dB.");
  // A chain without gain has no EIN, and says why once.
  const std::vector<ChainStageForm> noGain{{test::Form(AMP_INVERTING, {{"r2", "0"}}), std::nullopt}, stages[0]};
  const std::string report = BuildChainReport(ComputeChain(noGain));
  EXPECT_NE(report.find("\r\nEIN = \x97 (the chain has no signal gain)\r\n"), std::string::npos) << report;
  stages.push_back({test::Form(AMP_NONINVERTING, {{"r1", "1e400"}}), "OP27"});
  EXPECT_EQ(ChainFailureText(ComputeChain(stages)),
            "Stage 4 (OP27, non-inverting): error, check inputs for consistency");
}

}  // namespace
}  // namespace tervane
