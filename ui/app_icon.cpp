#include "ui/app_icon.h"

namespace tervane::ui {

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace tervane::ui
