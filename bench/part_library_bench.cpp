// Loading a large part library against a plain line-by-line read of the same
// file.
#include <benchmark/benchmark.h>

#include "bench/comparisons.h"
#include "bench/library_file.h"
#include "parts/part_library.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"LoadPartLibrary vs fgets lines", "BM_LoadPartLibrary", "BM_ReadLines", tervane::bench::Goal::kAtMost, 2.5});

void BM_LoadPartLibrary(benchmark::State& state) {
  for (auto _ : state) {
    tervane::PartLibrary library;
    benchmark::DoNotOptimize(tervane::LoadPartLibrary(tervane::bench::LibraryFile(), library));
    benchmark::DoNotOptimize(library.m_partTable.List().size());
  }
}
BENCHMARK(BM_LoadPartLibrary)->Unit(benchmark::kMillisecond);

}  // namespace
