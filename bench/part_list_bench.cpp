// The desktop app's part list with the 100 000 names of the generated
// library, against reading the same file's lines: filled as the main window
// fills it at start-up, with its first show and paint, and its drop-down
// opened for the first time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QEvent>

#include <filesystem>
#include <memory>

#include "bench/comparisons.h"
#include "bench/gui_app.h"
#include "bench/library_file.h"
#include "parts/part_library.h"
#include "ui/calculator_dialog.h"
#include "ui/part_list.h"

namespace {

using tervane::bench::AddComparison;
using tervane::bench::Goal;

[[maybe_unused]] const bool kComparisons =
    AddComparison({"part list of 100 000 names vs fgets lines", "BM_FillPartList", "BM_ReadLines", Goal::kAtMost, 3}) &&
    AddComparison({"its first drop-down vs fgets lines", "BM_FirstPartListDropDown", "BM_ReadLines", Goal::kAtMost, 3});

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// The names of the generated library, read once.
const tervane::PartLibrary& Library() {
  static const tervane::PartLibrary library = [] {
    tervane::PartLibrary loaded;
    tervane::LoadPartLibrary(tervane::bench::LibraryFile(), loaded);
    return loaded;
  }();
  return library;
}

// The main window without a library, on screen, its part list hidden when
// asked to be.
struct Window {
  explicit Window(bool listHidden) {
    tervane::bench::EnsureGuiApplication();
    dialog = std::make_unique<tervane::ui::CCalculatorDlg>(std::filesystem::path());
    list = dialog->findChild<QComboBox*>(QStringLiteral("partList"));
    list->setHidden(listHidden);
    dialog->show();
    QApplication::processEvents();
  }

  std::unique_ptr<tervane::ui::CCalculatorDlg> dialog;
  QComboBox* list = nullptr;
};

// The timed part is the list's own: its fill, and its first show and paint
// in a window already drawn.
void BM_FillPartList(benchmark::State& state) {
  if (Library().m_partTable.List().empty()) state.SkipWithError("the generated part library cannot be read");
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<Window>(true);
    PaintWatch watch;
    window->list->installEventFilter(&watch);
    state.ResumeTiming();

    tervane::ui::FillPartList(window->list, Library().m_partTable.List());
    window->list->show();
    while (!watch.painted) QApplication::processEvents();

    state.PauseTiming();
    window->list->removeEventFilter(&watch);
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FillPartList)->Unit(benchmark::kMillisecond);

void BM_FirstPartListDropDown(benchmark::State& state) {
  if (Library().m_partTable.List().empty()) state.SkipWithError("the generated part library cannot be read");
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<Window>(false);
    tervane::ui::FillPartList(window->list, Library().m_partTable.List());
    QApplication::processEvents();
    state.ResumeTiming();

    window->list->showPopup();
    QApplication::processEvents();
    window->list->hidePopup();

    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstPartListDropDown)->Unit(benchmark::kMillisecond);

}  // namespace
