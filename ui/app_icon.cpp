#include "ui/app_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>
#include <array>

namespace tervane::ui {
namespace {

constexpr std::array<int, 8> kSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Reads a drawing only when a size of it is asked for. An icon built with
// QIcon::addFile decodes every file as it is added, probing each image
// plugin on the way: a fifth of the program's start-up, for sizes that a
// desktop may never show.
class AppIconEngine : public QIconEngine {
 public:
  // The nearest drawing not smaller than asked for (else the largest),
  // scaled down to fit when it is larger.
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int wanted = std::max(size.width(), size.height());
    const auto found = std::find_if(kSizes.begin(), kSizes.end(), [wanted](int s) { return s >= wanted; });
    const QPixmap drawing = Drawing(found != kSizes.end() ? *found : kSizes.back());
    if (drawing.isNull() || (drawing.width() <= size.width() && drawing.height() <= size.height())) return drawing;
    return drawing.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const QPixmap fitted = pixmap(rect.size(), mode, state);
    QRect target(QPoint(), fitted.size());
    target.moveCenter(rect.center());
    painter->drawPixmap(target, fitted);
  }

  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int s : kSizes) sizes << QSize(s, s);
    return sizes;
  }

  QIconEngine* clone() const override { return new AppIconEngine; }
  QString key() const override { return QStringLiteral("TervaneAppIcon"); }

 private:
  static QPixmap Drawing(int size) {
    const QString file = QStringLiteral(":/icons/%1.png").arg(size);
    QPixmap drawing;
    if (!QPixmapCache::find(file, &drawing) && drawing.load(file, "PNG")) QPixmapCache::insert(file, drawing);
    return drawing;
  }
};

}  // namespace

QIcon AppIcon() { return QIcon(new AppIconEngine); }

}  // namespace tervane::ui
