// Ranking a large part library through a weighting against ranking it by
// the report's total: the weighting integrals depend on the band alone, so
// a ranking integrates once and each part costs a few multiplications more.
#include <benchmark/benchmark.h>

#include "bench/comparisons.h"
#include "bench/library_file.h"
#include "form/part_ranking.h"
#include "parts/part_library.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"ranking 100 000 parts A-weighted vs unweighted", "BM_RankPartsWeighted", "BM_RankParts",
     tervane::bench::Goal::kAtMost, 2});

const tervane::PartLibrary& Library() {
  static const tervane::PartLibrary library = [] {
    tervane::PartLibrary loaded;
    tervane::LoadPartLibrary(tervane::bench::LibraryFile(), loaded);
    return loaded;
  }();
  return library;
}

void Rank(benchmark::State& state, tervane::Weighting weighting) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_nAmpType = tervane::AMP_NONINVERTING;
  const tervane::PartLibrary& library = Library();
  for (auto _ : state) benchmark::DoNotOptimize(tervane::RankParts(form, library, weighting));
  state.counters["parts"] = static_cast<double>(library.m_partList.size());
}

void BM_RankParts(benchmark::State& state) { Rank(state, tervane::Weighting::kNone); }
BENCHMARK(BM_RankParts)->Unit(benchmark::kMillisecond);

void BM_RankPartsWeighted(benchmark::State& state) { Rank(state, tervane::Weighting::kA); }
BENCHMARK(BM_RankPartsWeighted)->Unit(benchmark::kMillisecond);

}  // namespace
