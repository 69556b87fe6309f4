// Calculations through the real windows: the report and the write-back the
// core gives for the same form, the results window's tabs, a part chosen
// among the results, and the corner dialog's flow.
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "form/breakdown_table.h"
#include "form/corner_estimate.h"
#include "form/figure_text.h"
#include "form/part_ranking.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/result_csv.h"
#include "form/write_back.h"
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
  auto* viewTabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
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

  // The report opens in front with the focus; a failed calculation leaves
  // every field as typed.
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
    form.m_bWithCarry = button == QLatin1String("calcWithCarryButton");
    const NoiseResult result = ComputeNoise(form);
    QCOMPARE(result.outcome.failure.has_value(), fails);
    const QStringList typing = m_calc->Texts();

    QStringList tabs;
    QString focus;
    QVERIFY(driver.Run([&] { m_calc->Click(qPrintable(button)); }, {[&](QWidget* results) {
                         auto* viewTabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
                         for (int i = viewTabs->currentIndex(); i < viewTabs->count(); ++i)
                           tabs << viewTabs->tabText(i);
                         focus = QApplication::focusWidget()->objectName();
                         PressKey(results, closeKey);
                       }}));
    QCOMPARE(driver.windows.front().title, QStringLiteral("Noise Results"));
    const std::string report = BuildNoiseReport(result, parts ? std::optional<std::string_view>("Loud") : std::nullopt);
    QCOMPARE(driver.windows.front().text, ui::FromCp1252(report).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(tabs, (QStringList{"&Report", "&Breakdown", "S&pectrum", "&Comparison", "&Figures"}));
    QCOMPARE(focus, QStringLiteral("resultsEdit"));
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
      ShowTab(results, QStringLiteral("comparisonTab"));
      auto* table = results->findChild<QTableView*>(QStringLiteral("comparisonTable"));
      const QModelIndex row = table->model()->match(table->model()->index(0, 0), Qt::DisplayRole, part).value(0);
      table->setFocus();
      table->setCurrentIndex(row);
      const QPoint at = table->visualRect(row).center();
      if (how == QLatin1String("double-click")) QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      if (how == QLatin1String("double-click")) QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
      if (how == QLatin1String("Enter") || how == QLatin1String("Escape"))
        QTest::keyClick(table, how == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
      if (how == QLatin1String("selectPartButton")) ClickButton(results, "selectPartButton");
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
    QTest::newRow("figures, Save As CSV") << u"figuresTab"_s << u"saveAsButton"_s << u"figures.csv"_s
                                          << u"figure,weighting,label,value,unit,reason\nsignal_gain,,Signal gain,2,,\n"_s
                                          << 0;
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
      if (what == QLatin1String("Ctrl+C"))
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
      else if (!what.isEmpty())
        target->findChild<QAction*>(what)->trigger();
      else
        ClickButton(results, qPrintable(command));
      PressKey(results, Qt::Key_Escape);
    };
    std::vector<ModalDriver::Handler> handlers{run};
    if (!file.isEmpty())
      handlers.push_back([&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);  // as typed
        PressKey(dialog, Qt::Key_Return);
      });
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
    } else if (starts == QLatin1String("<image>")) {
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
    PartLibrary library;
    std::istringstream text(parts.toStdString());
    ReadPartLibrary(text, library);
    const auto quietest = [&](Weighting w) { return ui::FromCp1252(RankParts(form, library, w).front().name); };
    const std::optional<NoiseFigures> figures = FiguresOf(ComputeNoise(form));
    QVERIFY(figures && quietest(Weighting::kA) != quietest(Weighting::kNone));

    QString ranked, total;
    QStringList breakdownRow;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[&](QWidget* results) {
                         ShowTab(results, QStringLiteral("comparisonTab"));
                         auto* weighting = results->findChild<QComboBox*>(QStringLiteral("weightingCombo"));
                         weighting->setCurrentIndex(static_cast<int>(WeightingIndex(Weighting::kA)));
                         auto* table = results->findChild<QTableView*>(QStringLiteral("comparisonTable"));
                         ranked = table->model()->index(0, 0).data().toString();
                         total = results->findChild<QLabel*>(QStringLiteral("weightedTotalValue"))->text();
                         const auto* breakdown = results->findChild<QTableView*>(QStringLiteral("breakdownTable"))->model();
                         for (int column = 0; column < breakdown->columnCount(); ++column)
                           breakdownRow << breakdown->headerData(column, Qt::Horizontal).toString()
                                        << breakdown->index(0, column).data().toString();
                         weighting->setCurrentIndex(0);  // the setting outlives the window
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QCOMPARE(ranked, quietest(Weighting::kA));
    QCOMPARE(total, ui::FromCp1252(FigureText((*figures)[Weighting::kA].outputV, "V", FigureKind::kValue)) +
                        QStringLiteral(" (A)"));
    // The breakdown's rows through A, as the core gives them.
    const TextTable weighted = BreakdownTable(*BreakdownNoise(ComputeNoise(form), kDefaultCrestFactor, Weighting::kA), Weighting::kA);
    const QList<QStringList> rows = ui::QtRows(weighted);
    QStringList expected;
    for (qsizetype column = 0; column < rows.front().size(); ++column) expected << rows[0][column] << rows[1][column];
    QCOMPARE(breakdownRow, expected);
  }

  // A source that makes all the noise shows over the total, not under it
  // (the legend, which names it in its colour, is in the right half).
  void dominantSourceShows() {
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Click("bufferRadio");
    TypeAll(*m_calc, {u"sourceResistorEdit=0"_s, u"r2Edit=0"_s});  // the op amp's voltage noise alone
    int shown = 0;  // pixels of the source's colour
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[&](QWidget* results) {
                         ShowTab(results, u"spectrumTab"_s);
                         const auto* plot =
                             static_cast<ui::CLogLogPlotView*>(results->findChild<QWidget*>(u"spectrumPlot"_s));
                         QCOMPARE(plot->Plot().curves.size(), std::size_t{2});
                         const QImage picture = plot->Picture();
                         for (int y = 0; y < picture.height(); ++y)
                           for (int x = 0; x < picture.width() / 2; ++x)
                             shown += picture.pixel(x, y) == plot->Plot().curves.back().color.rgb();
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QVERIFY2(shown > 50, qPrintable(QString::number(shown)));
  }

  // The report cannot be edited.
  void reportIsReadOnly() {
    QVERIFY(m_calc->Open(kParts));
    QString report;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[&](QWidget* results) {
                         auto* edit = results->findChild<QPlainTextEdit*>(u"resultsEdit"_s);
                         QApplication::clipboard()->setText(u"pasted"_s);
                         for (auto keys : {QKeySequence::SelectAll, QKeySequence::Cut, QKeySequence::Paste})
                           QTest::keySequence(edit, keys);
                         QTest::keyClicks(edit, u"typed"_s);
                         report = edit->toPlainText();
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QCOMPARE(report, driver.windows.front().text);
  }

  void failedSave_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("reason");  // as the message says it
    const QString notAFile = u"it is not a regular file"_s;
    QTest::newRow("the write fails halfway") << u"halfway"_s << u"the write failed"_s;
    QTest::newRow("a folder in the way") << u"folder"_s << notAFile;
    QTest::newRow("a full disk: only the last flush fails") << u"full"_s << u"File too large"_s;
    QTest::newRow("a device in the way") << u"device"_s << notAFile;
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
    if (way == u"device"_s) {
      if (geteuid() != 0) QSKIP("mknod needs root");
      QCOMPARE(mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)), 0);  // /dev/full
    } else if (way != u"kernel"_s) {
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
    if (way != u"kernel"_s)
      QVERIFY(way == u"device"_s ? !QFileInfo(path).isFile() : old.open(QIODevice::ReadOnly) && old.readAll() == "old");
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

  void cornerDialog_data() {
    QTest::addColumn<int>("mode");           // the radio clicked; -1: none
    QTest::addColumn<QString>("freqRange");  // typed; null: left alone
    QTest::addColumn<QString>("noise");
    QTest::addColumn<QString>("close");

    QTest::newRow("Enter at once") << -1 << QString() << QString() << u"Enter"_s;
    QTest::newRow("Escape") << -1 << QString() << QString() << u"Escape"_s;
    QTest::newRow("typed, Cancel") << 0 << u"10"_s << u"6n"_s << u"cancelButton"_s;
    QTest::newRow("single frequency, OK") << 0 << u"10"_s << u"6n"_s << u"okButton"_s;
    QTest::newRow("range placeholders") << 1 << QString() << QString() << u"cancelButton"_s;
    QTest::newRow("range, unknown unit: written, then the error") << 1 << u"0.1 10"_s << u"15n volts"_s << u"Enter"_s;
  }

  // The dialog opens with its placeholders and "OK" focused; a click into a
  // field clears its placeholder; after "OK" the estimate goes to the corner
  // field before any input error shows.
  void cornerDialog() {
    QFETCH(int, mode);
    QFETCH(QString, freqRange);
    QFETCH(QString, noise);
    QFETCH(QString, close);

    QVERIFY(m_calc->Open(std::nullopt));
    CornerDialogState state{CORNER_SINGLE_FREQ, {}, {}};
    SetCornerPlaceholders(state, CORNER_SINGLE_FREQ);
    const QStringList atOpen{ui::FromCp1252(state.m_strFreqRange), ui::FromCp1252(state.m_strNoise), "okButton"};
    if (mode >= 0) SetCornerPlaceholders(state, static_cast<CornerMode>(state.m_nSpecifyMode = mode));
    if (!freqRange.isNull()) state.m_strFreqRange = ui::ToCp1252(freqRange);
    if (!noise.isNull()) state.m_strNoise = ui::ToCp1252(noise);
    const bool accepted = close == QLatin1String("okButton") || close == QLatin1String("Enter");
    const CornerEstimate estimate = accepted ? EstimateCorner(state, "3n") : CornerEstimate{};

    QStringList seenAtOpen, seenBeforeClose;
    QString cornerAtError;
    const auto work = [&](QWidget* dialog) {
      auto* freqEdit = dialog->findChild<QLineEdit*>(QStringLiteral("freqRangeEdit"));
      auto* noiseEdit = dialog->findChild<QLineEdit*>(QStringLiteral("noiseEdit"));
      seenAtOpen = {freqEdit->text(), noiseEdit->text(), QApplication::focusWidget()->objectName()};
      if (mode >= 0) ClickButton(dialog, mode == 0 ? "singleFreqRadio" : "throughRangeRadio");
      for (auto [edit, text] : {std::pair{freqEdit, freqRange}, std::pair{noiseEdit, noise}})
        if (!text.isNull()) QTest::mouseClick(edit, Qt::LeftButton), QTest::keyClicks(edit, text);
      seenBeforeClose = {freqEdit->text(), noiseEdit->text()};
      if (close.endsWith(QLatin1String("Button")))
        ClickButton(dialog, qPrintable(close));
      else
        PressKey(dialog, close == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
    };
    std::vector<ModalDriver::Handler> handlers{work};
    if (estimate.inputError)
      handlers.push_back([&](QWidget* box) {
        cornerAtError = m_calc->Text("cornerFreqEdit");
        PressKey(box, Qt::Key_Return);
      });
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("calcCornerButton"); }, handlers));

    QCOMPARE(driver.windows.front().title, QStringLiteral("Calculate 1/f Noise Corner"));
    QCOMPARE(seenAtOpen, atOpen);
    QCOMPARE(seenBeforeClose, (QStringList{ui::FromCp1252(state.m_strFreqRange), ui::FromCp1252(state.m_strNoise)}));
    const QString corner = estimate.cornerText ? ui::FromCp1252(*estimate.cornerText) : QStringLiteral("0");
    QCOMPARE(m_calc->Text("cornerFreqEdit"), corner);
    if (estimate.inputError) {
      QCOMPARE(driver.windows.back().title, QString());  // the only box without a caption
      QCOMPARE(driver.windows.back().text, ui::FromCp1252(kCornerInputError));
      QCOMPARE(cornerAtError, corner);
    }
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::CalculationTest)
#include "calculation_test.moc"
