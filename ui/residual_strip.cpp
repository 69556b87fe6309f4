#include "ui/residual_strip.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "notation/eng_format.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"

namespace tervane::ui {
namespace {

// The first of 1, 2, 5, 10, 20, 50 ... dB that holds `largest`.
double SpanFor(double largest) {
  for (double decade = 1;; decade *= 10)
    for (const double step : {1.0, 2.0, 5.0})
      if (step * decade >= largest || decade > 1e3) return step * decade;
}

QString DbText(double db) { return QString::fromStdString(FormatFixed(db, 0)) + QStringLiteral(" dB"); }

}  // namespace

CResidualStrip::CResidualStrip(QList<QPointF> points, CLogLogPlotView* plot, QWidget* parent)
    : QWidget(parent), m_points(std::move(points)) {
  double largest = 0;
  for (const QPointF& p : m_points) largest = std::max(largest, std::fabs(p.y()));
  m_span = SpanFor(largest);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setToolTip(QStringLiteral("Measured over predicted, in dB"));
  Follow(plot);
}

void CResidualStrip::Follow(CLogLogPlotView* plot) {
  m_plot = plot;
  plot->installEventFilter(this);
  update();
}

bool CResidualStrip::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_plot && event->type() == QEvent::Paint) update();
  return false;
}

QSize CResidualStrip::sizeHint() const { return {60 * fontMetrics().averageCharWidth(), 5 * fontMetrics().height()}; }
QSize CResidualStrip::minimumSizeHint() const { return {20 * fontMetrics().averageCharWidth(), sizeHint().height()}; }

void CResidualStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics fm = fontMetrics();
  const int line = fm.height();
  // Under the plot's axes box, where the plot has drawn one.
  const QRectF box = m_plot->AxesBox();
  const double left = box.isEmpty() ? fm.horizontalAdvance(DbText(-m_span)) + line / 2.0
                                    : mapFromGlobal(m_plot->mapToGlobal(box.topLeft())).x();
  const double right = box.isEmpty() ? width() - line : mapFromGlobal(m_plot->mapToGlobal(box.topRight())).x();
  const QRectF area(left, line / 2.0, std::max(1.0, right - left), height() - 2.0 * line);
  const double xMin = m_plot->Plot().xMin;
  const double xMax = m_plot->Plot().xMax;
  const auto xOf = [&](double f) { return area.left() + area.width() * std::log(f / xMin) / std::log(xMax / xMin); };
  const auto yOf = [&](double db) { return area.center().y() - area.height() / 2 * db / m_span; };
  painter.setPen(QColor(0, 0, 0, 60));
  for (double decade = std::pow(10.0, std::ceil(std::log10(xMin))); decade <= xMax; decade *= 10) {
    painter.drawLine(QPointF(xOf(decade), area.top()), QPointF(xOf(decade), area.bottom()));
    const QString label = EngText(decade, QStringLiteral("Hz"));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(xOf(decade) - fm.horizontalAdvance(label) / 2.0, area.bottom() + fm.ascent() + 2), label);
    painter.setPen(QColor(0, 0, 0, 60));
  }
  painter.setPen(Qt::black);
  painter.drawRect(area);
  for (const double db : {m_span, 0.0, -m_span})
    painter.drawText(QPointF(area.left() - fm.horizontalAdvance(DbText(db)) - line / 4.0, yOf(db) + fm.ascent() / 2.0),
                     DbText(db));
  painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
  painter.drawLine(QPointF(area.left(), yOf(0)), QPointF(area.right(), yOf(0)));
  painter.setClipRect(area);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(kMeasuredColor));
  for (const QPointF& p : m_points) painter.drawEllipse(QPointF(xOf(p.x()), yOf(p.y())), 2.0, 2.0);
}

}  // namespace tervane::ui
