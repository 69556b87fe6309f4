#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>

namespace tervane::ui {

// A measurement's own colour, in the plot and in the strip: unlike every
// source's.
inline constexpr QRgb kMeasuredColor = 0xff1493;

class CLogLogPlotView;

// Under the spectrum: the measured over the predicted in dB against
// frequency, a point each, about a 0 dB line; the frequency axis the
// plot's above it, drawn under its axes box and following its zoom, the dB
// axis symmetric and wide enough for every point.
class CResidualStrip : public QWidget {
 public:
  // `points` are (frequency in Hz, dB), inside the plot's range or not.
  CResidualStrip(QList<QPointF> points, CLogLogPlotView* plot, QWidget* parent);
  // The plot to draw under, in place of the one before (a new weighting
  // draws a new plot).
  void Follow(CLogLogPlotView* plot);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Paints again whenever the plot does: it has been resized or zoomed.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QList<QPointF> m_points;
  const CLogLogPlotView* m_plot;
  double m_span;  // dB either side of 0
};

}  // namespace tervane::ui
