// Loading a large part library against a plain line-by-line read of the same
// file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/comparisons.h"
#include "parts/part_library.h"

namespace {

constexpr int kLines = 100000;

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"LoadPartLibrary vs fgets lines", "BM_LoadPartLibrary", "BM_ReadLines", tervane::bench::Goal::kAtMost, 3});

const std::filesystem::path& LibraryFile() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "tervane_bench_parts.txt";
    std::ofstream out(p, std::ios::binary);
    out << "/ generated part library\n";
    for (int i = 0; i < kLines; ++i)
      out << "OPA" << (i * 7919) % 1000003 << " " << 1 + i % 9 << ".1n " << 1 + i % 7 << "00f "
          << 1 + i % 97 << "\n";
    return p;
  }();
  return path;
}

void BM_LoadPartLibrary(benchmark::State& state) {
  for (auto _ : state) {
    tervane::PartLibrary library;
    benchmark::DoNotOptimize(tervane::LoadPartLibrary(LibraryFile(), library));
    benchmark::DoNotOptimize(library.m_partList.data());
  }
}
BENCHMARK(BM_LoadPartLibrary)->Unit(benchmark::kMillisecond);

void BM_ReadLines(benchmark::State& state) {
  for (auto _ : state) {
    std::FILE* f = std::fopen(LibraryFile().c_str(), "r");
    char line[64];
    std::size_t count = 0;
    while (std::fgets(line, sizeof line, f)) ++count;
    std::fclose(f);
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

}  // namespace
