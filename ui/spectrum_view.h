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
#include "form/measured_overlay.h"
#include "measured/noise_fit.h"
#include "ui/log_log_plot.h"
#include "ui/measurement_dialog.h"
#include "ui/view_commands.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tervane::ui {

class CResidualStrip;

// Where a stage's spectrum finds the measurement to draw against it, kept
// by the main window from one calculation to the next, and what takes a
// fit's figures into the form.
struct MeasurementHost {
  std::optional<Measurement>* measurement = nullptr;
  std::function<void(const NoiseFit& fit)> applyFit;
};

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
// Given a MeasurementHost, a stage's view adds "Add Measurement...",
// "Remove Measurement" and "Fit..." (buttons and the plot's context menu):
// the measurement is drawn over the model as "Measured", the readout gives
// its ratio to the total in dB, a "Residual" strip can show that ratio
// under the plot, and a table gives its total over the band beside the
// model's through every weighting.
// "Save As..." writes the plot as shown as PNG (at the screen's pixel
// ratio) or SVG, or the spectrum's data as CSV.
class CSpectrumView : public QWidget, public CSavableView {
 public:
  CSpectrumView(const NoiseResult& result, Weighting weighting, QWidget* parent, MeasurementHost host = {});
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
  void AddMeasurementCommands();
  void ShowMeasurement();
  void ShowResidual();
  void ShowBandComparison();
  void OnAddMeasurement();
  void OnRemoveMeasurement();
  void OnFit();

  StageInputs m_band;  // whose band and range the plot shows
  std::function<std::string()> m_csv;  // the spectrum's data, for "Save As..."
  std::vector<PlotCurve> m_curves;  // the total and the sources or stages, unweighted
  CLogLogPlotView* m_plot = nullptr;
  std::unique_ptr<LogLogPlot> m_fullPlot;
  Weighting m_weighting = Weighting::kNone;

  // A stage's, when it is measured against.
  NoiseResult m_result;
  MeasurementHost m_host;
  std::optional<std::vector<OverlayPoint>> m_overlay;
  QLabel* m_measurementLabel = nullptr;
  QPushButton* m_removeButton = nullptr;
  QPushButton* m_fitButton = nullptr;
  QCheckBox* m_residualCheck = nullptr;
  CResidualStrip* m_residual = nullptr;
  QTableWidget* m_bandTable = nullptr;
  QLabel* m_bandNote = nullptr;
};

}  // namespace tervane::ui
