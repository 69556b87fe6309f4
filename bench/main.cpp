// Runs the benchmarks as Google Benchmark's own main does, then prints each
// registered comparison: the subject against its floor or rival, measured in
// the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/comparisons.h"

namespace tervane::bench {
namespace {

std::vector<Comparison>& Registry() {
  static std::vector<Comparison> comparisons;
  return comparisons;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t half = values.size() / 2;
  return values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// The console output, plus the seconds per iteration of every run kept for
// the comparisons.
class ComparingReporter : public benchmark::ConsoleReporter {
 public:
  ComparingReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) Keep(run);
  }

  // The median seconds per iteration over the repetitions; none when the
  // benchmark did not run or failed.
  std::optional<double> MedianSeconds(const std::string& name, Clock clock) const {
    const auto found = m_times.find(name);
    if (found == m_times.end()) return std::nullopt;
    const Times& times = found->second;
    if (const auto& median = clock == Clock::kCpu ? times.cpuMedian : times.wallMedian) return median;
    const std::vector<double>& each = clock == Clock::kCpu ? times.cpu : times.wall;
    if (each.empty()) return std::nullopt;
    return Median(each);
  }

 private:
  struct Times {
    std::vector<double> cpu, wall;  // each repetition
    // Google Benchmark's own median, when it shows only the aggregates.
    std::optional<double> cpuMedian, wallMedian;
  };

  void Keep(const Run& run) {
    if (run.error_occurred) return;
    const double toSeconds = 1 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    Times& times = m_times[run.run_name.function_name];
    if (run.run_type == Run::RT_Iteration) {
      times.cpu.push_back(run.GetAdjustedCPUTime() * toSeconds);
      times.wall.push_back(run.GetAdjustedRealTime() * toSeconds);
    } else if (run.aggregate_name == "median") {
      times.cpuMedian = run.GetAdjustedCPUTime() * toSeconds;
      times.wallMedian = run.GetAdjustedRealTime() * toSeconds;
    }
  }

  std::map<std::string, Times> m_times;
};

void PrintComparisons(const ComparingReporter& reporter) {
  if (Registry().empty()) return;
  std::printf("\nComparisons (median of the repetitions; CPU time, or wall time for whole processes):\n");
  for (const Comparison& c : Registry()) {
    const auto subject = reporter.MedianSeconds(c.subject, c.clock);
    const auto reference = reporter.MedianSeconds(c.reference, c.clock);
    if (!subject || !reference) {
      std::printf("  %-40s not run\n", c.label.c_str());
      continue;
    }
    const bool atMost = c.goal == Goal::kAtMost;
    const double ratio = atMost ? *subject / *reference : *reference / *subject;
    const bool met = atMost ? ratio <= c.target : ratio >= c.target;
    std::printf("  %-40s %6.2fx %-6s  target %s %gx  %s\n", c.label.c_str(), ratio, atMost ? "" : "faster",
                atMost ? "<=" : ">=", c.target, met ? "met" : "MISSED");
  }
}

}  // namespace

bool AddComparison(Comparison comparison) {
  Registry().push_back(std::move(comparison));
  return true;
}

}  // namespace tervane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tervane::bench::ComparingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  tervane::bench::PrintComparisons(reporter);
  return 0;
}
