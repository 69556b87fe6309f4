// The generated part library, and the floor every benchmark of it is held
// against: reading its lines and nothing more.
#include "bench/library_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>

namespace tervane::bench {

const std::filesystem::path& LibraryFile() {
  constexpr int kLines = 100000;
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "tervane_bench_parts.txt";
    std::ofstream out(p, std::ios::binary);
    out << "/ generated part library\n";
    for (int i = 0; i < kLines; ++i)
      out << "OPA" << (i * 7919) % 1000003 << " " << 1 + i % 9 << ".1n " << 1 + i % 7 << "00f " << 1 + i % 97 << "\n";
    return p;
  }();
  return path;
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
