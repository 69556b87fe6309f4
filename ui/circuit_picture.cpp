#include "ui/circuit_picture.h"

#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

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

QPixmap Rendered(const QString& name, qreal ratio) {
  QSvgRenderer renderer(name + QStringLiteral(".svg"));
  if (!renderer.isValid()) return {};
  const QSize size = renderer.defaultSize();
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(), QSizeF(size)));
  return pixmap;
}

}  // namespace

void ShowCircuit(QLabel* picture, AmplifierType type) {
  picture->clear();
  const QString name = CircuitName(type);
  if (name.isEmpty()) return;
  const qreal ratio = picture->devicePixelRatioF();
  QPixmap pixmap = Prerendered(name, ratio);
  if (pixmap.isNull()) pixmap = Rendered(name, ratio);
  if (pixmap.isNull()) return;
  picture->setPixmap(pixmap);
  picture->resize(pixmap.deviceIndependentSize().toSize());
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
