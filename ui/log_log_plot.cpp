#include "ui/log_log_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tervane::ui {
namespace {

const QColor kGridColor(0, 0, 0, 40);
const QColor kShadeColor(70, 130, 220, 40);

QString TickLabel(double value) { return QString::asprintf("%g", value); }

// Every power of ten in [low, high], with a little slack for rounding,
// or every `stride`-th of them.
template <class Visit>
void ForEachDecade(double low, double high, Visit visit, int stride = 1) {
  const int first = static_cast<int>(std::ceil(std::log10(low) - 1e-9));
  const int last = static_cast<int>(std::floor(std::log10(high) + 1e-9));
  for (int k = first; k <= last; ++k)
    if (k % stride == 0) visit(std::pow(10.0, k));
}

// 2..9 times each power of ten, strictly inside (low, high).
template <class Visit>
void ForEachMinorTick(double low, double high, Visit visit) {
  for (double decade = std::pow(10.0, std::floor(std::log10(low))); decade < high; decade *= 10)
    for (int j = 2; j <= 9; ++j)
      if (const double value = j * decade; value > low && value < high) visit(value);
}

int WidestLabel(const QFontMetrics& fm, double low, double high) {
  int widest = 0;
  ForEachDecade(low, high, [&](double v) { widest = std::max(widest, fm.horizontalAdvance(TickLabel(v))); });
  return widest;
}

// How many decades apart the labels of an axis `length` pixels long stand,
// so that labels `extent` pixels long never touch: 1, 2 or 5 times a power
// of ten, for labels that read as a series.
int LabelStride(double low, double high, double length, double extent) {
  const double decades = std::log10(high) - std::log10(low);
  const double least = decades * extent / std::max(length, 1.0);
  for (int power = 1;; power *= 10)
    for (const int step : {1, 2, 5})
      if (step * power >= least) return step * power;
}

// Where a value falls on a log axis running from `from` to `to` pixels.
struct LogScale {
  double low, high;
  double from, to;
  double operator()(double value) const {
    return from + (std::log10(value) - std::log10(low)) / (std::log10(high) - std::log10(low)) * (to - from);
  }
};

// Both ranges positive, finite and not empty: a log axis has no place for
// anything else.
bool Drawable(const LogLogPlot& plot) {
  const auto span = [](double low, double high) { return low > 0 && std::isfinite(high) && low < high; };
  return span(plot.xMin, plot.xMax) && span(plot.yMin, plot.yMax);
}

struct Layout {
  QRectF plot;
  QRectF legend;
  int sample = 0;  // length of a legend entry's line
};

Layout LayOut(const LogLogPlot& plot, const QFontMetrics& fm, const QSize& size) {
  const int line = fm.height();
  const int margin = line / 2;
  const int tick = line / 3;
  const int yLabels = WidestLabel(fm, plot.yMin, plot.yMax);
  int names = fm.horizontalAdvance(plot.shadeName);
  for (const PlotCurve& curve : plot.curves) names = std::max(names, fm.horizontalAdvance(curve.name));

  Layout layout;
  layout.sample = 2 * line;
  const int legendWidth = layout.sample + margin + names;
  const double left = margin + line + margin + yLabels + tick;
  const double right = size.width() - margin - legendWidth - 2 * margin;
  const double bottom = size.height() - margin - 2 * line - tick;
  layout.plot =
      QRectF(QPointF(left, margin + line / 2.0), QPointF(std::max(right, left + 1), std::max(bottom, 2.0 * line)));
  layout.legend = QRectF(size.width() - margin - legendWidth, layout.plot.top(), legendWidth, layout.plot.height());
  return layout;
}

// On an axis of a decade or two, 2 and 5 of each are labelled as well, so
// that a reading never needs counting minor lines.
bool LabelledMinor(double low, double high, double value) {
  const double mantissa = value / std::pow(10.0, std::floor(std::log10(value) + 1e-9));
  return high / low <= 100.0 * (1 + 1e-9) && (std::abs(mantissa - 2) < 1e-6 || std::abs(mantissa - 5) < 1e-6);
}

void DrawYLabel(QPainter& painter, const QRectF& r, double at, double value) {
  const QFontMetrics fm = painter.fontMetrics();
  const QString label = TickLabel(value);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(r.left() - fm.height() / 3 - fm.horizontalAdvance(label), at + fm.ascent() / 2.0 - 1),
                   label);
}

void DrawAxes(QPainter& painter, const LogLogPlot& plot, const QRectF& r, const LogScale& x, const LogScale& y) {
  const QFontMetrics fm = painter.fontMetrics();
  const int tick = fm.height() / 3;
  const QColor decadeColor(0, 0, 0, 90);
  const int xStride = LabelStride(plot.xMin, plot.xMax, r.width(), WidestLabel(fm, plot.xMin, plot.xMax) + fm.height());
  const int yStride = LabelStride(plot.yMin, plot.yMax, r.height(), 1.5 * fm.height());
  // Minor lines only where the decades are far enough apart to tell them.
  if (xStride == 1)
    ForEachMinorTick(plot.xMin, plot.xMax, [&](double v) {
      painter.setPen(kGridColor);
      painter.drawLine(QPointF(x(v), r.top()), QPointF(x(v), r.bottom()));
    });
  if (yStride == 1)
    ForEachMinorTick(plot.yMin, plot.yMax, [&](double v) {
      painter.setPen(kGridColor);
      painter.drawLine(QPointF(r.left(), y(v)), QPointF(r.right(), y(v)));
      if (LabelledMinor(plot.yMin, plot.yMax, v)) DrawYLabel(painter, r, y(v), v);
    });
  ForEachDecade(
      plot.xMin, plot.xMax,
      [&](double v) {
        painter.setPen(decadeColor);
        painter.drawLine(QPointF(x(v), r.top()), QPointF(x(v), r.bottom() + tick));
        painter.setPen(Qt::black);
        const QString label = TickLabel(v);
        painter.drawText(QPointF(x(v) - fm.horizontalAdvance(label) / 2.0, r.bottom() + tick + fm.ascent()), label);
      },
      xStride);
  ForEachDecade(
      plot.yMin, plot.yMax,
      [&](double v) {
        painter.setPen(decadeColor);
        painter.drawLine(QPointF(r.left() - tick, y(v)), QPointF(r.right(), y(v)));
        DrawYLabel(painter, r, y(v), v);
      },
      yStride);
  painter.setPen(Qt::black);
  painter.drawRect(r);

  painter.drawText(QRectF(r.left(), r.bottom() + tick + fm.height(), r.width(), fm.height()), Qt::AlignCenter,
                   plot.xTitle);
  painter.save();
  painter.translate(fm.height() / 2.0, r.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-r.height() / 2, 0, r.height(), fm.height()), Qt::AlignCenter, plot.yTitle);
  painter.restore();
}

QPen PenOf(const PlotCurve& curve) {
  QPen pen(curve.color, curve.width, curve.style);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

void DrawCurves(QPainter& painter, const LogLogPlot& plot, const QRectF& r, const LogScale& x, const LogScale& y) {
  painter.save();
  painter.setClipRect(r);
  painter.fillRect(QRectF(QPointF(x(plot.shadeFrom), r.top()), QPointF(x(plot.shadeTo), r.bottom())), kShadeColor);
  for (const PlotCurve& curve : plot.curves) {
    QPainterPath path;
    for (const QPointF& p : curve.points) {
      const QPointF at(x(p.x()), y(p.y()));
      if (path.elementCount() == 0)
        path.moveTo(at);
      else
        path.lineTo(at);
    }
    painter.strokePath(path, PenOf(curve));
  }
  painter.restore();
}

void DrawLegend(QPainter& painter, const LogLogPlot& plot, const Layout& layout) {
  const QFontMetrics fm = painter.fontMetrics();
  const int line = fm.height();
  QPointF at = layout.legend.topLeft();
  const auto entry = [&](const QString& name) {
    painter.setPen(Qt::black);
    painter.drawText(QPointF(at.x() + layout.sample + line / 2.0, at.y() + fm.ascent()), name);
    at.ry() += line * 1.25;
  };
  painter.fillRect(QRectF(at.x(), at.y() + 2, layout.sample, line - 4), kShadeColor);
  entry(plot.shadeName);
  for (const PlotCurve& curve : plot.curves) {
    painter.setPen(PenOf(curve));
    painter.drawLine(QPointF(at.x(), at.y() + line / 2.0), QPointF(at.x() + layout.sample, at.y() + line / 2.0));
    entry(curve.name);
  }
}

}  // namespace

CLogLogPlotView::CLogLogPlotView(LogLogPlot plot, QWidget* parent) : QWidget(parent), m_plot(std::move(plot)) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize CLogLogPlotView::sizeHint() const {
  const QFontMetrics fm = fontMetrics();
  return {60 * fm.averageCharWidth(), 22 * fm.height()};
}

void CLogLogPlotView::paintEvent(QPaintEvent*) {
  if (!Drawable(m_plot)) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const Layout layout = LayOut(m_plot, painter.fontMetrics(), size());
  const QRectF& r = layout.plot;
  const LogScale x{m_plot.xMin, m_plot.xMax, r.left(), r.right()};
  const LogScale y{m_plot.yMin, m_plot.yMax, r.bottom(), r.top()};
  DrawAxes(painter, m_plot, r, x, y);
  DrawCurves(painter, m_plot, r, x, y);
  DrawLegend(painter, m_plot, layout);
}

}  // namespace tervane::ui
