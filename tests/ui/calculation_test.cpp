// Calculations through the real window: the results window, what goes back
// into the fields, the carry from one stage to the next, failed inputs and
// the RIAA band.
#include <QAbstractButton>
#include <QPlainTextEdit>

#include <cmath>

#include "modal_driver.h"
#include "notation/eng_parse.h"
#include "ui/qt_text.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

const QByteArray kTestAmp = "TestAmp 3n 400f 0\n";

// What a user sees of the results window besides its text.
struct ResultsView {
  bool focusInText = false;
  qsizetype buttons = -1;  // beside the report: the window has no OK button
  bool editable = false;
  bool wraps = true;
};

ModalDriver::Handler LookAndClose(ResultsView& view, int key) {
  return [&view, key](QWidget* window) {
    const auto* text = window->findChild<QPlainTextEdit*>();
    view.focusInText = text && QApplication::focusWidget() == text;
    view.buttons = text ? text->parentWidget()->findChildren<QAbstractButton*>().size() : -1;
    view.editable = text && !text->isReadOnly();
    view.wraps = !text || text->lineWrapMode() != QPlainTextEdit::NoWrap;
    PressKey(window, key);
  };
}

struct Calculation {
  bool ok = false;
  QString problems;
  QStringList lines;  // the results window's text
};

// Clicks `button` and closes the results window with Enter.
Calculation Calculate(const CalculatorUnderTest& calc, const char* button) {
  ModalDriver driver;
  Calculation result;
  result.ok = driver.Run([&] { calc.Click(button); }, {PressKeyHandler(Qt::Key_Return)});
  result.problems = driver.Problems();
  if (!driver.Windows().isEmpty()) result.lines = driver.Windows().front().text.split(QLatin1Char('\n'));
  return result;
}

// The value of the report line that starts with `label`, in volts; NaN
// when there is no such line.
double ReportValue(const QStringList& lines, const QString& label) {
  for (const QString& line : lines)
    if (line.startsWith(label)) return ParseEngValue(ui::ToCp1252(line.mid(label.size())));
  return std::nan("");
}

}  // namespace

class CalculationTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() { m_calc = std::make_unique<CalculatorUnderTest>(); }
  void cleanup() { m_calc.reset(); }

  void defaultCalculationReport_data() {
    QTest::addColumn<bool>("withPart");
    QTest::addColumn<QString>("partLine");
    QTest::addColumn<int>("closeKey");

    QTest::newRow("part, Enter") << true << "Part name:  TestAmp" << int(Qt::Key_Return);
    QTest::newRow("part, keypad Enter") << true << "Part name:  TestAmp" << int(Qt::Key_Enter);
    QTest::newRow("part, Escape") << true << "Part name:  TestAmp" << int(Qt::Key_Escape);
    QTest::newRow("no part file") << false << "Part name:  (none)" << int(Qt::Key_Return);
  }

  void defaultCalculationReport() {
    QFETCH(bool, withPart);
    QFETCH(QString, partLine);
    QFETCH(int, closeKey);

    QVERIFY(m_calc->Open(withPart ? std::optional(kTestAmp) : std::nullopt));
    ModalDriver driver;
    ResultsView view;
    QVERIFY2(driver.Run([&] { m_calc->Click("calculateButton"); }, {LookAndClose(view, closeKey)}),
             qPrintable(driver.Problems()));

    QCOMPARE(driver.Windows().size(), 1);
    QCOMPARE(driver.Windows().front().title, QStringLiteral("Noise Results"));
    const QStringList expected{QStringLiteral("Op Amp Specifications:"),
                               partLine,
                               QStringLiteral("Voltage noise = 3nV/rtHz"),
                               QStringLiteral("Current noise  = 400fA/rtHz"),
                               QStringLiteral("1/f noise corner = 0Hz"),
                               QString(),
                               QStringLiteral("Output noise results:"),
                               QStringLiteral("Operating temperature = 299.8K"),
                               QStringLiteral("Flicker correction factor = 1"),
                               QStringLiteral("1/f Noise corner applied to noise current"),
                               QStringLiteral("Noise = 8.323nV/rtHz"),
                               QStringLiteral("Total noise voltage = 1.176µV"),
                               QStringLiteral("Signal to noise ratio = 118.6dB"),
                               QStringLiteral("Gain = 2")};
    QCOMPARE(driver.Windows().front().text.split(QLatin1Char('\n')), expected);
    QVERIFY(view.focusInText);
    QCOMPARE(view.buttons, 0);
    QVERIFY(view.editable);
    QVERIFY(!view.wraps);
    QCOMPARE(m_calc->Text("carryEdit"), QStringLiteral("1.176µ"));
  }

  void calculationRewritesFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reportLine");  // empty: not checked
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("Celsius temperature") << "temperatureEdit"
                                         << "25C"
                                         << "Operating temperature = 298.1K"
                                         << "77";
    QTest::newRow("plain source resistance") << "sourceResistorEdit"
                                             << "12345"
                                             << ""
                                             << "12.35k";
    QTest::newRow("plain R2") << "r2Edit"
                              << "2200"
                              << "Gain = 3.2"
                              << "2.2k";
  }

  void calculationRewritesFields() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, reportLine);
    QFETCH(QString, shownAfter);

    QVERIFY(m_calc->Open(kTestAmp));
    m_calc->Type(qPrintable(field), typed);
    const Calculation calculation = Calculate(*m_calc, "calculateButton");
    QVERIFY2(calculation.ok, qPrintable(calculation.problems));
    if (!reportLine.isEmpty())
      QVERIFY2(calculation.lines.contains(reportLine), qPrintable(calculation.lines.join(QLatin1Char('|'))));
    QCOMPARE(m_calc->Text(qPrintable(field)), shownAfter);
  }

  void carryChainOfTwoStages_data() {
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<bool>("reduced");
    QTest::addColumn<double>("bandShare");  // of the first stage's noise power, as an rms ratio

    QTest::newRow("same band") << "20"
                               << "20k" << false << 1.0;
    QTest::newRow("narrower band") << "100"
                                   << "10k" << true << std::sqrt((10e3 - 100) / (20e3 - 20));
  }

  // The second stage (gain 10) adds the first stage's noise, amplified, to
  // its own; a band narrower than the first stage's carries only its share.
  void carryChainOfTwoStages() {
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(bool, reduced);
    QFETCH(double, bandShare);

    QVERIFY(m_calc->Open(kTestAmp));
    const Calculation first = Calculate(*m_calc, "calculateButton");
    QVERIFY2(first.ok, qPrintable(first.problems));
    QCOMPARE(m_calc->Text("carryEdit"), QStringLiteral("1.176µ"));

    m_calc->Type("r2Edit", QStringLiteral("9k"));
    m_calc->Type("lowerFreqEdit", lower);
    m_calc->Type("upperFreqEdit", upper);
    const Calculation second = Calculate(*m_calc, "calcWithCarryButton");
    QVERIFY2(second.ok, qPrintable(second.problems));

    const double own = ReportValue(second.lines, QStringLiteral("Total noise voltage = "));
    const double withCarry = ReportValue(second.lines, QStringLiteral("Noise voltage with carry = "));
    const double carried = 1.176e-6 * 10 * bandShare;
    const double expected = std::sqrt(own * own + carried * carried);
    // Every figure involved is shown to four digits.
    QVERIFY2(std::abs(withCarry - expected) <= 1e-3 * expected,
             qPrintable(QStringLiteral("%1 V, expected %2 V").arg(withCarry).arg(expected)));
    QCOMPARE(second.lines.contains(QStringLiteral("Carry noise reduced by bandwidth reduction")), reduced);
    QCOMPARE(ParseEngValue(ui::ToCp1252(m_calc->Text("carryEdit"))), withCarry);
  }

  void failedCalculationKeepsTyping_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");

    QTest::newRow("lower bound above upper") << "lowerFreqEdit"
                                             << "30k";
    QTest::newRow("equal bounds") << "upperFreqEdit"
                                  << "20";
    QTest::newRow("zero reference") << "refVoltageEdit"
                                    << "0";
    QTest::newRow("zero R1") << "r1Edit"
                             << "0";
  }

  void failedCalculationKeepsTyping() {
    QFETCH(QString, field);
    QFETCH(QString, typed);

    QVERIFY(m_calc->Open(kTestAmp));
    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    m_calc->Type("sourceResistorEdit", QStringLiteral("12345"));
    m_calc->Type(qPrintable(field), typed);
    const QStringList typing = m_calc->Texts();

    const Calculation calculation = Calculate(*m_calc, "calculateButton");
    QVERIFY2(calculation.ok, qPrintable(calculation.problems));
    QCOMPARE(calculation.lines, QStringList{QStringLiteral("error, check inputs for consistency")});
    QCOMPARE(m_calc->Texts(), typing);
  }

  void riaaBandKeepsOtherTyping() {
    QVERIFY(m_calc->Open(kTestAmp));
    m_calc->Type("noiseVoltageEdit", QStringLiteral("5n"));
    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    QStringList expected = m_calc->Texts();
    expected[FieldIndex("lowerFreqEdit")] = QStringLiteral("20.0");
    expected[FieldIndex("upperFreqEdit")] = QStringLiteral("108.0903");

    ModalDriver driver;
    QVERIFY2(driver.Run([&] { m_calc->Click("riaaButton"); }, {}), qPrintable(driver.Problems()));
    QCOMPARE(m_calc->Texts(), expected);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::CalculationTest)
#include "calculation_test.moc"
