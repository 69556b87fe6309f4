#include "ui/circuit_picture.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace tervane::ui {
namespace {

QString CircuitResource(AmplifierType type) {
  switch (type) {
    case AMP_BUFFER:
      return QStringLiteral(":/circuits/circuit_buffer.svg");
    case AMP_NONINVERTING:
      return QStringLiteral(":/circuits/circuit_noninverting.svg");
    case AMP_INVERTING:
      return QStringLiteral(":/circuits/circuit_inverting.svg");
  }
  return {};
}

}  // namespace

void ShowCircuit(QLabel* picture, AmplifierType type) {
  picture->clear();
  QSvgRenderer renderer(CircuitResource(type));
  if (!renderer.isValid()) return;

  const QSize size = renderer.defaultSize();
  const qreal ratio = picture->devicePixelRatioF();
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  renderer.render(&painter, QRectF(QPointF(), QSizeF(size)));
  painter.end();

  picture->setPixmap(pixmap);
  picture->resize(size);
}

}  // namespace tervane::ui
