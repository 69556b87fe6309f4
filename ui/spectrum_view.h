#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/chain_form.h"
#include "form/form_calculation.h"
#include "noise/noise_spectrum.h"
#include "noise/weighting.h"
#include "ui/log_log_plot.h"
#include "ui/view_commands.h"

namespace tervane::ui {

// "Spectrum": the output noise density against frequency on log-log axes,
// from a decade below the band to a decade above it, the band shaded: the
// total bold and under the rest, so that a source that makes all of it
// still shows, each source thin with the 1/f rise where it applies; of a
// chain, each stage's own noise at the chain's output instead of the
// sources. A source or stage without noise has no place on a log axis and
// is named under the plot instead. Through a weighting, the weighted total is one more curve over
// the band. In carry mode the carried noise is part of the total, flat over
// its band, as a note under the plot says. A result without a spectrum shows
// one line saying why.
// "Save As..." writes the plot as shown as PNG (at the screen's pixel
// ratio) or SVG, or the spectrum's data as CSV.
class CSpectrumView : public QWidget, public CSavableView {
 public:
  CSpectrumView(const NoiseResult& result, Weighting weighting, QWidget* parent);
  CSpectrumView(const ChainCalculation& result, Weighting weighting, QWidget* parent);

  void SetWeighting(Weighting weighting);

  // The whole plot; none when there is nothing to draw.
  const LogLogPlot* FullPlot() const;
  void SaveAs() override;

 private:
  void SaveTo(const QString& path, const QString& format);

  // The curves drawn (the total first) and those without noise.
  void Show(const StageInputs& band, std::vector<PlotCurve> drawn, const QStringList& silent,
            const std::optional<std::string>& note, Weighting weighting);
  void ShowPlot(std::vector<PlotCurve> curves);

  StageInputs m_band;  // whose band and range the plot shows
  std::function<std::string()> m_csv;  // the spectrum's data, for "Save As..."
  std::vector<PlotCurve> m_curves;  // the total and the sources or stages, unweighted
  CLogLogPlotView* m_plot = nullptr;
  std::unique_ptr<LogLogPlot> m_fullPlot;
};

}  // namespace tervane::ui
