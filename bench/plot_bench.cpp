// The spectrum plot of the default form as the results window shows it:
// one mouse move over the axes box and the repaint it asks for, which has to
// take well under a frame (4 ms) for the readout to follow the mouse; and
// the whole plot drawn afresh, as after a resize or a wheel step.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWindow>

#include <memory>

#include "bench/gui_app.h"
#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "ui/log_log_plot.h"
#include "ui/spectrum_view.h"

namespace {

using tervane::ui::CLogLogPlotView;

// The plot at a usual window size, shown and painted once.
struct ShownPlot {
  std::unique_ptr<tervane::ui::CSpectrumView> view;
  CLogLogPlotView* plot = nullptr;

  ShownPlot() {
    tervane::bench::EnsureGuiApplication();
    tervane::CalculatorForm form;
    tervane::ApplyFormDefaults(form);
    view = std::make_unique<tervane::ui::CSpectrumView>(tervane::ComputeNoise(form), tervane::Weighting::kNone, nullptr);
    view->resize(900, 560);
    view->show();
    // Until the window is exposed a repaint draws nothing.
    while (!view->windowHandle()->isExposed()) QApplication::processEvents();
    plot = view->findChild<CLogLogPlotView*>(QStringLiteral("spectrumPlot"));
    plot->repaint();
  }

  void MoveTo(int x) const {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, plot->height() / 2), plot->mapToGlobal(QPointF(x, plot->height() / 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
  }
};

void BM_PlotReadoutRepaint(benchmark::State& state) {
  const ShownPlot shown;
  int x = shown.plot->width() / 4;
  for (auto _ : state) {
    shown.MoveTo(x);
    shown.plot->repaint();
    x = x < shown.plot->width() / 2 ? x + 1 : shown.plot->width() / 4;
  }
}
BENCHMARK(BM_PlotReadoutRepaint)->Unit(benchmark::kMillisecond);

void BM_PlotWholeRepaint(benchmark::State& state) {
  const ShownPlot shown;
  for (auto _ : state) {
    QResizeEvent resize(shown.plot->size(), shown.plot->size());
    QApplication::sendEvent(shown.plot, &resize);  // drops the drawn picture
    shown.MoveTo(shown.plot->width() / 3);
    shown.plot->repaint();
  }
}
BENCHMARK(BM_PlotWholeRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
