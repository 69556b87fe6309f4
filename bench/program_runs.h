#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tervane::bench {

// Name of the counter that holds a started program's peak resident memory,
// in KiB, averaged over the iterations.
inline constexpr const char* kPeakRssCounter = "peak_rss_kib";

// Starts the program (by its path, or found on PATH) with `args` once per
// iteration, in `folder` when one is given, its output thrown away, and
// times it from its start to its exit; benchmarks that use it take manual
// time. One run comes first, so that a program that is missing or exits
// with anything but 0 skips the benchmark with `failure`.
void RunEachIteration(benchmark::State& state, const std::vector<std::string>& args, const char* failure,
                      const std::string& folder = {});

}  // namespace tervane::bench
