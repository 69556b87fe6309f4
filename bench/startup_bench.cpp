// The desktop app from start to its first frame, against a bare Qt dialog of
// the same size doing the same: each iteration starts the program, drawn
// offscreen, and waits for it to end; its peak memory is kept as well.
#include <benchmark/benchmark.h>

#include <QSize>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/comparisons.h"
#include "bench/gui_app.h"
#include "bench/program_runs.h"
#include "ui/calculator_dialog.h"

namespace {

using tervane::bench::AddComparison;
using tervane::bench::Clock;
using tervane::bench::Goal;

[[maybe_unused]] const bool kComparisons =
    AddComparison({"app to first paint vs bare dialog", "BM_AppToFirstPaint", "BM_BareDialogToFirstPaint",
                   Goal::kAtMost, 1.2, Clock::kWall}) &&
    AddComparison({"app peak memory vs bare dialog", "BM_AppToFirstPaint", "BM_BareDialogToFirstPaint", Goal::kAtMost,
                   1.2, Clock::kWall, tervane::bench::kPeakRssCounter});

// The calculator's size in pixels with this machine's fonts, for the bare
// dialog to match.
QSize CalculatorSize() {
  tervane::bench::EnsureGuiApplication();
  const tervane::ui::CCalculatorDlg calculator{std::filesystem::path()};
  return calculator.size();
}

// Both programs start in the folder of the shipped part library, which the
// app reads from there, and draw offscreen.
void RunProbe(benchmark::State& state, const std::vector<std::string>& args, const char* failure) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  tervane::bench::RunEachIteration(state, args, failure, TERVANE_DATA_DIR);
}

void BM_AppToFirstPaint(benchmark::State& state) { RunProbe(state, {TERVANE_APP_PROBE}, "the app probe failed"); }
BENCHMARK(BM_AppToFirstPaint)->MinTime(2)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BareDialogToFirstPaint(benchmark::State& state) {
  const QSize size = CalculatorSize();
  RunProbe(state, {TERVANE_BARE_PROBE, std::to_string(size.width()), std::to_string(size.height())},
           "the bare dialog probe failed");
}
BENCHMARK(BM_BareDialogToFirstPaint)->MinTime(2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
