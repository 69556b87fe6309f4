// A whole run of tervane-cli against ngspice simulating the same stage, the
// tool an engineer would otherwise reach for: each iteration starts the
// program and waits for it to end. A program that does nothing shows what
// part of either time is only the starting of a process.
#include <benchmark/benchmark.h>

#include "bench/comparisons.h"
#include "bench/program_runs.h"

namespace {

using tervane::bench::RunEachIteration;

[[maybe_unused]] const bool kComparison =
    tervane::bench::AddComparison({"tervane-cli calc vs ngspice -b", "BM_TervaneCliCalc", "BM_NgspiceNoise",
                                   tervane::bench::Goal::kAtLeastFaster, 20, tervane::bench::Clock::kWall});
// Whether the target above can be met here at all.
[[maybe_unused]] const bool kCeiling =
    tervane::bench::AddComparison({"empty program vs ngspice -b", "BM_EmptyProgram", "BM_NgspiceNoise",
                                   tervane::bench::Goal::kAtLeastFaster, 20, tervane::bench::Clock::kWall});
// What tervane-cli adds to the start of a process.
[[maybe_unused]] const bool kOwnCost =
    tervane::bench::AddComparison({"tervane-cli calc vs empty program", "BM_TervaneCliCalc", "BM_EmptyProgram",
                                   tervane::bench::Goal::kAtMost, 2, tervane::bench::Clock::kWall});

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

void BM_EmptyProgram(benchmark::State& state) {
  RunEachIteration(state, {TERVANE_EMPTY_PROGRAM}, "the empty program failed");
}
BENCHMARK(BM_EmptyProgram)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
