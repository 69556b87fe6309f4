#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <array>
#include <memory>
#include <optional>

#include "modal_driver.h"
#include "parts/part_library.h"
#include "ui/calculator_dialog.h"
#include "ui/qt_text.h"

namespace tervane::uitest {

// Without a platform chosen by the caller the windows are drawn offscreen.
#define TERVANE_UI_TEST_MAIN(Test)                                                              \
  int main(int argc, char** argv) {                                                             \
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen"); \
    QApplication app(argc, argv);                                                               \
    if (!tervane::uitest::UseTestFont()) return 1;                                              \
    Test test;                                                                                  \
    return QTest::qExec(&test, argc, argv);                                                     \
  }

// The font family TERVANE_TEST_FONT names, if any, becomes the one every
// window is drawn in (the application's at 10 points, and the one the
// windows' own "Arial" and "MS Sans Serif" come out as), so that what a
// test measures is alike on every machine. False when it is not installed.
bool UseTestFont();
QString TestFont();  // the family, or empty

// The eleven text fields by object name, in the order of the form's fields.
inline const std::array<QByteArray, kFormTextFields.size()> kFieldNames = [] {
  std::array<QByteArray, kFormTextFields.size()> names;
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = ui::FieldEditName(kFormTextFields[i].key).toLatin1();
  return names;
}();
inline constexpr std::array<const char*, 4> kRadioNames{"bufferRadio", "nonInvertingRadio", "invertingRadio",
                                                        "transimpedanceRadio"};

// A child of `window` by object name.
template <class T = QWidget>
T* Find(const QWidget* window, const char* name) {
  return window->findChild<T*>(QString::fromLatin1(name));
}

// In a file dialog, `path` typed as the file's name and taken with Enter.
void ChooseFile(QWidget* dialog, const QString& path);

// `bytes` written to `path`, all of them.
bool WriteFile(const QString& path, const QByteArray& bytes);

// The part library a part file of `bytes` reads as.
PartLibrary LibraryOf(const QByteArray& bytes);

// The real main window on a part library of its own (none when `partFile`
// is empty), shown and active, in a folder that goes away with it.
class CalculatorUnderTest {
 public:
  bool Open(const std::optional<QByteArray>& partFile);

  ui::CCalculatorDlg& Dialog() const { return *m_dialog; }
  template <class T = QWidget>
  T* Child(const char* name) const {
    return m_dialog->findChild<T*>(QString::fromLatin1(name));
  }
  QString Text(const char* field) const { return Child<QLineEdit>(field)->text(); }
  QStringList Texts() const;                                // in kFieldNames order
  void Type(const char* field, const QString& text) const;  // over the field's text, key by key
  void Click(const char* button) const;                     // with the mouse
  // `button` clicked, the window it opens handed to `work` and then closed
  // with Escape; false when a window went unserved.
  bool Work(const char* button, const ModalDriver::Handler& work) const;

 private:
  QTemporaryDir m_folder;
  std::unique_ptr<ui::CCalculatorDlg> m_dialog;
};

// The form the window shows, read as the calculator reads it, over `form`'s
// other members; and a form's texts as the fields show them.
CalculatorForm FormOf(const CalculatorUnderTest& calc, CalculatorForm form = {});
QStringList TextsOf(const CalculatorForm& form);

// A table's headings and rows as its view shows them.
QList<QStringList> TableRows(const QAbstractItemView* view);

// Every "https" and "mailto" link handed to the desktop ends here while it lives.
class LinkCatcher : public QObject {
  Q_OBJECT

 public:
  LinkCatcher();
  ~LinkCatcher() override;
  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace tervane::uitest
