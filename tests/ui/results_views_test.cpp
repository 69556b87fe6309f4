// The results window's views through the real windows: the report first,
// the breakdown by source, the spectrum, and what a failed calculation
// leaves of them.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <cmath>

#include "form/form_calculation.h"
#include "modal_driver.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_source.h"
#include "noise/noise_spectrum.h"
#include "notation/eng_parse.h"
#include "results_support.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

const QByteArray kTestAmp = "TestAmp 3n 400f 0\n";
const QStringList kRadios{QStringLiteral("bufferRadio"), QStringLiteral("nonInvertingRadio"),
                          QStringLiteral("invertingRadio")};

// A circuit as a test sets it up: the topology's radio and the fields typed
// over the start-up values ("objectName=text").
struct Circuit {
  QString radio;
  QStringList edits;
};

void SetUp(const CalculatorUnderTest& calc, const Circuit& circuit) {
  calc.Child<QRadioButton>(qPrintable(circuit.radio))->click();
  for (const QString& edit : circuit.edits)
    calc.Type(qPrintable(edit.section(QLatin1Char('='), 0, 0)), edit.section(QLatin1Char('='), 1));
}

// What the core makes of the same circuit, with TestAmp's figures (the
// start-up ones) in the fields.
NoiseResult CoreResult(const Circuit& circuit, bool withCarry) {
  CalculatorForm form;
  ApplyFormDefaults(form);
  form.m_nAmpType = static_cast<int>(kRadios.indexOf(circuit.radio));
  for (const QString& edit : circuit.edits) {
    const QString field = edit.section(QLatin1Char('='), 0, 0);
    form.*kFormTextFields[static_cast<std::size_t>(FieldIndex(qPrintable(field)))].member =
        ui::ToCp1252(edit.section(QLatin1Char('='), 1));
  }
  form.m_bWithCarry = withCarry ? 1 : 0;
  return ComputeNoise(form);
}

QString Percent(double value) { return QString::number(value, 'f', 1); }

QList<QStringList> TableRows(const QTableWidget* table) {
  QList<QStringList> rows;
  for (int row = 0; table && row < table->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column) cells << table->item(row, column)->text();
    rows << cells;
  }
  return rows;
}

QString LabelText(const QWidget* page, const char* name) {
  const auto* label = page->findChild<QLabel*>(QString::fromLatin1(name));
  return label ? label->text() : QString();
}

// The breakdown tab as a user reads it.
struct BreakdownSeen {
  QList<QStringList> rows;
  QString total, inputReferred, inputDensity;
  QStringList peakToPeak;  // at each crest factor of the list, in turn
  QStringList crestFactors;
};

BreakdownSeen ReadBreakdown(QWidget* results) {
  BreakdownSeen seen;
  QWidget* page = ShowTab(results, "breakdownTab");
  if (!page) return seen;
  seen.rows = TableRows(page->findChild<QTableWidget*>(QStringLiteral("breakdownTable")));
  seen.total = LabelText(page, "outputTotalValue");
  seen.inputReferred = LabelText(page, "inputReferredValue");
  seen.inputDensity = LabelText(page, "inputDensityValue");
  auto* combo = page->findChild<QComboBox*>(QStringLiteral("crestFactorCombo"));
  for (int i = 0; combo && i < combo->count(); ++i) {
    combo->setCurrentIndex(i);
    seen.crestFactors << combo->currentText();
    seen.peakToPeak << LabelText(page, "peakToPeakValue");
  }
  return seen;
}

// The report line that starts with `label`, without it.
QString ReportFigure(QWidget* results, const QString& label) {
  const QStringList lines = results->findChild<QPlainTextEdit*>()->toPlainText().split(QLatin1Char('\n'));
  for (const QString& line : lines)
    if (line.startsWith(label)) return line.mid(label.size());
  return {};
}

// The spectrum tab as a user sees it.
struct SpectrumSeen {
  bool shown = false;
  ui::LogLogPlot plot;
  QString silent;  // the note under the plot
};

SpectrumSeen ReadSpectrum(QWidget* results) {
  SpectrumSeen seen;
  QWidget* page = ShowTab(results, "spectrumTab");
  auto* view = page ? page->findChild<ui::CLogLogPlotView*>(QStringLiteral("spectrumPlot")) : nullptr;
  if (!view) return seen;
  seen.shown = view->isVisible() && !view->grab().isNull();
  seen.plot = view->Plot();
  seen.silent = LabelText(page, "silentSourcesLabel");
  return seen;
}

bool Near(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(std::abs(a), std::abs(b)); }

}  // namespace

class ResultsViewsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() { m_calc = std::make_unique<CalculatorUnderTest>(); }
  void cleanup() { m_calc.reset(); }

  void reportTabComesFirst() {
    QVERIFY(m_calc->Open(kTestAmp));
    QStringList titles;
    int current = -1;
    QString focus;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
                   for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i).remove('&');
                   current = tabs->currentIndex();
                   focus = QApplication::focusWidget()->objectName();
                 },
                 problems),
             qPrintable(problems));
    QCOMPARE(titles, (QStringList{"Report", "Breakdown", "Spectrum", "Comparison"}));
    QCOMPARE(current, 0);
    QCOMPARE(focus, QStringLiteral("resultsEdit"));
  }

  // Every control of the views can be found by a screen reader.
  void everyControlIsNamed() {
    QVERIFY(m_calc->Open(kTestAmp));
    QStringList unnamed;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   for (const char* tab : {"breakdownTab", "spectrumTab", "comparisonTab"}) {
                     QWidget* page = ShowTab(results, tab);
                     for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                       if (w->objectName().isEmpty() || w->accessibleName().isEmpty())
                         unnamed << QString::fromLatin1(tab) + QLatin1Char('/') +
                                        QString::fromLatin1(w->metaObject()->className());
                   }
                 },
                 problems),
             qPrintable(problems));
    QCOMPARE(unnamed.join(","), QString());
  }

  void breakdownTable_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<bool>("withCarry");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("largest");

    // en times the noise gain of 2, 6nV/rtHz, above R1's and R2's 4.1n.
    QTest::newRow("non-inverting") << "nonInvertingRadio" << QStringList{} << false << 6 << "Op amp voltage noise";
    // 10k's 12.9nV/rtHz against en's 3n and in's 4n.
    QTest::newRow("buffer, Rs 10k") << "bufferRadio" << QStringList{"sourceResistorEdit=10k"} << false << 5
                                    << "Rs thermal noise";
    // R1's 4.1n amplified 100 times against en's 3n times 101.
    QTest::newRow("inverting, gain 100") << "invertingRadio" << QStringList{"r2Edit=100k"} << false << 5
                                         << "R1 thermal noise";
    // 400fA through 1M is 400nV/rtHz, three times Rs's own 129n.
    QTest::newRow("non-inverting, Rs 1M") << "nonInvertingRadio" << QStringList{"sourceResistorEdit=1M"} << false << 6
                                          << "Op amp current noise through Rs";
    // 10uV carried through a gain of 2 against the stage's own 1.2uV.
    QTest::newRow("carry") << "nonInvertingRadio" << QStringList{"carryEdit=10u"} << true << 7 << "Carried noise";
  }

  void breakdownTable() {
    QFETCH(QString, radio);
    QFETCH(QStringList, edits);
    QFETCH(bool, withCarry);
    QFETCH(int, rows);
    QFETCH(QString, largest);

    QVERIFY(m_calc->Open(kTestAmp));
    const Circuit circuit{radio, edits};
    SetUp(*m_calc, circuit);
    BreakdownSeen seen;
    QString reportTotal;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, withCarry ? "calcWithCarryButton" : "calculateButton",
                 [&](QWidget* results) {
                   seen = ReadBreakdown(results);
                   reportTotal =
                       ReportFigure(results, withCarry ? "Noise voltage with carry = " : "Total noise voltage = ");
                 },
                 problems),
             qPrintable(problems));

    QCOMPARE(seen.rows.size(), rows);
    QCOMPARE(seen.rows.front().front(), largest);
    QCOMPARE(seen.total, reportTotal);

    const std::optional<NoiseBreakdown> core = BreakdownNoise(CoreResult(circuit, withCarry));
    QVERIFY(core);
    double percentSum = 0;
    double previousTotal = HUGE_VAL;
    for (qsizetype i = 0; i < seen.rows.size(); ++i) {
      const NoiseContribution& c = core->contributions[static_cast<std::size_t>(i)];
      const QStringList expected{ui::FromCp1252(NoiseSourceLabel(c.source)), ui::EngText(c.density),
                                 ui::EngText(c.total), Percent(c.percent)};
      QCOMPARE(seen.rows[i], expected);
      const double shownTotal = ParseEngValue(ui::ToCp1252(seen.rows[i][2]));
      QVERIFY2(shownTotal <= previousTotal, "largest first");
      previousTotal = shownTotal;
      percentSum += seen.rows[i][3].toDouble();
    }
    // Each share is rounded to 0.05 at most.
    QVERIFY2(std::abs(percentSum - 100) <= 0.05 * static_cast<double>(seen.rows.size()),
             qPrintable(QString::number(percentSum)));
    QCOMPARE(seen.inputReferred, ui::EngText(core->inputReferred, QStringLiteral("V")));
    QCOMPARE(seen.inputDensity, ui::EngText(core->inputDensity, QStringLiteral("V/√Hz")));
  }

  void peakToPeakFollowsCrestFactor() {
    QVERIFY(m_calc->Open(kTestAmp));
    BreakdownSeen seen;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton", [&](QWidget* results) { seen = ReadBreakdown(results); }, problems),
             qPrintable(problems));
    const double total = *CoreResult({QStringLiteral("nonInvertingRadio"), {}}, false).totalNoise;
    QCOMPARE(seen.crestFactors.size(), 2);
    QVERIFY(seen.crestFactors[0].startsWith(QStringLiteral("6 ")));
    QVERIFY(seen.crestFactors[1].startsWith(QStringLiteral("6.6 ")));
    QCOMPARE(seen.peakToPeak,
             (QStringList{ui::EngText(6 * total, QStringLiteral("V")), ui::EngText(6.6 * total, QStringLiteral("V"))}));
  }

  void spectrumPlot_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("sources");  // drawn, in source order
    QTest::addColumn<QString>("silent");       // the note under the plot
    QTest::addColumn<bool>("rises");           // the total rises below the corner

    const QString noRs =
        QStringLiteral("Without noise here, not drawn: Rs thermal noise, Op amp current noise through Rs.");
    QTest::newRow("non-inverting, Rs 0") << "nonInvertingRadio" << QStringList{}
                                         << QStringList{"Op amp voltage noise", "R1 thermal noise", "R2 thermal noise",
                                                        "Op amp current noise through R2"}
                                         << noRs << false;
    QTest::newRow("buffer, Rs 0, corner 100Hz")
        << "bufferRadio" << QStringList{"cornerFreqEdit=100"}
        << QStringList{"Op amp voltage noise", "R2 thermal noise", "Op amp current noise through R2"} << noRs << true;
    QTest::newRow("non-inverting, Rs 10k, corner 1k")
        << "nonInvertingRadio" << QStringList{"sourceResistorEdit=10k", "cornerFreqEdit=1k"}
        << QStringList{"Op amp voltage noise", "R1 thermal noise",
                       "R2 thermal noise",     "Op amp current noise through R2",
                       "Rs thermal noise",     "Op amp current noise through Rs"}
        << QString() << true;
    QTest::newRow("inverting, narrow band")
        << "invertingRadio" << QStringList{"lowerFreqEdit=300", "upperFreqEdit=3k", "sourceResistorEdit=50"}
        << QStringList{"Op amp voltage noise", "R1 thermal noise", "R2 thermal noise",
                       "Op amp current noise through R2", "Rs thermal noise"}
        << QString() << false;
  }

  void spectrumPlot() {
    QFETCH(QString, radio);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, sources);
    QFETCH(QString, silent);
    QFETCH(bool, rises);

    QVERIFY(m_calc->Open(kTestAmp));
    const Circuit circuit{radio, edits};
    SetUp(*m_calc, circuit);
    SpectrumSeen seen;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton", [&](QWidget* results) { seen = ReadSpectrum(results); }, problems),
             qPrintable(problems));

    const NoiseResult result = CoreResult(circuit, false);
    const double fL = result.lowerFreq;
    const double fH = result.upperFreq;
    QVERIFY(seen.shown);
    const ui::LogLogPlot& plot = seen.plot;
    QVERIFY(Near(plot.xMin, fL / 10));
    QVERIFY(Near(plot.xMax, fH * 10));
    QStringList names;
    qreal widestSource = 0;
    bool sourcesPositive = true;
    for (const ui::PlotCurve& curve : plot.curves) {
      names << curve.name;
      if (&curve == &plot.curves.back()) continue;
      widestSource = std::max(widestSource, curve.width);
      for (const QPointF& p : curve.points) sourcesPositive = sourcesPositive && p.y() > 0;
    }
    // The sources, then the total drawn over them.
    QCOMPARE(names, sources + QStringList{"Total"});
    QCOMPARE(seen.silent, silent);
    QVERIFY(sourcesPositive);
    const ui::PlotCurve& total = plot.curves.back();
    QVERIFY(total.width > widestSource);

    QVERIFY(total.points.size() > 100);
    QVERIFY(Near(total.points.front().x(), fL / 10));
    QVERIFY(Near(total.points.back().x(), fH * 10));
    for (const QPointF& p : {total.points.front(), total.points[total.points.size() / 2], total.points.back()}) {
      QVERIFY(p.y() >= plot.yMin && p.y() <= plot.yMax);
      QVERIFY(Near(p.y(), NoiseSpectrumAt(result, p.x())->total * 1e9));  // nV/rtHz
    }
    QCOMPARE(total.points.front().y() > 1.01 * total.points.back().y(), rises);
    // Whole decades, the band shaded.
    QVERIFY(Near(std::log10(plot.yMin), std::round(std::log10(plot.yMin))));
    QVERIFY(Near(std::log10(plot.yMax), std::round(std::log10(plot.yMax))));
    QCOMPARE(plot.shadeFrom, fL);
    QCOMPARE(plot.shadeTo, fH);
  }

  void failedCalculationExplainsViews_data() {
    QTest::addColumn<QString>("tab");
    QTest::newRow("breakdown") << "breakdownTab";
    QTest::newRow("spectrum") << "spectrumTab";
    QTest::newRow("comparison") << "comparisonTab";
  }

  void failedCalculationExplainsViews() {
    QFETCH(QString, tab);

    QVERIFY(m_calc->Open(kTestAmp));
    m_calc->Type("lowerFreqEdit", QStringLiteral("30k"));
    QString explanation;
    qsizetype controls = -1;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   QWidget* page = ShowTab(results, qPrintable(tab));
                   explanation = LabelText(page, "unavailableLabel");
                   controls = page->findChildren<QWidget*>().size();
                 },
                 problems),
             qPrintable(problems));
    QVERIFY2(explanation.contains(QStringLiteral("the calculation failed")), qPrintable(explanation));
    QCOMPARE(controls, 1);  // the explanation alone
  }

  // A negative source resistance passes the calculation's checks but gives
  // its thermal noise a negative power: there is nothing to draw or share.
  void viewsWithoutSpectrumSayWhy_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("breakdown");  // in the breakdown tab's note, or none
    QTest::addColumn<QString>("spectrum");   // in the spectrum tab's note

    QTest::newRow("negative resistor") << "sourceResistorEdit" << "-10" << "negative" << "negative";
    QTest::newRow("a decade above the band overflows") << "upperFreqEdit" << "1e308" << "" << "largest number";
  }

  void viewsWithoutSpectrumSayWhy() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, breakdown);
    QFETCH(QString, spectrum);

    QVERIFY(m_calc->Open(kTestAmp));
    m_calc->Type(qPrintable(field), text);
    QString breakdownNote;
    QString spectrumNote;
    QString problems;
    QVERIFY2(LookAtResults(
                 *m_calc, "calculateButton",
                 [&](QWidget* results) {
                   breakdownNote = LabelText(ShowTab(results, "breakdownTab"), "unavailableLabel");
                   spectrumNote = LabelText(ShowTab(results, "spectrumTab"), "unavailableLabel");
                 },
                 problems),
             qPrintable(problems));
    if (breakdown.isEmpty())
      QVERIFY2(breakdownNote.isEmpty(), qPrintable(breakdownNote));
    else
      QVERIFY2(breakdownNote.contains(breakdown), qPrintable(breakdownNote));
    QVERIFY2(spectrumNote.contains(spectrum), qPrintable(spectrumNote));
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::ResultsViewsTest)
#include "results_views_test.moc"
