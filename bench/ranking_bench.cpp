// Ranking a large part library through a weighting against ranking it by
// the report's total: the weighting integrals depend on the band alone, so
// a ranking integrates once and each part costs a few multiplications more.
// And ranking it for a phono cartridge over frequency: the circuit is
// prepared once, and each part costs a sum over the rule's nodes. And
// ranking it for a photodiode, each part with its own GBW, Ccm and Cdiff.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>

#include "bench/comparisons.h"
#include "bench/library_file.h"
#include "form/form_calculation.h"
#include "form/part_ranking.h"
#include "parts/part_library.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"ranking 100 000 parts A-weighted vs unweighted", "BM_RankPartsWeighted", "BM_RankParts",
     tervane::bench::Goal::kAtMost, 2});

[[maybe_unused]] const bool kCartridgeComparison = tervane::bench::AddComparison(
    {"ranking 100 000 parts for a cartridge over frequency vs the textbook stage", "BM_RankPartsCartridge",
     "BM_RankParts", tervane::bench::Goal::kAtMost, 30});

[[maybe_unused]] const bool kPhotodiodeComparison = tervane::bench::AddComparison(
    {"ranking 100 000 parts for a photodiode's transimpedance amplifier vs the textbook stage",
     "BM_RankPartsPhotodiode", "BM_RankParts", tervane::bench::Goal::kAtMost, 30});

const tervane::PartLibrary& Library(bool bandwidth = false) {
  static const auto load = [](bool withBandwidth) {
    tervane::PartLibrary loaded;
    tervane::LoadPartLibrary(tervane::bench::LibraryFile(withBandwidth), loaded);
    return loaded;
  };
  static const tervane::PartLibrary plain = load(false);
  static const tervane::PartLibrary withBandwidth = load(true);
  return bandwidth ? withBandwidth : plain;
}

void Rank(benchmark::State& state, tervane::Weighting weighting) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_nAmpType = tervane::AMP_NONINVERTING;
  const tervane::PartLibrary& library = Library();
  for (auto _ : state) benchmark::DoNotOptimize(tervane::RankParts(form, library, weighting));
  state.counters["parts"] = static_cast<double>(library.m_partTable.GetCount());
}

void BM_RankParts(benchmark::State& state) { Rank(state, tervane::Weighting::kNone); }
BENCHMARK(BM_RankParts)->Unit(benchmark::kMillisecond);

void BM_RankPartsWeighted(benchmark::State& state) { Rank(state, tervane::Weighting::kA); }
BENCHMARK(BM_RankPartsWeighted)->Unit(benchmark::kMillisecond);

// Every part of the library with its own GBW and corners (and input
// capacitances) in `circuit`.
void RankInCircuit(benchmark::State& state, const tervane::NoiseResult& circuit, tervane::Weighting weighting) {
  const tervane::PartLibrary& library = Library(true);
  for (auto _ : state) benchmark::DoNotOptimize(tervane::RankParts(circuit, library, weighting));
  state.counters["parts"] = static_cast<double>(library.m_partTable.GetCount());
}

// 1k + 0.5 H into 47k || 200p, a gain of 10, RIAA-weighted, each part with
// its own gain-bandwidth product and current-noise corner.
void BM_RankPartsCartridge(benchmark::State& state) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_nAmpType = tervane::AMP_NONINVERTING;
  form.m_strSourceResistor = "1k";
  form.m_strR2 = "9k";
  tervane::NoiseResult circuit = tervane::ComputeNoise(form);
  circuit.inputs.sourceInductance = 0.5;
  circuit.inputs.loadResistor = 47e3;
  circuit.inputs.loadCapacitor = 200e-12;
  RankInCircuit(state, circuit, tervane::Weighting::kRiaa);
}
BENCHMARK(BM_RankPartsCartridge)->Unit(benchmark::kMillisecond);

// A photodiode of 100 Mohm and 20 pF with its dark current into 100 kohm ||
// 1 pF, over 1 Hz to 1 MHz.
void BM_RankPartsPhotodiode(benchmark::State& state) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_nAmpType = tervane::AMP_TRANSIMPEDANCE;
  using Form = tervane::CalculatorForm;
  const std::pair<std::string Form::*, const char*> typed[] = {
      {&Form::m_strR2, "100k"},           {&Form::m_strFeedbackCapacitor, "1p"}, {&Form::m_strShuntResistance, "100M"},
      {&Form::m_strDiodeCapacitance, "20p"}, {&Form::m_strDarkCurrent, "1n"},     {&Form::m_strLowerFreq, "1"},
      {&Form::m_strUpperFreq, "1M"}};
  for (const auto& [member, text] : typed) form.*member = text;
  const tervane::NoiseResult circuit = tervane::ComputeNoise(form);
  RankInCircuit(state, circuit, tervane::Weighting::kNone);
}
BENCHMARK(BM_RankPartsPhotodiode)->Unit(benchmark::kMillisecond);

}  // namespace
