#include "ui_test_support.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>

#include <algorithm>
#include <sstream>

#include "ui/qt_text.h"

namespace tervane::uitest {

QString TestFont() { return qEnvironmentVariable("TERVANE_TEST_FONT"); }

bool UseTestFont() {
  const QString family = TestFont();
  if (family.isEmpty()) return true;
  if (!QFontDatabase::hasFamily(family)) {
    qCritical("TERVANE_TEST_FONT: the font \"%s\" is not installed", qPrintable(family));
    return false;
  }
  for (const char* named : {"Arial", "MS Sans Serif"}) QFont::insertSubstitution(QString::fromLatin1(named), family);
  QApplication::setFont(QFont(family, 10));
  return true;
}

void ChooseFile(QWidget* dialog, const QString& path) {
  Find<QLineEdit>(dialog, "fileNameEdit")->setText(path);
  PressKey(dialog, Qt::Key_Return);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

PartLibrary LibraryOf(const QByteArray& bytes) {
  PartLibrary library;
  std::istringstream file(bytes.toStdString());
  ReadPartLibrary(file, library);
  return library;
}

bool CalculatorUnderTest::Open(const std::optional<QByteArray>& partFile) {
  const QString path = m_folder.filePath(QStringLiteral("tervane.txt"));
  if (partFile && !WriteFile(path, *partFile)) return false;
  m_dialog = std::make_unique<ui::CCalculatorDlg>(QFile::encodeName(path).toStdString());
  m_dialog->show();
  m_dialog->activateWindow();
  return QTest::qWaitForWindowActive(m_dialog.get());
}

QStringList CalculatorUnderTest::Texts() const {
  QStringList texts;
  for (const QByteArray& name : kFieldNames) texts << Text(name);
  return texts;
}

void CalculatorUnderTest::Type(const char* field, const QString& text) const {
  QLineEdit* edit = Child<QLineEdit>(field);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Near the left end: a radio or check box takes a click only on its mark and
// text, which need not reach the middle of a widened control.
void CalculatorUnderTest::Click(const char* button) const {
  auto* target = Child<QAbstractButton>(button);
  const int side = std::min(target->width(), target->height());
  QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(side / 2, target->height() / 2));
}

bool CalculatorUnderTest::Work(const char* button, const ModalDriver::Handler& work) const {
  ModalDriver driver;
  return driver.Run([&] { Click(button); }, {[&](QWidget* window) {
                      work(window);
                      PressKey(window, Qt::Key_Escape);
                    }});
}

CalculatorForm FormOf(const CalculatorUnderTest& calc, CalculatorForm form) {
  for (std::size_t i = 0; i < kFieldNames.size(); ++i)
    form.*kFormTextFields[i].member = ui::ToCp1252(calc.Text(kFieldNames[i]));
  for (std::size_t i = 0; i < kRadioNames.size(); ++i)
    if (calc.Child<QAbstractButton>(kRadioNames[i])->isChecked()) form.m_nAmpType = static_cast<int>(i);
  form.m_bApplyCorner = calc.Child<QAbstractButton>("applyCornerCheck")->isChecked() ? 1 : 0;
  return form;
}

QStringList TextsOf(const CalculatorForm& form) {
  QStringList texts;
  for (const FormTextField& field : kFormTextFields) texts << ui::FromCp1252(form.*field.member);
  return texts;
}

QList<QStringList> TableRows(const QAbstractItemView* view) {
  const QAbstractItemModel& model = *view->model();
  QList<QStringList> rows{{}};
  for (int column = 0; column < model.columnCount(); ++column)
    rows.front() << model.headerData(column, Qt::Horizontal).toString();
  for (int row = 0; row < model.rowCount(); ++row) {
    rows << QStringList();
    for (int column = 0; column < model.columnCount(); ++column)
      rows.back() << model.index(row, column).data().toString();
  }
  return rows;
}

LinkCatcher::LinkCatcher() {
  for (const char* scheme : {"https", "mailto"})
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
}

LinkCatcher::~LinkCatcher() {
  for (const char* scheme : {"https", "mailto"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

}  // namespace tervane::uitest
