#include "ui/links.h"

#include <QDesktopServices>
#include <QUrl>

namespace tervane::ui {

void OpenLink(const char* target) {
  QDesktopServices::openUrl(QUrl(QString::fromLatin1(target)));
}

}  // namespace tervane::ui
