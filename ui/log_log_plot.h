#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace tervane::ui {

// A line of the plot: its points in the plot's units, x ascending, and its pen.
struct PlotCurve {
  QString name;
  QList<QPointF> points;
  QColor color;
  qreal width = 1.5;
  Qt::PenStyle style = Qt::SolidLine;
};

// A log-log plot: both ranges positive, a shaded span of x under every
// curve, and every one named in a legend on the right. The curves are
// listed in the legend and drawn in order, each over the ones before: the
// first, a sum drawn wider than its parts, shows round a part that makes
// all of it instead of hiding it.
struct LogLogPlot {
  double xMin = 1, xMax = 10;
  double yMin = 1, yMax = 10;
  QString xTitle, yTitle;
  QString xUnit, yUnit;  // after the values of the readout
  double shadeFrom = 0, shadeTo = 0;  // the shaded span of x
  QString shadeName;
  std::vector<PlotCurve> curves;
  // Two curves, by name, whose ratio the readout gives in dB where both
  // have a value: a measurement against the model.
  struct Ratio {
    QString over, under;
  };
  std::optional<Ratio> ratio;
};

// Draws the whole plot into a `size` rectangle at the painter's origin, with
// decade grid lines, ticks in engineering notation and minor ticks at 2..9
// of each decade. Text is drawn as text, so a PDF or SVG keeps it.
void DrawLogLogPlot(QPainter& painter, const LogLogPlot& plot, const QSize& size);

// The density of `curve` at `x`, straight between its points on log-log
// axes; none outside its points.
std::optional<double> CurveValueAt(const PlotCurve& curve, double x);

// What the readout says at `x`: x itself, every curve's value there (with
// the curve, for its swatch) and the ratio where the plot has one.
struct ReadoutLine {
  QString text;
  const PlotCurve* curve = nullptr;
};
std::vector<ReadoutLine> ReadoutAt(const LogLogPlot& plot, double x);

// A LogLogPlot on screen, to read off: hovering shows a line at the cursor
// and a label with x and every curve's value there; the wheel zooms the x
// axis about the cursor and a double-click shows the whole range again.
class CLogLogPlotView : public QWidget {
 public:
  CLogLogPlotView(LogLogPlot plot, QWidget* parent);

  // The plot as shown, with the x range zoomed to.
  const LogLogPlot& Plot() const { return m_plot; }
  QSize sizeHint() const override;
  // The plot as shown, without the readout, at the screen's pixel ratio.
  QImage Picture() const;
  // Where the axes are, in this widget; empty before it is first painted.
  QRectF AxesBox() const { return m_area; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ShowXRange(double low, double high);

  LogLogPlot m_plot;
  double m_fullXMin, m_fullXMax;
  // The plot without the readout, drawn again only when its size or range
  // changes, so that the readout follows the mouse at no more than a copy.
  QPixmap m_picture;
  QRectF m_area;                   // the plot's axes box in m_picture
  std::optional<double> m_readoutX;  // in pixels, while the cursor is over the axes box
};

}  // namespace tervane::ui
