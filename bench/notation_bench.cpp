// Reading and writing engineering notation against the C library's plain
// conversions of the same numbers, which are the floor to compare with.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/comparisons.h"
#include "notation/eng_format.h"
#include "notation/eng_parse.h"

namespace {

using tervane::bench::AddComparison;
using tervane::bench::Goal;

[[maybe_unused]] const bool kComparisons =
    AddComparison({"ParseEngValue vs strtod", "BM_ParseEngValue", "BM_Strtod", Goal::kAtMost, 1.5}) &&
    AddComparison({"FormatEngValue vs snprintf(\"%.4g\")", "BM_FormatEngValue", "BM_Snprintf", Goal::kAtMost, 1.5});

// Field texts as users type them, and the same numbers without prefixes.
const std::vector<std::string> kEngTexts = {"4.7k", "3n", "400f", "20k", "1.176\xB5", "0", "80",
                                            "108.0903", "2.2u", "-10m", "47ohm", "1e3"};
const std::vector<std::string> kPlainTexts = {"4.7e3", "3e-9", "400e-15", "20e3", "1.176e-6", "0",
                                              "80", "108.0903", "2.2e-6", "-10e-3", "47", "1e3"};
const std::vector<double> kValues = {4700, 3e-9, 4e-13, 20000, 1.17649e-6, 0.0009995,
                                     299.8167, 8.32318e-9, 118.588, -1234567, 1e30, 2};

void BM_ParseEngValue(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& t : kEngTexts) benchmark::DoNotOptimize(tervane::ParseEngValue(t));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kEngTexts.size()));
}
BENCHMARK(BM_ParseEngValue);

void BM_Strtod(benchmark::State& state) {
  for (auto _ : state)
    for (const auto& t : kPlainTexts) benchmark::DoNotOptimize(std::strtod(t.c_str(), nullptr));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kPlainTexts.size()));
}
BENCHMARK(BM_Strtod);

void BM_FormatEngValue(benchmark::State& state) {
  for (auto _ : state)
    for (double v : kValues) benchmark::DoNotOptimize(tervane::FormatEngValue(v, 4));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kValues.size()));
}
BENCHMARK(BM_FormatEngValue);

void BM_Snprintf(benchmark::State& state) {
  char buffer[32];
  for (auto _ : state)
    for (double v : kValues) {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.4g", v));
      benchmark::ClobberMemory();
    }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kValues.size()));
}
BENCHMARK(BM_Snprintf);

}  // namespace
