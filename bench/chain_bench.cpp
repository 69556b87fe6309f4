// A chain of five stages over frequency, with its figures through every
// weighting, against one stage's calculation with its figures.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/comparisons.h"
#include "noise/chain_calculation.h"
#include "noise/noise_calculation.h"
#include "noise/noise_figures.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"a chain of five stages over frequency with its figures vs one stage with its figures", "BM_ChainOfFiveStages",
     "BM_OneStage", tervane::bench::Goal::kAtMost, 10});

tervane::StageInputs Stage(tervane::AmplifierType type, double r1, double r2, double gainBandwidth) {
  tervane::StageInputs s;
  s.ampType = type, s.r1 = r1, s.r2 = r2, s.kelvin = 298.15;
  s.lowerFreq = 20, s.upperFreq = 20e3, s.refVoltage = 1;
  s.en = 3e-9, s.in = 1e-12, s.cornerFreq = 2.7, s.applyCorner = true;
  s.gainBandwidth = gainBandwidth;
  return s;
}

// A moving-magnet cartridge (1k + 0.5 H into 47k || 200p) at a gain of 100,
// with a feedback capacitor and the op amp's current noise corner.
tervane::StageInputs Preamp() {
  tervane::StageInputs s = Stage(tervane::AMP_NONINVERTING, 100, 9.9e3, 8e6);
  s.sourceResistor = 1e3, s.sourceInductance = 0.5, s.loadResistor = 47e3, s.loadCapacitor = 200e-12;
  s.feedbackCapacitor = 100e-12, s.currentCorner = 200;
  return s;
}

// The preamp, a tone stage behind 1k with Cf, a gain stage, a buffer and
// an inverting line driver with Cf: every stage's gain falls with
// frequency, so the chain is integrated as a whole.
std::vector<tervane::StageInputs> FiveStages() {
  tervane::StageInputs tone = Stage(tervane::AMP_INVERTING, 10e3, 10e3, 10e6);
  tone.sourceResistor = 1e3, tone.feedbackCapacitor = 1e-9;
  tervane::StageInputs driver = Stage(tervane::AMP_INVERTING, 4.7e3, 4.7e3, 3e6);
  driver.feedbackCapacitor = 220e-12;
  return {Preamp(), tone, Stage(tervane::AMP_NONINVERTING, 1e3, 2.2e3, 10e6), Stage(tervane::AMP_BUFFER, 0, 0, 10e6),
          driver};
}

void BM_OneStage(benchmark::State& state) {
  const tervane::StageInputs stage = Preamp();
  for (auto _ : state) {
    const tervane::StageResult result = tervane::CalculateStage(stage);
    benchmark::DoNotOptimize(tervane::StageNoiseFigures(stage, result));
  }
}
BENCHMARK(BM_OneStage);

void BM_ChainOfFiveStages(benchmark::State& state) {
  const std::vector<tervane::StageInputs> stages = FiveStages();
  for (auto _ : state) benchmark::DoNotOptimize(tervane::ChainNoiseFigures(tervane::CalculateChain(stages)));
}
BENCHMARK(BM_ChainOfFiveStages);

}  // namespace
