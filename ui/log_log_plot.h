#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <vector>

namespace tervane::ui {

// A line of the plot: its points in the plot's units and its pen.
struct PlotCurve {
  QString name;
  QList<QPointF> points;
  QColor color;
  qreal width = 1.5;
  Qt::PenStyle style = Qt::SolidLine;
};

// A log-log plot: both ranges positive, the curves drawn in order (the last
// on top), a shaded span of x under them all, and every one named in a
// legend on the right.
struct LogLogPlot {
  double xMin = 1, xMax = 10;
  double yMin = 1, yMax = 10;
  QString xTitle, yTitle;
  double shadeFrom = 0, shadeTo = 0;  // the shaded span of x
  QString shadeName;
  std::vector<PlotCurve> curves;
};

// Draws a LogLogPlot with decade grid lines, labelled, and minor ticks at
// 2..9 of each decade.
class CLogLogPlotView : public QWidget {
 public:
  CLogLogPlotView(LogLogPlot plot, QWidget* parent);

  const LogLogPlot& Plot() const { return m_plot; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LogLogPlot m_plot;
};

}  // namespace tervane::ui
