// The comparison of the part library in the results window: its ranking,
// and choosing a part there for the main window.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "modal_driver.h"
#include "notation/eng_parse.h"
#include "results_support.h"
#include "ui/qt_text.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

// The same current noise and no corner: only en tells them apart.
const QByteArray kByVoltageNoise = "Loud 10n 1p 0\nQuiet 1n 1p 0\nMiddle 4n 1p 0\n";
// A bipolar-like part, low en and high in, and a FET-like one the other
// way round: which is quieter depends on the source resistance.
const QByteArray kBipolarAndFet = "Bipolar 1n 2p 0\nFet 5n 1f 0\n";

enum Column { kName, kNoiseVoltage, kNoiseCurrent, kCorner, kDensity, kTotal, kSnr, kOptimumRs };

QTableView* ComparisonTable(QWidget* results) {
  QWidget* page = ShowTab(results, "comparisonTab");
  return page ? page->findChild<QTableView*>(QStringLiteral("comparisonTable")) : nullptr;
}

QString Cell(const QTableView* table, int row, int column) {
  return table->model()->index(row, column).data().toString();
}

// The table as shown, one row of texts per part.
QList<QStringList> Rows(const QTableView* table) {
  QList<QStringList> rows;
  for (int row = 0; table && row < table->model()->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < table->model()->columnCount(); ++column) cells << Cell(table, row, column);
    rows << cells;
  }
  return rows;
}

enum class Choice { DoubleClick, Enter, SelectButton, Escape };

// Chooses the part named `name` in the comparison table as a user would;
// Escape moves to it and leaves instead.
void Choose(QWidget* results, const QString& name, Choice choice) {
  QTableView* table = ComparisonTable(results);
  if (!table) return;
  const QModelIndexList found =
      table->model()->match(table->model()->index(0, kName), Qt::DisplayRole, name, 1, Qt::MatchExactly);
  if (found.isEmpty()) return;
  const QModelIndex index = found.front();
  table->setFocus();
  table->setCurrentIndex(index);
  switch (choice) {
    case Choice::DoubleClick: {
      // A widget's double click in QTest is the second press alone; the
      // first click comes before it, as from a mouse.
      const QPoint at = table->visualRect(index).center();
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
      break;
    }
    case Choice::Enter:
      QTest::keyClick(table, Qt::Key_Return);
      break;
    case Choice::SelectButton:
      QTest::mouseClick(results->findChild<QPushButton*>(QStringLiteral("selectPartButton")), Qt::LeftButton);
      break;
    case Choice::Escape:
      QTest::keyClick(table, Qt::Key_Escape);
      break;
  }
}

}  // namespace

class PartComparisonTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() { m_calc = std::make_unique<CalculatorUnderTest>(); }
  void cleanup() { m_calc.reset(); }

  void rankedByTotalNoise_data() {
    QTest::addColumn<QByteArray>("library");
    QTest::addColumn<QString>("sourceResistor");
    QTest::addColumn<QStringList>("order");

    QTest::newRow("by en") << kByVoltageNoise << "0" << QStringList{"Quiet", "Middle", "Loud"};
    // Bipolar: 2pA through 100 ohms is 0.2nV, far below its 1n.
    QTest::newRow("low source resistance") << kBipolarAndFet << "100" << QStringList{"Bipolar", "Fet"};
    // Bipolar: 2pA through 100k is 200nV, Fet's 5n and 0.1n are nothing to it.
    QTest::newRow("high source resistance") << kBipolarAndFet << "100k" << QStringList{"Fet", "Bipolar"};
  }

  void rankedByTotalNoise() {
    QFETCH(QByteArray, library);
    QFETCH(QString, sourceResistor);
    QFETCH(QStringList, order);

    QVERIFY(m_calc->Open(library));
    m_calc->Type("sourceResistorEdit", sourceResistor);
    QList<QStringList> rows;
    QStringList ranks;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   QTableView* table = ComparisonTable(results);
                   rows = Rows(table);
                   for (int row = 0; table && row < table->model()->rowCount(); ++row)
                     ranks << table->model()->headerData(row, Qt::Vertical).toString();
                 },
                 problems),
             qPrintable(problems));

    QStringList names;
    double previous = 0;
    for (const QStringList& row : rows) {
      names << row[kName];
      const double total = ParseEngValue(ui::ToCp1252(row[kTotal]));
      QVERIFY2(total >= previous, qPrintable(row.join(QLatin1Char(' '))));
      previous = total;
    }
    QCOMPARE(names, order);
    QCOMPARE(ranks.size(), order.size());
    QCOMPARE(ranks.front(), QStringLiteral("1"));
  }

  void partRowShowsItsFigures_data() {
    QTest::addColumn<QByteArray>("library");
    QTest::addColumn<QStringList>("rows");  // the table's rows in order, "*" for a cell not checked

    // The default circuit (gain 2, Rs 0, 20Hz..20kHz, 80F) with the start-up
    // figures, as the report gives them.
    QTest::newRow("figures") << QByteArray("TestAmp 3n 400f 0\n")
                             << QStringList{"TestAmp 3n 400f 0 8.323n 1.176µ 118.6 7.5k"};
    // Without current noise no source resistance balances the voltage noise.
    QTest::newRow("no current noise") << QByteArray("Ideal 1n 0 0\n") << QStringList{"Ideal 1n 0 0 * * * ∞"};
    // An infinite en gives no result: the part comes last, not in its place
    // in the list (Alpha, the one calculated, comes first there).
    QTest::newRow("failed part") << QByteArray("Huge 1e999 1p 0\nTestAmp 3n 400f 0\nAlpha 3n 400f 0\n")
                                 << QStringList{"Alpha * * * * * * *", "TestAmp * * * * * * *",
                                                "Huge ∞ 1p 0 error error error ∞"};
  }

  void partRowShowsItsFigures() {
    QFETCH(QByteArray, library);
    QFETCH(QStringList, rows);

    QVERIFY(m_calc->Open(library));
    QList<QStringList> shown;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton", [&](QWidget* results) { shown = Rows(ComparisonTable(results)); },
                 problems),
             qPrintable(problems));
    QCOMPARE(shown.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
      QStringList expected = rows[i].split(QLatin1Char(' '));
      for (qsizetype column = 0; column < expected.size(); ++column)
        if (expected[column] == QStringLiteral("*")) expected[column] = shown[i].value(column);
      QCOMPARE(shown[i], expected);
    }
  }

  void choosingPartSelectsItInMainWindow_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("listed");       // the part list's choice afterwards
    QTest::addColumn<QStringList>("figures");  // en, in, fc in the main window

    QTest::newRow("double-click") << int(Choice::DoubleClick) << "Middle"
                                  << "Middle" << QStringList{"4n", "1p", "0"};
    QTest::newRow("Enter") << int(Choice::Enter) << "Quiet"
                           << "Quiet" << QStringList{"1n", "1p", "0"};
    QTest::newRow("Select Part") << int(Choice::SelectButton) << "Middle"
                                 << "Middle" << QStringList{"4n", "1p", "0"};
    // Leaving keeps the part calculated, the list's first, with en as typed.
    QTest::newRow("Escape") << int(Choice::Escape) << "Quiet"
                            << "Loud" << QStringList{"7n", "1p", "0"};
  }

  // The chosen part's figures replace the calculated ones after the
  // calculation's write-back, which normalises every other field.
  void choosingPartSelectsItInMainWindow() {
    QFETCH(int, choice);
    QFETCH(QString, part);
    QFETCH(QString, listed);
    QFETCH(QStringList, figures);

    QVERIFY(m_calc->Open(kByVoltageNoise));
    m_calc->Type("noiseVoltageEdit", QStringLiteral("7n"));
    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    m_calc->Type("sourceResistorEdit", QStringLiteral("12345"));
    QString reportTotal;
    bool closed = false;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   const QStringList report = WindowText(results).split(QLatin1Char('\n'));
                   reportTotal = report.filter(QStringLiteral("Total noise voltage = ")).value(0).mid(22);
                   Choose(results, part, static_cast<Choice>(choice));
                   closed = !results->isVisible();
                 },
                 problems),
             qPrintable(problems));

    QVERIFY(closed);
    QCOMPARE(m_calc->Child<QComboBox>("partList")->currentText(), listed);
    QCOMPARE((QStringList{m_calc->Text("noiseVoltageEdit"), m_calc->Text("noiseCurrentEdit"),
                          m_calc->Text("cornerFreqEdit")}),
             figures);
    QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("77"));
    QCOMPARE(m_calc->Text("sourceResistorEdit"), QStringLiteral("12.35k"));
    QCOMPARE(m_calc->Text("carryEdit") + QLatin1Char('V'), reportTotal);
  }

  void withoutPartLibrary() {
    QVERIFY(m_calc->Open(std::nullopt));
    QString text;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   QWidget* page = ShowTab(results, "comparisonTab");
                   if (auto* label = page->findChild<QLabel*>(QStringLiteral("unavailableLabel"))) text = label->text();
                 },
                 problems),
             qPrintable(problems));
    QVERIFY2(text.startsWith(QStringLiteral("No parts to compare")), qPrintable(text));
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::PartComparisonTest)
#include "part_comparison_test.moc"
