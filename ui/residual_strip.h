#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QWidget>

namespace tervane::ui {

// A measurement's own colour, in the plot and in the strip: unlike every
// source's.
inline constexpr QRgb kMeasuredColor = 0xff1493;

// Under the spectrum: the measured over the predicted in dB against
// frequency, a point each, about a 0 dB line; the frequency axis as the
// plot's whole range, the dB axis symmetric and wide enough for every point.
class CResidualStrip : public QWidget {
 public:
  // `points` are (frequency in Hz, dB), inside (xMin, xMax) or not.
  CResidualStrip(QList<QPointF> points, double xMin, double xMax, QWidget* parent);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QList<QPointF> m_points;
  double m_xMin, m_xMax;
  double m_span;  // dB either side of 0
};

}  // namespace tervane::ui
