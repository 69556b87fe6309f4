#include "ui/links.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace tervane::ui {

void OpenLink(QWidget* parent, const char* target) {
  const QString address = QString::fromLatin1(target);
  if (QDesktopServices::openUrl(QUrl(address))) return;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Open Link"),
                  QStringLiteral("No program on this system could open this address:\n\n%1").arg(address),
                  QMessageBox::Ok, parent);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.exec();
}

}  // namespace tervane::ui
