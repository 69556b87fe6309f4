#include "ui_test_support.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <filesystem>

namespace tervane::uitest {
namespace {

const QString kPartFile = QStringLiteral("tervane.txt");

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The calculator reads its part library in the constructor, so the folder
// has to be current only for that long.
std::unique_ptr<ui::CCalculatorDlg> OpenInFolder(const QString& folder) {
  const QString previous = QDir::currentPath();
  if (!QDir::setCurrent(folder)) return nullptr;
  auto dialog = std::make_unique<ui::CCalculatorDlg>();
  QDir::setCurrent(previous);
  return dialog;
}

}  // namespace

qsizetype FieldIndex(const char* name) {
  const auto found = std::find_if(kFieldNames.begin(), kFieldNames.end(),
                                  [name](const char* field) { return qstrcmp(field, name) == 0; });
  return found - kFieldNames.begin();
}

bool CalculatorUnderTest::Open(const std::optional<QByteArray>& partFile, PartFileLookup lookup) {
  if (!m_folder.isValid()) return false;
  const QString path = m_folder.filePath(kPartFile);
  if (partFile && !WriteFile(path, *partFile)) return false;

  if (lookup == PartFileLookup::CurrentFolder)
    m_dialog = OpenInFolder(m_folder.path());
  else
    m_dialog =
        std::make_unique<ui::CCalculatorDlg>(std::filesystem::path(QFile::encodeName(path).toStdString()));
  if (!m_dialog) return false;

  m_dialog->show();
  m_dialog->activateWindow();
  return QTest::qWaitForWindowActive(m_dialog.get());
}

QString CalculatorUnderTest::Text(const char* field) const { return Child<QLineEdit>(field)->text(); }

QStringList CalculatorUnderTest::Texts() const {
  QStringList texts;
  for (const char* name : kFieldNames) texts << Text(name);
  return texts;
}

void CalculatorUnderTest::Type(const char* field, const QString& text) const {
  QLineEdit* edit = Child<QLineEdit>(field);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

void CalculatorUnderTest::Click(const char* button) const {
  QTest::mouseClick(Child<QAbstractButton>(button), Qt::LeftButton);
}

QString CalculatorUnderTest::FocusName() const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || focus->window() != m_dialog.get()) return {};
  for (QWidget* w = focus; w != m_dialog.get(); w = w->parentWidget())
    if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
      return w->objectName();
  return {};
}

LinkCatcher::LinkCatcher() {
  QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
  QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "Open");
}

LinkCatcher::~LinkCatcher() {
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void LinkCatcher::Open(const QUrl& url) { opened << url; }

}  // namespace tervane::uitest
