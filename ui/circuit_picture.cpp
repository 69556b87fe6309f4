#include "ui/circuit_picture.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <optional>

#include "form/built_circuit.h"
#include "form/form_calculation.h"
#include "notation/eng_parse.h"
#include "ui/qt_text.h"

namespace tervane::ui {
namespace {

QString CircuitName(AmplifierType type) {
  switch (type) {
    case AMP_BUFFER:
      return QStringLiteral(":/circuits/circuit_buffer");
    case AMP_NONINVERTING:
      return QStringLiteral(":/circuits/circuit_noninverting");
    case AMP_INVERTING:
      return QStringLiteral(":/circuits/circuit_inverting");
    case AMP_TRANSIMPEDANCE:
      return QStringLiteral(":/circuits/circuit_transimpedance");
  }
  return {};
}

// The drawing rendered ahead at 100 % or 200 %; none at other scales.
// Read as PNG and nothing else: left to find out the format, the reader
// would load every image plugin to ask it first.
QPixmap Prerendered(const QString& name, qreal ratio) {
  const QString suffix = ratio == 1 ? QStringLiteral(".png") : ratio == 2 ? QStringLiteral("@2x.png") : QString();
  if (suffix.isEmpty()) return {};
  QImageReader reader(name + suffix, "png");
  reader.setAutoDetectImageFormat(false);
  QPixmap pixmap = QPixmap::fromImage(reader.read());
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QPixmap Rendered(QSvgRenderer& renderer, qreal ratio) {
  if (!renderer.isValid()) return {};
  const QSize size = renderer.defaultSize();
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(), QSizeF(size)));
  return pixmap;
}

// The drawing as built of the topology; the non-inverting stage's for a
// form with none chosen.
QString BuiltCircuitName(AmplifierType type) {
  switch (type) {
    case AMP_BUFFER:
      return QStringLiteral(":/circuits/built_buffer.svg");
    case AMP_INVERTING:
      return QStringLiteral(":/circuits/built_inverting.svg");
    case AMP_TRANSIMPEDANCE:
      return QStringLiteral(":/circuits/built_transimpedance.svg");
    default:
      return QStringLiteral(":/circuits/built_noninverting.svg");
  }
}

QString Ink(bool present) { return present ? QStringLiteral("#000") : QStringLiteral("#999"); }

// Puts the part of `field` into the drawing's template: its label, "Ls
// 500mH", or its symbol alone in grey when the part is absent.
void FillPart(QString& svg, const FormTextField& field, std::optional<double> value) {
  const QString key = QString::fromLatin1(field.key.data(), static_cast<qsizetype>(field.key.size()));
  QString label = FromCp1252(field.symbol);
  if (value) label += QLatin1Char(' ') + EngText(*value, UnitText(field.unit));
  svg.replace(QLatin1Char('{') + key + QStringLiteral("-ink}"), Ink(value.has_value()));
  svg.replace(QLatin1Char('{') + key + QLatin1Char('}'), label.toHtmlEscaped());
}

void Show(QLabel* picture, const QPixmap& pixmap) {
  if (pixmap.isNull()) return;
  picture->setPixmap(pixmap);
  picture->resize(pixmap.deviceIndependentSize().toSize());
}

}  // namespace

void ShowCircuit(QLabel* picture, AmplifierType type) {
  picture->clear();
  const QString name = CircuitName(type);
  if (name.isEmpty()) return;
  const qreal ratio = picture->devicePixelRatioF();
  QPixmap pixmap = Prerendered(name, ratio);
  if (pixmap.isNull()) {
    QSvgRenderer renderer(name + QStringLiteral(".svg"));
    pixmap = Rendered(renderer, ratio);
  }
  Show(picture, pixmap);
}

void ShowBuiltCircuit(QLabel* picture, const CalculatorForm& form) {
  picture->clear();
  QFile file(BuiltCircuitName(static_cast<AmplifierType>(form.m_nAmpType)));
  if (!file.open(QIODevice::ReadOnly)) return;
  QString svg = QString::fromUtf8(file.readAll());
  for (const FormTextField& field : kFormTextFields) FillPart(svg, field, ParseEngValue(form.*field.member));
  StageInputs built = ReadNoiseInputs(form).inputs;
  // Cb lies across Rb: without Rb it is in no circuit (the calculation
  // refuses it), not a capacitor in series with the + input.
  if (!built.biasResistor) built.biasCapacitor.reset();
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
    FillPart(svg, kBuiltCircuitFields[i], BuiltCircuitValue(built, i));
  svg.replace(QStringLiteral("{load-ink}"), Ink(built.loadResistor || built.loadCapacitor));
  QSvgRenderer renderer(svg.toUtf8());
  Show(picture, Rendered(renderer, picture->devicePixelRatioF()));
}

}  // namespace tervane::ui

namespace tervane::ui {

QRectF DrawCircuit(QPainter& painter, AmplifierType type, const QRectF& area) {
  QSvgRenderer renderer(CircuitName(type) + QStringLiteral(".svg"));
  if (!renderer.isValid()) return {};
  const QSizeF size = QSizeF(renderer.defaultSize()).scaled(area.size(), Qt::KeepAspectRatio);
  const QRectF at(area.topLeft(), size);
  renderer.render(&painter, at);
  return at;
}

}  // namespace tervane::ui
