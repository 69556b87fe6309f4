#include "ui/links.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <cstring>

#include "ui/dialog_units.h"

namespace tervane::ui {
namespace {

// The help page's installed copy: beside the part library, in the folder
// the program starts in, or in the data folder of the installation the
// program runs from (bin/../share/tervane). Empty when there is none.
QString InstalledHelpPage() {
  for (const QString& folder :
       {QDir::currentPath(), QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tervane")}) {
    const QFileInfo page(QDir(folder), QString::fromLatin1(kHelpPageFile));
    if (page.isFile()) return page.absoluteFilePath();
  }
  return {};
}

void ShowHelpPage(QWidget* parent, const QString& file) {
  QDialog window(parent);
  window.setWindowTitle(QStringLiteral("Help"));
  auto* note = new QLabel(
      QStringLiteral("No program on this system could open the help page on the web; this is its copy installed "
                     "with the program."),
      &window);
  note->setWordWrap(true);
  auto* page = new QTextBrowser(&window);
  page->setObjectName(QStringLiteral("helpPage"));
  page->setAccessibleName(QStringLiteral("Help page"));
  page->setOpenExternalLinks(true);
  page->setSource(QUrl::fromLocalFile(file));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(note);
  layout->addWidget(page);
  layout->addWidget(buttons);
  window.resize(DialogUnits::ForFont(window.font()).ToPixels(QRect(0, 0, 320, 220)).size());
  window.exec();
}

}  // namespace

void OpenLink(QWidget* parent, const char* target) {
  const QString address = QString::fromLatin1(target);
  if (QDesktopServices::openUrl(QUrl(address))) return;
  if (std::strcmp(target, kHelpPageLink) == 0) {
    if (const QString page = InstalledHelpPage(); !page.isEmpty()) return ShowHelpPage(parent, page);
  }
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Open Link"),
                  QStringLiteral("No program on this system could open this address:\n\n%1").arg(address),
                  QMessageBox::Ok, parent);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.exec();
}

}  // namespace tervane::ui
