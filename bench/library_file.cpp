// The generated part library, and the floor every benchmark of it is held
// against: reading its lines and nothing more.
#include "bench/library_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>

namespace tervane::bench {

namespace {

std::filesystem::path WriteLibrary(bool bandwidth) {
  constexpr int kLines = 100000;
  auto p = std::filesystem::temp_directory_path() /
           (bandwidth ? "tervane_bench_parts_gbw.txt" : "tervane_bench_parts.txt");
  std::ofstream out(p, std::ios::binary);
  out << "/ generated part library\n";
  for (int i = 0; i < kLines; ++i) {
    out << "OPA" << (i * 7919) % 1000003 << " " << 1 + i % 9 << ".1n " << 1 + i % 7 << "00f " << 1 + i % 97;
    if (bandwidth) out << " " << 1 + i % 89 << "M " << i % 301 << " - " << 1 + i % 13 << "p " << i % 5 << ".5p";
    out << "\n";
  }
  return p;
}

}  // namespace

const std::filesystem::path& LibraryFile(bool bandwidth) {
  static const std::filesystem::path plain = WriteLibrary(false);
  static const std::filesystem::path withBandwidth = WriteLibrary(true);
  return bandwidth ? withBandwidth : plain;
}

namespace {

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
}  // namespace tervane::bench
