// Runs the benchmarks as Google Benchmark's own main does, then prints each
// registered comparison: the subject against its floor or rival, measured in
// the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

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

// What a comparison reads of a benchmark's runs: a clock, or a counter.
std::string MeasureOf(const Comparison& c) {
  if (!c.counter.empty()) return "counter " + c.counter;
  return c.clock == Clock::kCpu ? "cpu time" : "wall time";
}

// The console output, plus every run's times (seconds per iteration) and
// counters kept for the comparisons.
class ComparingReporter : public benchmark::ConsoleReporter {
 public:
  ComparingReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) Keep(run);
  }

  // The median over the repetitions; none when the benchmark did not run,
  // failed, or has no such counter.
  std::optional<double> Median(const std::string& name, const std::string& measure) const {
    const auto found = m_samples.find({name, measure});
    if (found == m_samples.end()) return std::nullopt;
    const Samples& samples = found->second;
    if (samples.median) return samples.median;
    if (samples.each.empty()) return std::nullopt;
    return bench::Median(samples.each);
  }

 private:
  struct Samples {
    std::vector<double> each;      // each repetition
    std::optional<double> median;  // Google Benchmark's own, when it shows only the aggregates
  };

  void Keep(const Run& run) {
    if (run.error_occurred) return;
    const double toSeconds = 1 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    const std::string& name = run.run_name.function_name;
    std::vector<std::pair<std::string, double>> values{{"cpu time", run.GetAdjustedCPUTime() * toSeconds},
                                                       {"wall time", run.GetAdjustedRealTime() * toSeconds}};
    for (const auto& [counter, value] : run.counters) values.emplace_back("counter " + counter, value.value);
    for (const auto& [measure, value] : values) {
      Samples& samples = m_samples[{name, measure}];
      if (run.run_type == Run::RT_Iteration)
        samples.each.push_back(value);
      else if (run.aggregate_name == "median")
        samples.median = value;
    }
  }

  std::map<std::pair<std::string, std::string>, Samples> m_samples;  // by benchmark and measure
};

void PrintComparisons(const ComparingReporter& reporter) {
  if (Registry().empty()) return;
  std::printf(
      "\nComparisons (median of the repetitions; CPU time, wall time for whole processes, or the counter "
      "named):\n");
  for (const Comparison& c : Registry()) {
    const auto subject = reporter.Median(c.subject, MeasureOf(c));
    const auto reference = reporter.Median(c.reference, MeasureOf(c));
    if (!subject || !reference) {
      std::printf("  %-44s not run\n", c.label.c_str());
      continue;
    }
    const bool atMost = c.goal == Goal::kAtMost;
    const double ratio = atMost ? *subject / *reference : *reference / *subject;
    const bool met = atMost ? ratio <= c.target : ratio >= c.target;
    std::printf("  %-44s %6.2fx %-6s  target %s %gx  %s\n", c.label.c_str(), ratio, atMost ? "" : "faster",
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
  // Freed memory stays with the process, so that every repetition measures
  // the work itself, whatever glibc's heuristics would give back to the
  // system in between: a page touched afresh costs about 18 us on the
  // development VM, and a 100 000-part library touches some 4 000.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tervane::bench::ComparingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  tervane::bench::PrintComparisons(reporter);
  return 0;
}
