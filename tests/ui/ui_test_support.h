#pragma once

#include <QApplication>
#include <QByteArray>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <array>
#include <memory>
#include <optional>

#include "ui/calculator_dialog.h"

namespace tervane::uitest {

// Runs one test class; without a platform chosen by the caller the windows
// are drawn offscreen, so the suite needs no display.
template <class Test>
int RunUiTest(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Test test;
  return QTest::qExec(&test, argc, argv);
}

#define TERVANE_UI_TEST_MAIN(Test) \
  int main(int argc, char** argv) { return tervane::uitest::RunUiTest<Test>(argc, argv); }

// The calculator's eleven text fields by object name: source, R1, R2,
// temperature, lower and upper bound, reference, noise voltage and current,
// corner, carry.
inline constexpr std::array<const char*, 11> kFieldNames{
    "sourceResistorEdit", "r1Edit",         "r2Edit",         "temperatureEdit",
    "lowerFreqEdit",      "upperFreqEdit",  "refVoltageEdit", "noiseVoltageEdit",
    "noiseCurrentEdit",   "cornerFreqEdit", "carryEdit"};

// A field's position in kFieldNames, so in CalculatorUnderTest::Texts().
qsizetype FieldIndex(const char* name);

// Where the calculator looks for its part library.
enum class PartFileLookup { GivenPath, CurrentFolder };

// The real main window on a part library of its own, in a folder that goes
// away with it.
class CalculatorUnderTest {
 public:
  // Writes `partFile` (none when empty) into the folder, opens the calculator
  // on it, shows it and makes it the active window, as the desktop does at
  // start-up. False when the window never became active.
  bool Open(const std::optional<QByteArray>& partFile, PartFileLookup lookup = PartFileLookup::GivenPath);

  ui::CCalculatorDlg& Dialog() const { return *m_dialog; }

  template <class T = QWidget>
  T* Child(const char* name) const {
    return m_dialog->findChild<T*>(QString::fromLatin1(name));
  }

  QString Text(const char* field) const;
  QStringList Texts() const;  // the eleven fields, in kFieldNames order

  // Replaces a field's text key by key, as a user types over it.
  void Type(const char* field, const QString& text) const;

  // Clicks a button with the mouse.
  void Click(const char* button) const;

  // The object name of the control that has the keyboard focus (an
  // editable list, not its inner text field); empty while another window
  // has it.
  QString FocusName() const;

 private:
  QTemporaryDir m_folder;
  std::unique_ptr<ui::CCalculatorDlg> m_dialog;
};

// Stands in for the browser and the mail program while it lives: every
// "https" or "mailto" link the program hands to the desktop ends up here.
class LinkCatcher : public QObject {
  Q_OBJECT

 public:
  LinkCatcher();
  ~LinkCatcher() override;

  QList<QUrl> opened;

 public slots:
  void Open(const QUrl& url);
};

}  // namespace tervane::uitest
