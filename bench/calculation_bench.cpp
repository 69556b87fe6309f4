// One whole calculation with its report and write-back, against the
// snprintf calls that writing the same numbers takes at the least; the
// same with every data-sheet figure for all the weightings, the weighting
// integrals of the band worked out once as a run of stages does; and the
// same again for the circuit as it is built, solved over frequency; and a
// photodiode's transimpedance amplifier with every input.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "bench/comparisons.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/write_back.h"
#include "noise/noise_calculation.h"
#include "noise/noise_figures.h"

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"calculation and report vs 21 snprintf", "BM_CalculateAndReport", "BM_TwentyOneSnprintf",
     tervane::bench::Goal::kAtMost, 1.5});

[[maybe_unused]] const bool kFiguresComparison = tervane::bench::AddComparison(
    {"calculation, report and figures vs without", "BM_CalculateReportAndFigures", "BM_CalculateAndReport",
     tervane::bench::Goal::kAtMost, 2});

[[maybe_unused]] const bool kOverFrequencyComparison = tervane::bench::AddComparison(
    {"calculation over frequency, report and figures vs plain calculation and report",
     "BM_CalculateOverFrequency", "BM_CalculateAndReport", tervane::bench::Goal::kAtMost, 10});

[[maybe_unused]] const bool kEverySourceComparison = tervane::bench::AddComparison(
    {"calculation with every source over frequency vs plain calculation and report", "BM_CalculateWithEverySource",
     "BM_CalculateAndReport", tervane::bench::Goal::kAtMost, 20});

[[maybe_unused]] const bool kTransimpedanceComparison = tervane::bench::AddComparison(
    {"transimpedance amplifier with every input vs plain calculation and report", "BM_TransimpedanceWithEveryInput",
     "BM_CalculateAndReport", tervane::bench::Goal::kAtMost, 10});

enum class Circuit { kTextbook, kAsBuilt, kEverySource };

// A moving-magnet cartridge (1k + 0.5 H into 47k || 200p) at a gain of 10,
// with a feedback capacitor, the op amp's GBW and its current noise corner;
// with every source, also a bypassed bias resistor, correlated current
// noise and excess noise in the feedback network.
void OverFrequency(tervane::StageInputs& stage, Circuit circuit) {
  stage.sourceInductance = 0.5;
  stage.loadResistor = 47e3;
  stage.loadCapacitor = 200e-12;
  stage.feedbackCapacitor = 100e-12;
  stage.gainBandwidth = 8e6;
  stage.currentCorner = 200;
  if (circuit != Circuit::kEverySource) return;
  stage.biasResistor = 1e3;
  stage.biasCapacitor = 10e-6;
  stage.inCorrelation = 0.5;
  for (const auto r : {tervane::ExcessResistor::kR1, tervane::ExcessResistor::kR2})
    stage.excess[tervane::ExcessIndex(r)] = tervane::ExcessNoise{-20, 1};
}

void CalculateAndReport(benchmark::State& state, bool withFigures, Circuit circuit = Circuit::kTextbook) {
  const bool overFrequency = circuit != Circuit::kTextbook;
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_strCornerFreq = "2.7";
  if (overFrequency) {
    form.m_strSourceResistor = "1k";
    form.m_strR2 = "9k";
  }
  for (auto _ : state) {
    tervane::CalculatorForm f = form;
    auto result = tervane::ComputeNoise(f);
    // The circuit's values go straight into the stage the form read, which
    // is calculated again.
    if (overFrequency) {
      OverFrequency(result.inputs, circuit);
      result.outcome = tervane::CalculateStage(result.inputs);
    }
    benchmark::DoNotOptimize(tervane::BuildNoiseReport(result, "OP27"));
    if (withFigures)
      benchmark::DoNotOptimize(tervane::ComputeNoiseFigures(*tervane::FigureInputsOf(result.inputs, result.outcome)));
    tervane::WriteBackResults(f, result);
    benchmark::DoNotOptimize(f);
  }
}

void BM_CalculateAndReport(benchmark::State& state) { CalculateAndReport(state, false); }
BENCHMARK(BM_CalculateAndReport);

void BM_CalculateReportAndFigures(benchmark::State& state) { CalculateAndReport(state, true); }
BENCHMARK(BM_CalculateReportAndFigures);

void BM_CalculateOverFrequency(benchmark::State& state) { CalculateAndReport(state, true, Circuit::kAsBuilt); }
BENCHMARK(BM_CalculateOverFrequency);

void BM_CalculateWithEverySource(benchmark::State& state) { CalculateAndReport(state, true, Circuit::kEverySource); }
BENCHMARK(BM_CalculateWithEverySource);

// A photodiode (100 Mohm, 20 pF, dark and photocurrent) into 100 kohm ||
// 1 pF with a bypassed bias resistor, an op amp with both corners, its GBW
// and input capacitances, over 1 Hz to 1 MHz, from the form as the window
// holds it: the calculation, its report (the loop, the input current, NEP
// and the minimum detectable power), its figures and the write-back; and
// Cf for Q = 0.707.
void BM_TransimpedanceWithEveryInput(benchmark::State& state) {
  tervane::CalculatorForm form;
  tervane::ApplyFormDefaults(form);
  form.m_nAmpType = tervane::AMP_TRANSIMPEDANCE;
  using Form = tervane::CalculatorForm;
  const std::pair<std::string Form::*, const char*> typed[] = {
      {&Form::m_strNoiseVoltage, "4n"},      {&Form::m_strNoiseCurrent, "10f"},
      {&Form::m_strCornerFreq, "100"},       {&Form::m_strCurrentCorner, "30"},
      {&Form::m_strGainBandwidth, "50M"},    {&Form::m_strCommonModeCapacitance, "3p"},
      {&Form::m_strDifferentialCapacitance, "1p"}, {&Form::m_strShuntResistance, "100M"},
      {&Form::m_strDiodeCapacitance, "20p"}, {&Form::m_strR2, "100k"},
      {&Form::m_strFeedbackCapacitor, "1p"}, {&Form::m_strBiasResistor, "100k"},
      {&Form::m_strBiasCapacitor, "1u"},     {&Form::m_strDarkCurrent, "1n"},
      {&Form::m_strPhotocurrent, "1u"},      {&Form::m_strResponsivity, "0.5"},
      {&Form::m_strLowerFreq, "1"},          {&Form::m_strUpperFreq, "1M"}};
  for (const auto& [member, text] : typed) form.*member = text;
  for (auto _ : state) {
    tervane::CalculatorForm f = form;
    const tervane::NoiseResult result = tervane::ComputeNoise(f);
    benchmark::DoNotOptimize(tervane::BuildNoiseReport(result, "OP27"));
    benchmark::DoNotOptimize(tervane::ComputeNoiseFigures(*tervane::FigureInputsOf(result.inputs, result.outcome)));
    tervane::WriteBackResults(f, result);
    benchmark::DoNotOptimize(tervane::SetCfForQ(f));
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_TransimpedanceWithEveryInput);

// What a new band costs once: the curved weightings integrated over it.
void BM_WeightingIntegrals(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tervane::IntegrateWeightings({20, 20000}));
}
BENCHMARK(BM_WeightingIntegrals);

// The report holds 10 numbers and the write-back 11.
void BM_TwentyOneSnprintf(benchmark::State& state) {
  char buffer[32];
  double v = 1.17649e-6;
  for (auto _ : state)
    for (int i = 0; i < 21; ++i) {
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.4g", v));
      benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TwentyOneSnprintf);

}  // namespace
