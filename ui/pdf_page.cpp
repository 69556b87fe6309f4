#include "ui/pdf_page.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

#include "ui/circuit_picture.h"
#include "ui/log_log_plot.h"

namespace tervane::ui {
namespace {

constexpr int kDotsPerInch = 300;
constexpr qreal kMarginMm = 15;

QPageSize PaperOfLocale() {
  const QLocale::Country country = QLocale().territory();
  // The countries that keep to US Letter.
  for (const QLocale::Country letter : {QLocale::UnitedStates, QLocale::Canada, QLocale::Mexico, QLocale::Chile,
                                        QLocale::Colombia, QLocale::Venezuela, QLocale::Philippines,
                                        QLocale::PuertoRico})
    if (country == letter) return QPageSize(QPageSize::Letter);
  return QPageSize(QPageSize::A4);
}

QFont Font(qreal points, bool bold = false, bool fixed = false) {
  QFont font(fixed ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
  if (fixed) font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// Lines of text from `top`; returns the height they took.
qreal DrawLines(QPainter& painter, const QFont& font, const QStringList& lines, QPointF at) {
  painter.setFont(font);
  const QFontMetricsF fm(font, painter.device());
  for (const QString& line : lines) {
    painter.drawText(QPointF(at.x(), at.y() + fm.ascent()), line);
    at.ry() += fm.lineSpacing();
  }
  return static_cast<qreal>(lines.size()) * fm.lineSpacing();
}

// The report's fixed font, smaller where its longest line (a chain's line
// for each stage) would run off the page.
QFont ReportFont(const QPainter& painter, const QStringList& lines, qreal width) {
  QFont font = Font(7, false, true);
  const QFontMetricsF fm(font, painter.device());
  qreal longest = 0;
  for (const QString& line : lines) longest = std::max(longest, fm.horizontalAdvance(line));
  if (longest > width) font.setPointSizeF(font.pointSizeF() * width / longest);
  return font;
}

// Rows of cells in columns as wide as their widest cell, the first row
// bold; returns the height taken.
qreal DrawTable(QPainter& painter, const QList<QStringList>& rows, const QPointF& at) {
  if (rows.isEmpty()) return 0;
  const QFont body = Font(7.5);
  const QFont head = Font(7.5, true);
  const QFontMetricsF fm(head, painter.device());
  QList<qreal> widths;
  for (const QStringList& row : rows)
    for (qsizetype c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths << 0;
      widths[c] = std::max(widths[c], fm.horizontalAdvance(row[c]) + fm.height());
    }
  qreal y = at.y();
  for (qsizetype r = 0; r < rows.size(); ++r) {
    painter.setFont(r == 0 ? head : body);
    qreal x = at.x();
    for (qsizetype c = 0; c < rows[r].size(); ++c) {
      painter.drawText(QPointF(x, y + fm.ascent()), rows[r][c]);
      x += widths[c];
    }
    y += fm.lineSpacing();
  }
  return y - at.y();
}

qreal DrawHeading(QPainter& painter, const QString& text, const QPointF& at) {
  return DrawLines(painter, Font(9, true), {text}, at) * 1.2;
}

}  // namespace

bool WritePdfPage(QIODevice& device, const PdfPage& page) {
  QPdfWriter writer(&device);
  writer.setResolution(kDotsPerInch);
  writer.setPageSize(PaperOfLocale());
  writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
  writer.setTitle(QStringLiteral("Tervane noise calculation"));
  writer.setCreator(QStringLiteral("Tervane"));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  const QRectF area(QPointF(), QSizeF(writer.pageLayout().paintRectPixels(kDotsPerInch).size()));
  const qreal gap = kDotsPerInch / 10.0;
  qreal y = 0;

  // The title, the part or the chain, and the date.
  y += DrawLines(painter, Font(14, true), {QStringLiteral("Tervane noise calculation")}, {0, y});
  y += DrawLines(painter, Font(9), {QStringLiteral("%1    Date: %2").arg(page.subject, page.date)}, {0, y}) + gap;

  if (page.type) {
    // The circuit on the left, its inputs beside it.
    const QRectF drawn = DrawCircuit(painter, *page.type, QRectF(0, y, area.width() * 0.45, area.height() * 0.2));
    QStringList inputs;
    for (const QStringList& input : page.inputs) inputs << input.join(QStringLiteral(": "));
    const qreal inputsLeft = area.width() * 0.5;
    qreal inputsBottom = y + DrawHeading(painter, QStringLiteral("Inputs"), {inputsLeft, y});
    inputsBottom += DrawLines(painter, Font(8), inputs, {inputsLeft, inputsBottom});
    y = std::max(drawn.bottom(), inputsBottom) + gap;
  } else {
    y += DrawHeading(painter, QStringLiteral("Inputs"), {0, y});
    y += DrawTable(painter, page.inputs, {0, y}) + gap;
  }

  y += DrawHeading(painter, QStringLiteral("Report"), {0, y});
  const QStringList report = page.report.split(QLatin1Char('\n'));
  y += DrawLines(painter, ReportFont(painter, report, area.width()), report, {0, y}) + gap;

  if (page.breakdown.size() > 1) {
    y += DrawHeading(painter, QStringLiteral("Breakdown"), {0, y});
    y += DrawTable(painter, page.breakdown, {0, y}) + gap;
  }
  if (page.figures.size() > 1) {
    y += DrawHeading(painter, QStringLiteral("Figures"), {0, y});
    y += DrawTable(painter, page.figures, {0, y}) + gap;
  }
  if (page.spectrum && area.bottom() - y > area.height() * 0.15) {
    // Drawn at a screen's 96 dots an inch, scaled up, so that its lines
    // are as thick on paper as on screen.
    const qreal scale = kDotsPerInch / 96.0;
    painter.save();
    painter.translate(0, y);
    painter.scale(scale, scale);
    painter.setFont(Font(7 / scale));
    DrawLogLogPlot(painter, *page.spectrum, (QSizeF(area.width(), area.bottom() - y) / scale).toSize());
    painter.restore();
  }
  return painter.end();
}

}  // namespace tervane::ui
