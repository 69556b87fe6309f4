#include "ui/log_log_plot.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

#include "notation/eng_format.h"
#include "ui/qt_text.h"

namespace tervane::ui {
namespace {

const QColor kGridColor(0, 0, 0, 40);
const QColor kShadeColor(70, 130, 220, 40);

// Each wheel step shows this much less (or more) of the x axis.
constexpr double kZoomPerStep = 1.25;
// The least x span zoomed to: four times its low end always holds a 1, 2
// or 5 of some decade, which are labelled, so an axis never goes blank.
constexpr double kLeastXRatio = 4;

QString TickLabel(double value) { return EngText(value); }

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

void DrawXLabel(QPainter& painter, const QRectF& r, double at, double value) {
  const QFontMetrics fm = painter.fontMetrics();
  const QString label = TickLabel(value);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(at - fm.horizontalAdvance(label) / 2.0, r.bottom() + fm.height() / 3 + fm.ascent()), label);
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
      if (LabelledMinor(plot.xMin, plot.xMax, v)) DrawXLabel(painter, r, x(v), v);
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
        DrawXLabel(painter, r, x(v), v);
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

// The axes box's x pixel as a value of x, the inverse of LogScale.
double XAt(const LogLogPlot& plot, const QRectF& r, double pixel) {
  const double fraction = (pixel - r.left()) / std::max(r.width(), 1.0);
  return std::pow(10.0, std::log10(plot.xMin) + fraction * (std::log10(plot.xMax) - std::log10(plot.xMin)));
}

// The plot's whole picture; returns where its axes box lies.
QRectF DrawPlot(QPainter& painter, const LogLogPlot& plot, const QSize& size) {
  if (!Drawable(plot)) return {};
  painter.setRenderHint(QPainter::Antialiasing);
  const Layout layout = LayOut(plot, painter.fontMetrics(), size);
  const QRectF& r = layout.plot;
  const LogScale x{plot.xMin, plot.xMax, r.left(), r.right()};
  const LogScale y{plot.yMin, plot.yMax, r.bottom(), r.top()};
  DrawAxes(painter, plot, r, x, y);
  DrawCurves(painter, plot, r, x, y);
  DrawLegend(painter, plot, layout);
  return r;
}

// A line at `at` and beside it x and every curve's value there, in a box
// kept inside the axes box: right of the line, or left where it would
// not fit.
void DrawReadout(QPainter& painter, const LogLogPlot& plot, const QRectF& r, double at) {
  const QFontMetrics fm = painter.fontMetrics();
  const std::vector<ReadoutLine> lines = ReadoutAt(plot, XAt(plot, r, at));
  const int line = fm.height();
  const int pad = line / 3;
  const int swatch = line;
  int width = 0;
  for (const ReadoutLine& text : lines) width = std::max(width, fm.horizontalAdvance(text.text));
  QRectF box(0, r.top() + pad, width + swatch + 3 * pad, static_cast<double>(lines.size()) * line + 2 * pad);
  box.moveLeft(at + pad + box.width() <= r.right() ? at + pad : at - pad - box.width());
  box.moveLeft(std::clamp(box.left(), r.left(), std::max(r.left(), r.right() - box.width())));

  painter.setPen(QPen(QColor(0, 0, 0, 140), 1, Qt::DashLine));
  painter.drawLine(QPointF(at, r.top()), QPointF(at, r.bottom()));
  painter.setPen(QColor(0, 0, 0, 120));
  painter.setBrush(QColor(255, 255, 255, 230));
  painter.drawRect(box);
  const double textLeft = box.left() + 2 * pad + swatch;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double top = box.top() + pad + static_cast<double>(i) * line;
    if (lines[i].curve) {
      painter.setPen(PenOf(*lines[i].curve));
      painter.drawLine(QPointF(box.left() + pad, top + line / 2.0), QPointF(box.left() + pad + swatch, top + line / 2.0));
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(textLeft, top + fm.ascent()), lines[i].text);
  }
}

}  // namespace

void DrawLogLogPlot(QPainter& painter, const LogLogPlot& plot, const QSize& size) { DrawPlot(painter, plot, size); }

std::vector<ReadoutLine> ReadoutAt(const LogLogPlot& plot, double x) {
  std::vector<ReadoutLine> lines{{EngText(x, plot.xUnit)}};
  const auto valueOf = [&](const QString& name) -> std::optional<double> {
    for (const PlotCurve& curve : plot.curves)
      if (curve.name == name) return CurveValueAt(curve, x);
    return std::nullopt;
  };
  for (const PlotCurve& curve : plot.curves)
    if (const std::optional<double> y = CurveValueAt(curve, x))
      lines.push_back({QStringLiteral("%1: %2").arg(curve.name, EngText(*y, plot.yUnit)), &curve});
  if (plot.ratio) {
    const std::optional<double> over = valueOf(plot.ratio->over), under = valueOf(plot.ratio->under);
    if (over && under && *under > 0)
      lines.push_back({QStringLiteral("%1/%2: %3 dB")
                           .arg(plot.ratio->over, plot.ratio->under,
                                QString::fromStdString(FormatFixed(20 * std::log10(*over / *under), 2)))});
  }
  return lines;
}

std::optional<double> CurveValueAt(const PlotCurve& curve, double x) {
  const QList<QPointF>& points = curve.points;
  if (points.isEmpty() || x < points.front().x() || x > points.back().x()) return std::nullopt;
  const auto after = std::lower_bound(points.begin(), points.end(), x,
                                      [](const QPointF& p, double value) { return p.x() < value; });
  if (after == points.begin()) return after->y();
  const QPointF& a = *(after - 1);
  const QPointF& b = *after;
  const double t = (std::log(x) - std::log(a.x())) / (std::log(b.x()) - std::log(a.x()));
  return std::exp(std::log(a.y()) + t * (std::log(b.y()) - std::log(a.y())));
}

CLogLogPlotView::CLogLogPlotView(LogLogPlot plot, QWidget* parent)
    : QWidget(parent), m_plot(std::move(plot)), m_fullXMin(m_plot.xMin), m_fullXMax(m_plot.xMax) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMouseTracking(true);
  setToolTip(QStringLiteral("Wheel: zoom the frequency axis; double-click: the whole range"));
}

QSize CLogLogPlotView::sizeHint() const {
  const QFontMetrics fm = fontMetrics();
  return {60 * fm.averageCharWidth(), 22 * fm.height()};
}

QImage CLogLogPlotView::Picture() const {
  const qreal ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(palette().color(QPalette::Base));
  QPainter painter(&image);
  painter.setFont(font());
  DrawPlot(painter, m_plot, size());
  return image;
}

void CLogLogPlotView::paintEvent(QPaintEvent*) {
  if (m_picture.isNull()) {
    m_picture = QPixmap(size() * devicePixelRatioF());
    m_picture.setDevicePixelRatio(devicePixelRatioF());
    m_picture.fill(palette().color(QPalette::Base));
    QPainter painter(&m_picture);
    painter.setFont(font());
    m_area = DrawPlot(painter, m_plot, size());
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_picture);
  if (m_readoutX && !m_area.isEmpty()) {
    painter.setRenderHint(QPainter::Antialiasing);
    DrawReadout(painter, m_plot, m_area, *m_readoutX);
  }
}

void CLogLogPlotView::resizeEvent(QResizeEvent* event) {
  m_picture = {};
  QWidget::resizeEvent(event);
}

void CLogLogPlotView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  const bool over = m_area.contains(at);
  if (over || m_readoutX) {
    m_readoutX = over ? std::optional(at.x()) : std::nullopt;
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void CLogLogPlotView::leaveEvent(QEvent* event) {
  m_readoutX.reset();
  update();
  QWidget::leaveEvent(event);
}

// About the cursor's frequency, which stays under the cursor; never beyond
// the whole range nor closer than kLeastXRatio.
void CLogLogPlotView::wheelEvent(QWheelEvent* event) {
  if (m_area.isEmpty()) return;
  const double steps = event->angleDelta().y() / 120.0;
  const double pixel = std::clamp(event->position().x(), m_area.left(), m_area.right());
  const double centre = std::log10(XAt(m_plot, m_area, pixel));
  const double scale = std::pow(kZoomPerStep, -steps);
  const double fullLow = std::log10(m_fullXMin), fullHigh = std::log10(m_fullXMax);
  const double span = std::clamp((std::log10(m_plot.xMax) - std::log10(m_plot.xMin)) * scale,
                                 std::min(std::log10(kLeastXRatio), fullHigh - fullLow), fullHigh - fullLow);
  const double fraction = (pixel - m_area.left()) / std::max(m_area.width(), 1.0);
  const double low = std::clamp(centre - fraction * span, fullLow, fullHigh - span);
  ShowXRange(std::pow(10.0, low), std::pow(10.0, low + span));
  event->accept();
}

void CLogLogPlotView::mouseDoubleClickEvent(QMouseEvent* event) {
  ShowXRange(m_fullXMin, m_fullXMax);
  event->accept();
}

void CLogLogPlotView::ShowXRange(double low, double high) {
  m_plot.xMin = low;
  m_plot.xMax = high;
  m_picture = {};
  update();
}

}  // namespace tervane::ui
