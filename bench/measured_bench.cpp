// A measured spectrum: reading an analyser's file of 100 000 lines against
// the plainest read of the same numbers (fgets and strtod), and a fit of
// the op amp's four figures to 2 000 points against one evaluation of the
// model at those points (the stage calculated, then its spectrum there).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "bench/comparisons.h"
#include "measured/noise_fit.h"
#include "measured/spectrum_reader.h"
#include "noise/noise_calculation.h"
#include "noise/noise_spectrum.h"

namespace {

using tervane::bench::AddComparison;
using tervane::bench::Goal;

[[maybe_unused]] const bool kComparisons =
    AddComparison({"ReadMeasuredFile of 100 000 lines vs fgets and strtod", "BM_ReadMeasuredFile", "BM_FgetsStrtod",
                   Goal::kAtMost, 2}) &&
    AddComparison({"fit of en, fc, in and fci to 2 000 points vs the model at them", "BM_FitFourFigures",
                   "BM_ModelAtPoints", Goal::kAtMost, 50});

// An FFT's bins from 0.5 Hz in steps of 0.5 Hz, as an analyser writes them.
const std::filesystem::path& MeasurementFile() {
  static const std::filesystem::path path = [] {
    auto p = std::filesystem::temp_directory_path() / "tervane_bench_measured.csv";
    std::ofstream out(p, std::ios::binary);
    out << "Frequency (Hz),Noise (V/rtHz)\n";
    char line[64];
    for (int k = 1; k <= 100000; ++k) {
      std::snprintf(line, sizeof line, "%.6e,%.6e\n", 0.5 * k, 3e-9 * (1 + 10 / (0.5 * k)) * (1 + 1e-3 * (k % 17)));
      out << line;
    }
    return p;
  }();
  return path;
}

void BM_FgetsStrtod(benchmark::State& state) {
  for (auto _ : state) {
    std::FILE* f = std::fopen(MeasurementFile().c_str(), "r");
    char line[128];
    std::vector<double> numbers;
    std::fgets(line, sizeof line, f);  // the header
    while (std::fgets(line, sizeof line, f)) {
      char* end = nullptr;
      numbers.push_back(std::strtod(line, &end));
      numbers.push_back(std::strtod(end + 1, nullptr));
    }
    std::fclose(f);
    benchmark::DoNotOptimize(numbers.data());
  }
}
BENCHMARK(BM_FgetsStrtod)->Unit(benchmark::kMillisecond);

void BM_ReadMeasuredFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tervane::ReadMeasuredFile(MeasurementFile(), {}));
}
BENCHMARK(BM_ReadMeasuredFile)->Unit(benchmark::kMillisecond);

// A moving-magnet cartridge (1k + 0.5 H into 47k || 200p) at a gain of 10,
// which sets en and in apart, at 2 000 points from 2 Hz to 200 kHz.
tervane::StageInputs Cartridge() {
  tervane::StageInputs s;
  s.ampType = tervane::AMP_NONINVERTING;
  s.sourceResistor = 1e3, s.r1 = 1e3, s.r2 = 9e3, s.kelvin = 298.15;
  s.lowerFreq = 20, s.upperFreq = 20e3, s.refVoltage = 1;
  s.en = 3e-9, s.in = 1e-12, s.cornerFreq = 10, s.applyCorner = true, s.currentCorner = 200;
  s.sourceInductance = 0.5, s.loadResistor = 47e3, s.loadCapacitor = 200e-12, s.gainBandwidth = 8e6;
  return s;
}
const std::vector<double>& Frequencies() {
  static const std::vector<double> f = tervane::SpectrumFrequencies(tervane::SpectrumRangeOf(Cartridge()), 2000);
  return f;
}

void BM_ModelAtPoints(benchmark::State& state) {
  const tervane::StageInputs s = Cartridge();
  for (auto _ : state) {
    const tervane::StageResult result = tervane::CalculateStage(s);
    for (const double f : Frequencies()) benchmark::DoNotOptimize(tervane::NoiseSpectrumAt(s, result, f));
  }
}
BENCHMARK(BM_ModelAtPoints)->Unit(benchmark::kMillisecond);

// The model's spectrum with 1 % noise, fitted from figures tens of percent off.
void BM_FitFourFigures(benchmark::State& state) {
  const tervane::StageInputs truth = Cartridge();
  const tervane::StageResult result = tervane::CalculateStage(truth);
  std::mt19937 random(1);
  std::normal_distribution<double> normal;
  tervane::FitMeasurement measurement;
  for (const double f : Frequencies())
    measurement.spectrum.points.push_back({f, tervane::NoiseSpectrumAt(truth, result, f)->total * (1 + 0.01 * normal(random))});
  measurement.stage = truth;
  measurement.stage.en *= 1.5, measurement.stage.cornerFreq *= 0.5, measurement.stage.in *= 2;
  *measurement.stage.currentCorner *= 0.7;
  const tervane::FitOptions options{{true, true, true, true, false}, 100};
  for (auto _ : state) {
    const tervane::NoiseFitting fitting = tervane::FitNoise({&measurement, 1}, options);
    if (!fitting.fit || !fitting.fit->converged) state.SkipWithError("the fit did not converge");
    benchmark::DoNotOptimize(fitting);
  }
}
BENCHMARK(BM_FitFourFigures)->Unit(benchmark::kMillisecond);

}  // namespace
