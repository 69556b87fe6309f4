// Calculations through the real windows: the report and the write-back the
// core gives for the same form, the results window's tabs, a part chosen
// among the results, and the corner dialog's flow.
#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>

#include "form/breakdown_table.h"
#include "form/corner_estimate.h"
#include "form/figure_text.h"
#include "form/measured_text.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/part_ranking.h"
#include "form/result_csv.h"
#include "form/write_back.h"
#include "measured/noise_fit.h"
#include "measured/spectrum_reader.h"
#include "ui/file_save.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

using namespace Qt::StringLiterals;

// Sorted Loud, Middle, Quiet: Loud is selected at start.
const QByteArray kParts = "Loud 10n 1p 0\nQuiet 1n 1p 0\nMiddle 4n 1p 0\n";

const QString kBreakdownCsv = QStringLiteral("<the core's breakdown CSV>");

void ShowTab(QWidget* results, const QString& tab) {
  auto* viewTabs = Find<QTabWidget>(results, "viewTabs");
  viewTabs->setCurrentWidget(viewTabs->findChild<QWidget*>(tab));
}

// Where the next file dialog starts; it closes once its model has looked at `entry`, if any.
QString DialogStart(const QString& entry = {}) {
  QString start;
  ModalDriver driver;
  driver.Run([] { ui::AskOpenFileName(nullptr, u"Open"_s, u"All (*)"_s); }, {[&](QWidget* dialog) {
               if (!entry.isEmpty()) dialog->findChild<QFileSystemModel*>()->index(entry);
               start = qobject_cast<QFileDialog*>(dialog)->directory().path();
               PressKey(dialog, Qt::Key_Escape);
             }});
  return start;
}

// A measurement of the output's noise: white and a 1/f rise, as a
// two-column file with a header.
QByteArray MeasurementFile(double en = 2.5e-8) {
  QByteArray text = "Hz,V/rtHz\n";
  for (int k = 0; k <= 30; ++k) {
    const double f = 10 * std::pow(10.0, k / 7.5);
    text += QByteArray::number(f) + ',' + QByteArray::number(en * std::sqrt(1 + 100 / f)) + '\n';
  }
  return text;
}

void TypeAll(const CalculatorUnderTest& calc, const QStringList& edits) {  // "objectName=text"
  for (const QString& edit : edits) calc.Type(qPrintable(edit.section('=', 0, 0)), edit.section('=', 1));
}

}  // namespace

class CalculationTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() { m_calc = std::make_unique<CalculatorUnderTest>(); }
  void cleanup() { m_calc.reset(); }

  void reportAndWriteBack_data() {
    QTest::addColumn<bool>("parts");
    QTest::addColumn<bool>("twoStages");  // a first calculation before the edits
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("closeKey");
    QTest::addColumn<bool>("fails");

    const QStringList typed{"temperatureEdit=25C", "sourceResistorEdit=12345"};
    QTest::newRow("part, Enter") << true << false << typed << "calculateButton" << int(Qt::Key_Return) << false;
    QTest::newRow("no part, carry, Escape")
        << false << false << QStringList{"carryEdit=10u"} << "calcWithCarryButton" << int(Qt::Key_Escape) << false;
    QTest::newRow("second stage, narrower band, keypad Enter")
        << true << true << QStringList{"r2Edit=9k", "lowerFreqEdit=100", "upperFreqEdit=10k"} << "calcWithCarryButton"
        << int(Qt::Key_Enter) << false;
    QTest::newRow("second stage, zero R1")
        << true << true << typed + QStringList{"r1Edit=0"} << "calcWithCarryButton" << int(Qt::Key_Return) << true;
  }

  // The report opens in front with the focus and cannot be edited; a failed
  // calculation leaves every field as typed.
  void reportAndWriteBack() {
    QFETCH(bool, parts);
    QFETCH(bool, twoStages);
    QFETCH(QStringList, edits);
    QFETCH(QString, button);
    QFETCH(int, closeKey);
    QFETCH(bool, fails);

    QVERIFY(m_calc->Open(parts ? std::optional(kParts) : std::nullopt));
    CalculatorForm form;
    ModalDriver driver;
    if (twoStages) {
      form = FormOf(*m_calc);
      WriteBackResults(form, ComputeNoise(form));
      QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[](QWidget* w) { PressKey(w, Qt::Key_Return); }}));
    }
    TypeAll(*m_calc, edits);
    form = FormOf(*m_calc, form);
    form.m_bWithCarry = button == u"calcWithCarryButton"_s;
    const NoiseResult result = ComputeNoise(form);
    QCOMPARE(result.outcome.failure.has_value(), fails);
    const QStringList typing = m_calc->Texts();

    QStringList tabs;
    QString focus, edited;
    QVERIFY(driver.Run([&] { m_calc->Click(qPrintable(button)); }, {[&](QWidget* results) {
                         auto* viewTabs = Find<QTabWidget>(results, "viewTabs");
                         for (int i = viewTabs->currentIndex(); i < viewTabs->count(); ++i)
                           tabs << viewTabs->tabText(i);
                         QWidget* report = QApplication::focusWidget();
                         focus = report->objectName();
                         QApplication::clipboard()->setText(u"pasted"_s);
                         for (auto keys : {QKeySequence::SelectAll, QKeySequence::Cut, QKeySequence::Paste})
                           QTest::keySequence(report, keys);
                         QTest::keyClicks(report, u"typed"_s);
                         edited = Find<QPlainTextEdit>(results, "resultsEdit")->toPlainText();
                         PressKey(results, closeKey);
                       }}));
    QCOMPARE(driver.windows.front().title, u"Noise Results"_s);
    const std::string report = BuildNoiseReport(result, parts ? std::optional<std::string_view>("Loud") : std::nullopt);
    QCOMPARE(driver.windows.front().text, ui::FromCp1252(report).replace(u"\r\n"_s, u"\n"_s));
    QCOMPARE(edited, driver.windows.front().text);
    QCOMPARE(tabs, (QStringList{"&Report", "&Breakdown", "S&pectrum", "&Comparison", "&Figures"}));
    QCOMPARE(focus, u"resultsEdit"_s);
    if (!fails) WriteBackResults(form, result);
    QCOMPARE(m_calc->Texts(), fails ? typing : TextsOf(form));
  }

  void partChosenAmongResults_data() {  // the row's name says how
    QTest::addColumn<QString>("part");
    QTest::addColumn<QStringList>("figures");  // en, in and fc shown afterwards; empty: the calculated ones
    QTest::newRow("double-click") << "Middle" << QStringList{"4n", "1p", "0"};
    QTest::newRow("Enter") << "Quiet" << QStringList{"1n", "1p", "0"};
    QTest::newRow("selectPartButton") << "Middle" << QStringList{"4n", "1p", "0"};
    QTest::newRow("Escape") << "Loud" << QStringList{};
  }

  // The chosen part is selected after the calculation's write-back, so its
  // figures, not the calculated ones, are left in the fields.
  void partChosenAmongResults() {
    const QString how = QString::fromLatin1(QTest::currentDataTag());
    QFETCH(QString, part);
    QFETCH(QStringList, figures);

    QVERIFY(m_calc->Open(kParts));
    TypeAll(*m_calc, {"noiseVoltageEdit=7n", "temperatureEdit=25C"});
    CalculatorForm form = FormOf(*m_calc);
    WriteBackResults(form, ComputeNoise(form));
    QStringList expected = TextsOf(form);
    for (qsizetype i = 0; i < figures.size(); ++i) expected[7 + i] = figures[i];  // the noise fields

    const auto choose = [&](QWidget* results) {
      ShowTab(results, u"comparisonTab"_s);
      auto* table = Find<QTableView>(results, "comparisonTable");
      const QModelIndex row = table->model()->match(table->model()->index(0, 0), Qt::DisplayRole, part).value(0);
      table->setFocus();
      table->setCurrentIndex(row);
      const QPoint at = table->visualRect(row).center();
      if (how == u"double-click"_s) QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      if (how == u"double-click"_s) QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
      if (how == u"Enter"_s || how == u"Escape"_s)
        QTest::keyClick(table, how == u"Enter"_s ? Qt::Key_Return : Qt::Key_Escape);
      if (how == u"selectPartButton"_s) ClickButton(results, "selectPartButton");
    };
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {choose}));
    QCOMPARE(m_calc->Child<QComboBox>("partList")->currentText(), part);
    QCOMPARE(m_calc->Texts(), expected);
  }

  void resultsCommands_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("command");  // "<widget>.<action>", "<widget>.Ctrl+C" or a button
    QTest::addColumn<QString>("file");     // saved to, in a fresh folder; none: the clipboard
    QTest::addColumn<QString>("starts");   // how the text copied or the file written starts; kBreakdownCsv: all of it
    QTest::addColumn<int>("lines");        // of the text copied; 0: not checked

    const QString header =
        u"Source\tOutput density (V/√Hz)\tTotal over the band (V)\tShare of output noise power (%)\n"_s;
    QTest::newRow("breakdown, Copy Table")
        << u"breakdownTab"_s << u"breakdownTable.copyTableAction"_s << QString() << header << 7;
    QTest::newRow("comparison, Ctrl+C: the row selected")
        << u"comparisonTab"_s << u"comparisonTable.Ctrl+C"_s << QString() << u"Part\ten\tin\tfc\tSn V/rtHz"_s << 2;
    QTest::newRow("figures, Copy Table") << u"figuresTab"_s << u"figuresTable.copyTableAction"_s << QString()
                                         << u"Figure\tValue\tWhy undefined\nSignal gain\t2\t\n"_s << 15;
    QTest::newRow("spectrum, Copy: an image")
        << u"spectrumTab"_s << u"spectrumPlot.copyAction"_s << QString() << u"<image>"_s << 0;
    QTest::newRow("report, Save As") << u"reportTab"_s << u"saveAsButton"_s << u"report.txt"_s
                                     << u"Op Amp Specifications:"_s << 0;
    QTest::newRow("figures, Save As CSV")
        << u"figuresTab"_s << u"saveAsButton"_s << u"figures.csv"_s
        << u"figure,weighting,label,value,unit,reason\nsignal_gain,,Signal gain,2,,\n"_s << 0;
    QTest::newRow("breakdown, Save As CSV")
        << u"breakdownTab"_s << u"saveAsButton"_s << u"breakdown.csv"_s << QString(kBreakdownCsv) << 0;
    QTest::newRow("spectrum, Save As SVG")
        << u"spectrumTab"_s << u"spectrumPlot.saveAsAction"_s << u"plot.svg"_s << u"<?xml"_s << 0;
    QTest::newRow("Save PDF") << u"reportTab"_s << u"savePdfButton"_s << u"calculation.pdf"_s << u"%PDF"_s << 0;
  }

  // Each command of the results window puts its text or image on the
  // clipboard, or writes its file through the file dialog.
  void resultsCommands() {
    QFETCH(QString, tab);
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(QString, starts);
    QFETCH(int, lines);

    QVERIFY(m_calc->Open(kParts));
    const CalculatorForm form = FormOf(*m_calc);
    QApplication::clipboard()->clear();
    QTemporaryDir folder;
    const QString path = folder.filePath(file);

    const auto run = [&](QWidget* results) {
      ShowTab(results, tab);
      auto* target = results->findChild<QWidget*>(command.section('.', 0, 0));
      const QString what = command.section('.', 1);
      if (what == u"Ctrl+C"_s)
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
      else if (!what.isEmpty())
        target->findChild<QAction*>(what)->trigger();
      else
        ClickButton(results, qPrintable(command));
      PressKey(results, Qt::Key_Escape);
    };
    std::vector<ModalDriver::Handler> handlers{run};
    if (!file.isEmpty()) handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, path); });
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, handlers));

    if (!file.isEmpty()) {
      QFile written(path);
      QVERIFY(written.open(QIODevice::ReadOnly));
      if (starts == kBreakdownCsv)
        QCOMPARE(QString::fromUtf8(written.readAll()),
                 ui::FromCp1252(BreakdownCsv(BreakdownNoise(ComputeNoise(form)).value())));
      else
        QVERIFY2(written.readAll().startsWith(starts.toUtf8()), qPrintable(path));
    } else if (starts == u"<image>"_s) {
      QVERIFY(!QApplication::clipboard()->image().isNull());
    } else {
      const QString copied = QApplication::clipboard()->text();
      QVERIFY2(copied.startsWith(starts), qPrintable(copied));
      QCOMPARE(copied.count(QLatin1Char('\n')), lines);
    }
  }

  // The weighting above the tabs re-ranks the comparison and gives the
  // breakdown's weighted rows and total, as the core works them out.
  void weightingChoice() {
    // Flat, the white part is the quieter; through A, the 1/f one.
    const QByteArray parts = "White 2.75n 0 0\nFlicker 2.4n 0 1k\n";
    QVERIFY(m_calc->Open(parts));
    const CalculatorForm form = FormOf(*m_calc);
    const auto quietest = [&](Weighting w) {
      return ui::FromCp1252(RankParts(form, LibraryOf(parts), w).front().name);
    };
    const std::optional<NoiseFigures> figures = FiguresOf(ComputeNoise(form));
    QVERIFY(figures && quietest(Weighting::kA) != quietest(Weighting::kNone));

    QString total;
    QList<QStringList> ranked, breakdown;
    QVERIFY(m_calc->Work("calculateButton", [&](QWidget* results) {
      ShowTab(results, u"comparisonTab"_s);
      auto* weighting = Find<QComboBox>(results, "weightingCombo");
      weighting->setCurrentIndex(static_cast<int>(WeightingIndex(Weighting::kA)));
      ranked = TableRows(Find<QTableView>(results, "comparisonTable"));
      total = Find<QLabel>(results, "weightedTotalValue")->text();
      breakdown = TableRows(Find<QTableView>(results, "breakdownTable"));
      weighting->setCurrentIndex(0);  // the setting outlives the window
    }));
    QCOMPARE(ranked.value(1).value(0), quietest(Weighting::kA));
    QCOMPARE(total, ui::FromCp1252(FigureText((*figures)[Weighting::kA].outputV, "V", FigureKind::kValue)) + u" (A)"_s);
    const Weighting a = Weighting::kA;
    QCOMPARE(breakdown, ui::QtRows(BreakdownTable(*BreakdownNoise(ComputeNoise(form), kDefaultCrestFactor, a), a)));
  }

  // A source that makes all the noise shows over the total, not under it
  // (the legend, which names it in its colour, is in the right half).
  void dominantSourceShows() {
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Click("bufferRadio");
    TypeAll(*m_calc, {u"sourceResistorEdit=0"_s, u"r2Edit=0"_s});  // the op amp's voltage noise alone
    int shown = 0;                                                 // pixels of the source's colour
    std::size_t curves = 0;
    QVERIFY(m_calc->Work("calculateButton", [&](QWidget* results) {
      ShowTab(results, u"spectrumTab"_s);
      const auto* plot = static_cast<ui::CLogLogPlotView*>(Find(results, "spectrumPlot"));
      curves = plot->Plot().curves.size();
      const QImage picture = plot->Picture();
      for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width() / 2; ++x)
          shown += picture.pixel(x, y) == plot->Plot().curves.back().color.rgb();
    }));
    QCOMPARE(curves, std::size_t{2});
    QVERIFY2(shown > 50, qPrintable(QString::number(shown)));
  }

  // A measurement added through its file dialog and preview: a file that
  // cannot be read keeps the preview open with the line and the reason; one
  // that can is drawn, read out, its residual and band totals shown. The fit
  // takes further measurements at the source resistor typed with each (one
  // that is none keeps the preview open), removes one but the spectrum's, and
  // fits those listed as the core does;
  // "Apply" puts its figures into the fields and calculates again, the
  // measurement still drawn.
  void measurementAndFit() {
    QVERIFY(m_calc->Open(kParts));
    QTemporaryDir folder;
    const QString bad = folder.filePath(u"bad.csv"_s), good = folder.filePath(u"good.csv"_s),
                  second = folder.filePath(u"second.csv"_s);
    QVERIFY(WriteFile(bad, "Hz,V\n10,1e-8\n20,abc\n30,1e-8\n") && WriteFile(good, MeasurementFile()) &&
            WriteFile(second, MeasurementFile(6e-8)));
    const CalculatorForm form = FormOf(*m_calc);
    QString preview, fault, readout, strip, rsFault;
    bool keptOpen = false, rsKeptOpen = false, firstRemovable = true;
    QStringList legend, legendAfter, listed;
    QList<QStringList> band, fitted;
    std::vector<ModalDriver::Handler> handlers{[&](QWidget* results) {
      ShowTab(results, u"spectrumTab"_s);
      ClickButton(results, "addMeasurementButton");
      ClickButton(results, "addMeasurementButton");
      const auto* plot = static_cast<ui::CLogLogPlotView*>(Find(results, "spectrumPlot"));
      for (const ui::PlotCurve& curve : plot->Plot().curves) legend << curve.name;
      for (const ui::ReadoutLine& line : ui::ReadoutAt(plot->Plot(), 1000)) readout += line.text + u'\n';
      band = TableRows(Find<QTableView>(results, "bandComparisonTable"));
      QTest::mouseClick(Find(results, "residualCheck"), Qt::LeftButton);
      strip = Find(results, "residualStrip")->isVisible() ? u"shown"_s : u"hidden"_s;
      plot->findChild<QAction*>(u"saveAsAction"_s)->trigger();
      ClickButton(results, "fitButton");
    }};
    handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, bad); });
    handlers.push_back([&](QWidget* preview1) {
      preview = Find<QPlainTextEdit>(preview1, "measurementPreview")->toPlainText();
      PressKey(preview1, Qt::Key_Return);
      fault = Find<QLabel>(preview1, "measurementFaultLabel")->text();
      keptOpen = preview1->isVisible();
      PressKey(preview1, Qt::Key_Escape);
    });
    handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, good); });
    handlers.push_back([](QWidget* preview2) { PressKey(preview2, Qt::Key_Return); });
    const QString csv = folder.filePath(u"overlay.csv"_s);
    handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, csv); });
    handlers.push_back([&](QWidget* fit) {
      ClickButton(fit, "addFitMeasurementButton");
      ClickButton(fit, "addFitMeasurementButton");
      auto* list = Find<QListWidget>(fit, "fitMeasurementList");
      list->setCurrentRow(0);  // the spectrum's own stays
      firstRemovable = Find<QAbstractButton>(fit, "removeFitMeasurementButton")->isEnabled();
      list->setCurrentRow(2);
      ClickButton(fit, "removeFitMeasurementButton");
      for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
      Find<QAbstractButton>(fit, "fitInCheck")->setChecked(true);
      ClickButton(fit, "runFitButton");
      fitted = TableRows(Find<QTableView>(fit, "fitTable"));
      ClickButton(fit, "applyFitButton");
    });
    handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, second); });
    handlers.push_back([&](QWidget* preview3) {
      auto* rs = Find<QLineEdit>(preview3, "measurementRsEdit");
      rs->setText(u"-10k"_s);
      PressKey(preview3, Qt::Key_Return);
      rsFault = Find<QLabel>(preview3, "measurementFaultLabel")->text();
      rsKeptOpen = preview3->isVisible();
      rs->setText(u"10k"_s);
      PressKey(preview3, Qt::Key_Return);
    });
    handlers.push_back([&](QWidget* dialog) { ChooseFile(dialog, good); });
    handlers.push_back([&](QWidget* preview4) {
      Find<QLineEdit>(preview4, "measurementRsEdit")->setText(u"1k"_s);
      PressKey(preview4, Qt::Key_Return);
    });
    handlers.push_back([&](QWidget* again) {
      for (const ui::PlotCurve& curve :
           static_cast<ui::CLogLogPlotView*>(Find(again, "spectrumPlot"))->Plot().curves)
        legendAfter << curve.name;
      PressKey(again, Qt::Key_Escape);
    });
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, handlers));
    QVERIFY2(preview.startsWith(u"Hz,V\n10,1e-8\n20,abc"_s), qPrintable(preview));
    QVERIFY2(fault.startsWith(u"line 3: "_s), qPrintable(fault));
    QVERIFY(keptOpen);
    QVERIFY(legend.contains(u"Measured"_s) && legendAfter.contains(u"Measured"_s));
    QVERIFY2(readout.contains(u"Measured: "_s) && readout.contains(u"Measured/Total: "_s), qPrintable(readout));
    QCOMPARE(band.value(3).size(), qsizetype(1 + kWeightingCount));  // measured, model and difference
    QCOMPARE(strip, u"shown"_s);
    QFile saved(csv);  // the measured points beside the model's
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QStringList csvLines = QString::fromUtf8(saved.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(csvLines.value(0).endsWith(u",measured,predicted,ratio_db"_s), qPrintable(csvLines.value(0)));
    QCOMPARE(csvLines.size(), MeasurementFile().count('\n'));  // a header and a line for each point
    QVERIFY2(rsFault.startsWith(u"Source resistor: \"-10k\""_s) && rsKeptOpen, qPrintable(rsFault));
    QVERIFY(!firstRemovable);
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.value(1), u"second.csv, Rs = 10kΩ"_s);
    CalculatorForm at10k = form;
    at10k.m_strSourceResistor = "10k";
    std::vector<FitMeasurement> both;
    for (const auto& [path, stage] : {std::pair(good, form), std::pair(second, at10k)})
      both.push_back({*ReadMeasuredFile(path.toStdString(), {}).spectrum, ComputeNoise(stage).inputs});
    const NoiseFitting expected = FitNoise(both, {{true, true, true, false, false}});
    QVERIFY(expected.fit);
    QCOMPARE(fitted, ui::QtRows(FitTable(*expected.fit)));  // the heading, en, fc and in
    QStringList fields;
    for (const char* field : {"noiseVoltageEdit", "cornerFreqEdit", "noiseCurrentEdit"})
      fields << m_calc->Text(field);
    QStringList values;
    for (const QStringList& row : fitted.mid(1)) values << row.value(1).remove(QRegularExpression(u"[VAHz/√]+$"_s));
    QCOMPARE(fields, values);
  }

  void failedSave_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("reason");  // as the message says it
    const QString notAFile = u"it is not a regular file"_s;
    QTest::newRow("the write fails halfway") << u"halfway"_s << u"the write failed"_s;
    QTest::newRow("a folder in the way") << u"folder"_s << notAFile;
    QTest::newRow("a full disk: only the last flush fails") << u"full"_s << u"File too large"_s;
    QTest::newRow("a file of the kernel's") << u"kernel"_s << notAFile;
  }

  // A failed save says why, naming the file, and leaves what was there as
  // it was; the next file dialog does not start in its folder.
  void failedSave() {
    QFETCH(QString, way);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const QString path = way == u"kernel"_s ? u"/proc/kmsg"_s : folder.filePath(u"report.txt"_s);
    QFile old(way == u"folder"_s ? path + u"/kept"_s : path);
    if (way != u"kernel"_s) {
      QVERIFY(QDir(folder.path()).mkpath(way == u"folder"_s ? u"report.txt"_s : u"."_s));
      QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
      old.close();
    }
    // Past RLIMIT_FSIZE a write fails as on a full disk, with no mount needed.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{0, limit.rlim_max};

    bool saved = true;
    ModalDriver driver;
    QVERIFY(driver.Run(
        [&] {
          if (way == u"full"_s) setrlimit(RLIMIT_FSIZE, &full);
          saved = ui::SaveFile(nullptr, path,
                               [&](QIODevice& file) { return file.write("new") == 3 && way != u"halfway"_s; });
          setrlimit(RLIMIT_FSIZE, &limit);
        },
        {[](QWidget* box) { PressKey(box, Qt::Key_Return); }}));
    QVERIFY(!saved);
    const QString told = driver.windows.front().text;
    QVERIFY2(told.contains(path + u": "_s + reason + u'.'), qPrintable(told));
    QVERIFY(DialogStart() != QFileInfo(path).path());
    if (way != u"kernel"_s) QVERIFY(old.open(QIODevice::ReadOnly) && old.readAll() == "old");
  }

  // The file dialog starts where the last save went, and lists a folder
  // without opening a file: a read in /proc can block it for good.
  void fileDialogOpensNoFile() {
    QTemporaryDir folder;
    const QString file = folder.filePath(u"no-suffix"_s);  // the stock icon provider reads its first bytes
    QVERIFY(ui::SaveFile(nullptr, file, QByteArray("text")));
    const int opens = inotify_init1(IN_NONBLOCK);
    QVERIFY(inotify_add_watch(opens, QFile::encodeName(file).constData(), IN_OPEN) >= 0);
    QCOMPARE(DialogStart(file), folder.path());
    inotify_event event;
    QCOMPARE(read(opens, &event, sizeof event), ssize_t(-1));  // no event: the file was not opened
    close(opens);
  }

  // The dialog opens with its placeholders and "OK" focused; a mode's radio
  // shows that mode's, a click into a field clears its placeholder. Escape
  // and Cancel leave the corner field alone; after OK the estimate goes to it
  // before any input error shows.
  void cornerDialog() {
    QVERIFY(m_calc->Open(std::nullopt));
    CornerDialogState single{CORNER_SINGLE_FREQ, {}, {}}, range{CORNER_THROUGH_RANGE, {}, {}};
    SetCornerPlaceholders(single, CORNER_SINGLE_FREQ);
    SetCornerPlaceholders(range, CORNER_THROUGH_RANGE);
    const auto estimate = [](CornerDialogState state, const char* freqRange, const char* noise) {
      state.m_strFreqRange = freqRange;
      state.m_strNoise = noise;
      return ui::FromCp1252(EstimateCorner(state, "3n").cornerText.value());
    };
    QStringList seen;  // the fields, and where the focus is
    const auto look = [&seen](QWidget* dialog) {
      seen << Find<QLineEdit>(dialog, "freqRangeEdit")->text() << Find<QLineEdit>(dialog, "noiseEdit")->text()
           << QApplication::focusWidget()->objectName();
    };
    const auto type = [](QWidget* dialog, const QString& freqRange, const QString& noise) {
      for (const auto& [name, text] : {std::pair{"freqRangeEdit", freqRange}, std::pair{"noiseEdit", noise}}) {
        QTest::mouseClick(Find(dialog, name), Qt::LeftButton);
        QTest::keyClicks(Find(dialog, name), text);
      }
    };
    const auto open = [&] { m_calc->Click("calcCornerButton"); };
    ModalDriver driver;
    QVERIFY(driver.Run(open, {[&](QWidget* dialog) {
                         look(dialog);
                         PressKey(dialog, Qt::Key_Escape);
                       }}));
    QCOMPARE(driver.windows.front().title, u"Calculate 1/f Noise Corner"_s);
    QVERIFY(driver.Run(open, {[&](QWidget* dialog) {
                         type(dialog, u"10"_s, u"6n"_s);
                         look(dialog);
                         ClickButton(dialog, "cancelButton");
                       }}));
    QCOMPARE(m_calc->Text("cornerFreqEdit"), u"0"_s);
    QVERIFY(driver.Run(open, {[&](QWidget* dialog) {
                         type(dialog, u"10"_s, u"6n"_s);
                         ClickButton(dialog, "okButton");
                       }}));
    QCOMPARE(m_calc->Text("cornerFreqEdit"), estimate(single, "10", "6n"));
    QString atError;
    QVERIFY(driver.Run(open, {[&](QWidget* dialog) {
                                ClickButton(dialog, "throughRangeRadio");
                                look(dialog);
                                type(dialog, u"0.1 10"_s, u"15n volts"_s);  // an unknown unit
                                PressKey(dialog, Qt::Key_Return);
                              },
                              [&](QWidget* box) {
                                atError = m_calc->Text("cornerFreqEdit");
                                PressKey(box, Qt::Key_Return);
                              }}));
    QCOMPARE(atError, estimate(range, "0.1 10", "15n volts"));
    QCOMPARE(m_calc->Text("cornerFreqEdit"), atError);
    QCOMPARE(driver.windows.back().title, QString());  // the only box without a caption
    QCOMPARE(driver.windows.back().text, ui::FromCp1252(kCornerInputError));
    const auto shown = [](const CornerDialogState& state, const QString& focus) {
      return QStringList{ui::FromCp1252(state.m_strFreqRange), ui::FromCp1252(state.m_strNoise), focus};
    };
    const QStringList typed{"10", "6n", "noiseEdit"};
    QCOMPARE(seen, shown(single, u"okButton"_s) + typed + shown(range, u"okButton"_s));
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::CalculationTest)
#include "calculation_test.moc"
