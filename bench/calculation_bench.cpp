// One whole calculation with its report and write-back, against the
// snprintf calls that writing the same numbers takes at the least.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/comparisons.h"
#include "form/noise_report.h"
#include "form/write_back.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"calculation and report vs 21 snprintf", "BM_CalculateAndReport", "BM_TwentyOneSnprintf",
     tervane::bench::Goal::kAtMost, 1.5});

void BM_CalculateAndReport(benchmark::State& state) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_strCornerFreq = "2.7";
  for (auto _ : state) {
    tervane::CalculatorForm f = form;
    const auto result = tervane::ComputeNoise(f);
    benchmark::DoNotOptimize(tervane::BuildNoiseReport(result, "OP27"));
    tervane::WriteBackResults(f, result);
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_CalculateAndReport);

// The report holds 10 numbers and the write-back 11.
void BM_TwentyOneSnprintf(benchmark::State& state) {
  char buffer[32];
  double v = 1.17649e-6;
  for (auto _ : state)
    for (int i = 0; i < 21; ++i) {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.4g", v));
      benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TwentyOneSnprintf);

}  // namespace
