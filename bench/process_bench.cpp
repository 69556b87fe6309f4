// A whole run of tervane-cli against ngspice simulating the same stage, the
// tool an engineer would otherwise reach for: each iteration starts the
// program and waits for it to end.
#include <benchmark/benchmark.h>

#include "bench/comparisons.h"
#include "bench/program_runs.h"

namespace {

using tervane::bench::RunEachIteration;

[[maybe_unused]] const bool kComparison =
    tervane::bench::AddComparison({"tervane-cli calc vs ngspice -b", "BM_TervaneCliCalc", "BM_NgspiceNoise",
                                   tervane::bench::Goal::kAtLeastFaster, 20, tervane::bench::Clock::kWall});

void BM_TervaneCliCalc(benchmark::State& state) {
  RunEachIteration(state, {TERVANE_CLI, "calc", "--type", "noninverting", "--rs", "600",  "--r1", "100", "--r2", "10k",
                           "--temp",    "25C",  "--en",   "3n",           "--in", "400f", "--fl", "20",  "--fh", "20k"},
                   "tervane-cli failed");
}
BENCHMARK(BM_TervaneCliCalc)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_NgspiceNoise(benchmark::State& state) {
  RunEachIteration(state, {"ngspice", "-b", TERVANE_BENCH_NETLIST}, "ngspice is not on PATH, or it failed");
}
BENCHMARK(BM_NgspiceNoise)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
