// "Calc Corner Freq": the dialog's two modes and placeholders, and what its
// answer does to the corner field.
#include <QLineEdit>
#include <QRadioButton>

#include "modal_driver.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

// What the corner dialog shows at one moment.
struct CornerView {
  QString focus;
  QString freqRange;
  QString noise;
};

QLineEdit* Edit(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Clicks into a field, as a user does before typing into it.
void ClickInto(QWidget* dialog, const char* field) {
  QLineEdit* edit = Edit(dialog, field);
  QTest::mouseClick(edit, Qt::LeftButton);
}

void TypeInto(QWidget* dialog, const char* field, const QString& text) {
  ClickInto(dialog, field);
  QTest::keyClicks(Edit(dialog, field), text);
}

CornerView Look(QWidget* dialog) {
  const QWidget* focus = QApplication::focusWidget();
  return {focus && focus->window() == dialog ? focus->objectName() : QString(),
          Edit(dialog, "freqRangeEdit")->text(), Edit(dialog, "noiseEdit")->text()};
}

void Close(QWidget* dialog, const QString& how) {
  if (how == QLatin1String("OK"))
    ClickButton(dialog, "okButton");
  else if (how == QLatin1String("Cancel"))
    ClickButton(dialog, "cancelButton");
  else if (how == QLatin1String("Enter"))
    PressKey(dialog, Qt::Key_Return);
  else
    PressKey(dialog, Qt::Key_Escape);
}

}  // namespace

class CornerDialogTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

  // Opens the corner dialog from the main window and lets `handler` work it;
  // `more` serves any window that follows.
  bool RunCornerDialog(ModalDriver& driver, const ModalDriver::Handler& handler,
                       std::vector<ModalDriver::Handler> more = {}) {
    more.insert(more.begin(), handler);
    return driver.Run([this] { m_calc->Click("calcCornerButton"); }, std::move(more));
  }

 private slots:
  void init() {
    m_calc = std::make_unique<CalculatorUnderTest>();
    QVERIFY(m_calc->Open(std::nullopt));  // noise voltage 3n
  }
  void cleanup() { m_calc.reset(); }

  void estimateGoesToCornerField_data() {
    QTest::addColumn<int>("mode");           // -1: as it opens
    QTest::addColumn<QString>("freqRange");  // null: left alone
    QTest::addColumn<QString>("noise");
    QTest::addColumn<QString>("closeWith");
    QTest::addColumn<QString>("corner");
    QTest::addColumn<bool>("inputError");

    QTest::newRow("Enter at once") << -1 << QString() << QString() << "Enter"
                                   << "0" << true;
    QTest::newRow("Cancel") << -1 << QString() << QString() << "Cancel"
                            << "0" << false;
    QTest::newRow("Escape") << -1 << QString() << QString() << "Escape"
                            << "0" << false;
    QTest::newRow("typed, Cancel") << 0 << "10"
                                   << "6n"
                                   << "Cancel"
                                   << "0" << false;
    QTest::newRow("single frequency") << 0 << "10"
                                      << "6n"
                                      << "OK"
                                      << "30" << false;
    QTest::newRow("single frequency, Enter") << 0 << "10"
                                             << "6n"
                                             << "Enter"
                                             << "30" << false;
    QTest::newRow("range, peak-to-peak") << 1 << "0.1 10"
                                         << "90n"
                                         << "OK"
                                         << "3.279" << false;
    QTest::newRow("range, p-p") << 1 << "0.1 10"
                                << "90n p-p"
                                << "OK"
                                << "3.279" << false;
    QTest::newRow("range, rms") << 1 << "0.1 10"
                                << "15n rms"
                                << "OK"
                                << "3.279" << false;
    QTest::newRow("range, RMS capitals") << 1 << "0.1 10"
                                         << "15n RMS"
                                         << "OK"
                                         << "3.279" << true;
    QTest::newRow("range, one frequency") << 1 << "10"
                                          << "90n"
                                          << "OK"
                                          << "0" << true;
  }

  void estimateGoesToCornerField() {
    QFETCH(int, mode);
    QFETCH(QString, freqRange);
    QFETCH(QString, noise);
    QFETCH(QString, closeWith);
    QFETCH(QString, corner);
    QFETCH(bool, inputError);

    CornerView atOpen;
    const auto work = [&](QWidget* dialog) {
      atOpen = Look(dialog);
      if (mode == 1) dialog->findChild<QRadioButton*>(QStringLiteral("throughRangeRadio"))->click();
      if (!freqRange.isNull()) TypeInto(dialog, "freqRangeEdit", freqRange);
      if (!noise.isNull()) TypeInto(dialog, "noiseEdit", noise);
      Close(dialog, closeWith);
    };
    // The estimate, when there is one, is in the field before the error shows.
    QString cornerAtError;
    std::vector<ModalDriver::Handler> afterwards;
    if (inputError)
      afterwards.push_back([&](QWidget* box) {
        cornerAtError = m_calc->Text("cornerFreqEdit");
        PressKey(box, Qt::Key_Return);
      });

    ModalDriver driver;
    QVERIFY2(RunCornerDialog(driver, work, afterwards), qPrintable(driver.Problems()));

    QCOMPARE(atOpen.focus, QStringLiteral("okButton"));
    QCOMPARE(atOpen.freqRange, QStringLiteral("<freq>"));
    QCOMPARE(atOpen.noise, QStringLiteral("<rms noise>"));
    QCOMPARE(driver.Windows().front().title, QStringLiteral("Calculate 1/f Noise Corner"));
    QCOMPARE(m_calc->Text("cornerFreqEdit"), corner);
    QCOMPARE(driver.Windows().size(), inputError ? 2 : 1);
    if (inputError) {
      QCOMPARE(driver.Windows().back().kind, QStringLiteral("QMessageBox"));
      QCOMPARE(driver.Windows().back().title, QString());
      QCOMPARE(driver.Windows().back().text, QStringLiteral("Input error"));
      QCOMPARE(cornerAtError, corner);
    }
  }

  // Only a placeholder is cleared for typing: text that merely contains a
  // "<" further on is the user's own.
  void enteringFieldClearsPlaceholderOnly() {
    CornerView after;
    const auto work = [&](QWidget* dialog) {
      Edit(dialog, "noiseEdit")->setText(QStringLiteral(" <typed>"));
      ClickInto(dialog, "freqRangeEdit");
      ClickInto(dialog, "noiseEdit");
      after = Look(dialog);
      ClickButton(dialog, "cancelButton");
    };
    ModalDriver driver;
    QVERIFY2(RunCornerDialog(driver, work), qPrintable(driver.Problems()));
    QCOMPARE(after.focus, QStringLiteral("noiseEdit"));
    QCOMPARE(after.freqRange, QString());
    QCOMPARE(after.noise, QStringLiteral(" <typed>"));
  }

  void modeRestoresItsPlaceholders_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("freqRange");
    QTest::addColumn<QString>("noise");

    QTest::newRow("through range") << "throughRangeRadio"
                                   << "<lower freq> <upper freq>"
                                   << "<noise> [<p-p | rms>]";
    QTest::newRow("single frequency") << "singleFreqRadio"
                                      << "<freq>"
                                      << "<rms noise>";
  }

  // Choosing a mode discards whatever was typed, even for the mode already chosen.
  void modeRestoresItsPlaceholders() {
    QFETCH(QString, radio);
    QFETCH(QString, freqRange);
    QFETCH(QString, noise);

    CornerView after;
    const auto work = [&](QWidget* dialog) {
      TypeInto(dialog, "freqRangeEdit", QStringLiteral("1 2"));
      TypeInto(dialog, "noiseEdit", QStringLiteral("3n"));
      dialog->findChild<QRadioButton*>(radio)->click();
      after = Look(dialog);
      ClickButton(dialog, "cancelButton");
    };
    ModalDriver driver;
    QVERIFY2(RunCornerDialog(driver, work), qPrintable(driver.Problems()));
    QCOMPARE(after.freqRange, freqRange);
    QCOMPARE(after.noise, noise);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::CornerDialogTest)
#include "corner_dialog_test.moc"
