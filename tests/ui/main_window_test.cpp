// The main window's wiring: what it shows at start, which control opens
// which window, the amplifier type, the exit question from every way out and
// the Help menu's targets and the circuit files. Expected values come
// from the core.
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSvgRenderer>
#include <QTableView>
#include <QTextBrowser>
#include <QTextDocument>

#include <sys/stat.h>

#include <sstream>

#include "form/built_circuit.h"
#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "form/field_reading.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/part_selection.h"
#include "form/write_back.h"
#include "ui/links.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"
#include "ui_test_support.h"

namespace tervane::uitest {

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<LinkCatcher> m_links;
  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() {
    m_links = std::make_unique<LinkCatcher>();
    m_calc = std::make_unique<CalculatorUnderTest>();
  }
  void cleanup() {
    m_calc.reset();
    m_links.reset();
  }

  void opensOnDefaultsAndFirstPart_data() {
    QTest::addColumn<QByteArray>("parts");
    QTest::newRow("no part file") << QByteArray();
    QTest::newRow("two parts") << QByteArray("DemoB 1n 1p 5\nDemoA 2.9n 1.6p 9\n");
  }

  // The list's first part is selected at start; a key in the list selects another.
  void opensOnDefaultsAndFirstPart() {
    QFETCH(QByteArray, parts);
    QVERIFY(m_calc->Open(parts.isEmpty() ? std::nullopt : std::optional(parts)));
    CalculatorForm form;
    ApplyFormDefaults(form);
    PartLibrary library;
    std::istringstream file(parts.toStdString());
    ReadPartLibrary(file, library);
    for (const std::string& name : library.m_partList) {
      if (name != library.m_partList.front()) PressKey(&m_calc->Dialog(), Qt::Key_Down);
      SelectPart(form, library.m_partTable, name);
      QCOMPARE(m_calc->Child<QComboBox>("partList")->currentText(), ui::FromCp1252(name));
      QCOMPARE(m_calc->Texts(), TextsOf(form));
      m_calc->Child<QComboBox>("partList")->setFocus();
    }
    QCOMPARE(m_calc->Texts(), TextsOf(form));
    QCOMPARE(FormOf(*m_calc).m_nAmpType, form.m_nAmpType);
    QCOMPARE(FormOf(*m_calc).m_bApplyCorner, form.m_bApplyCorner);
    if (library.m_partList.empty())
      QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("temperatureEdit"));
  }

  void labelsShowWhole_data() {  // for the window's Arial, as other systems substitute it
    QTest::addColumn<QString>("font");
    for (const char* font : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Condensed", "DejaVu Sans Mono"})
      QTest::newRow(font) << QString::fromLatin1(font);
  }

  // Every label, check box and radio shows its whole text (also run at 2x).
  void labelsShowWhole() {
    QFETCH(QString, font);
    QFont::insertSubstitution(QStringLiteral("Arial"), font);
    const bool opened = m_calc->Open(std::nullopt);
    QFont::removeSubstitutions(QStringLiteral("Arial"));
    QVERIFY(opened);
    for (QWidget* w : m_calc->Dialog().findChildren<QWidget*>()) {
      const auto* label = qobject_cast<QLabel*>(w);
      if ((label && !label->wordWrap()) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(w->objectName()));
    }
  }

  // Tab follows the form's reading order, a column at a time, and meets the
  // radios once, at the checked one; the arrows move within them.
  void tabFollowsTheReadingOrder() {
    QVERIFY(m_calc->Open(std::nullopt));
    const auto tabs = [&](int count, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QStringList visited;
      for (int i = 0; i < count; ++i) {
        PressKey(&m_calc->Dialog(), Qt::Key_Tab, modifiers);
        visited << QApplication::focusWidget()->objectName();
      }
      return visited;
    };
    m_calc->Child("calculateButton")->setFocus();
    QCOMPARE(tabs(22), QStringList({"builtCircuitButton", "partList", "nonInvertingRadio", "chainButton", "applyCornerCheck",
                                    "sourceResistorEdit", "r1Edit", "r2Edit", "temperatureEdit", "lowerFreqEdit",
                                    "upperFreqEdit", "refVoltageEdit", "noiseVoltageEdit", "noiseCurrentEdit",
                                    "cornerFreqEdit", "carryEdit", "exitButton", "helpButton", "calcCornerButton",
                                    "riaaButton", "calcWithCarryButton", "calculateButton"}));
    m_calc->Child("nonInvertingRadio")->setFocus();
    PressKey(&m_calc->Dialog(), Qt::Key_Down);
    QVERIFY(m_calc->Child<QRadioButton>("invertingRadio")->isChecked());
    QCOMPARE(tabs(2), QStringList({"chainButton", "applyCornerCheck"}));
    QCOMPARE(tabs(3, Qt::ShiftModifier), QStringList({"chainButton", "invertingRadio", "partList"}));
  }

  // "Source & Bandwidth...": its fields labelled from the form's table, the
  // drawing redrawn as they are typed; OK puts them in the form, which the
  // line under the buttons says, Cancel does not. A load on the inverting
  // stage is said in the dialog and above the refused report.
  void sourceAndBandwidth() {
    QVERIFY(m_calc->Open(QByteArray("DemoG 1n 1p 5 8M 170\n")));
    const auto line = [&] { return m_calc->Child<QLabel>("builtCircuitLine")->text(); };
    QCOMPARE(line(), QStringLiteral("Circuit as built: GBW = 8MHz, fci = 170Hz"));
    QStringList captions, names, notes;
    bool redrawn = false;
    const auto typeAndClose = [&](const char* field, const char* text, int key) {
      return [&, field, text, key](QWidget* w) {
        for (const FormTextField& f : kBuiltCircuitFields) {
          auto* edit = w->findChild<QLineEdit*>(ui::FieldEditName(f.key));
          for (const QLabel* label : w->findChildren<QLabel*>())
            if (label->buddy() == edit) captions << label->text();
          names << edit->accessibleName();
        }
        auto* picture = w->findChild<QLabel*>(QStringLiteral("circuitPicture"));
        const qint64 before = picture->pixmap().cacheKey();
        QTest::keyClicks(w->findChild<QLineEdit*>(QString::fromLatin1(field)), QString::fromLatin1(text));
        redrawn = !picture->pixmap().isNull() && picture->pixmap().cacheKey() != before;
        notes << w->findChild<QLabel*>(QStringLiteral("refusalNote"))->text();
        PressKey(w, key);
      };
    };
    ModalDriver driver;
    const auto open = [&] { m_calc->Click("builtCircuitButton"); };
    QVERIFY(driver.Run(open, {typeAndClose("sourceInductanceEdit", "0.5", Qt::Key_Return)}));
    QVERIFY(driver.Run(open, {typeAndClose("loadResistorEdit", "47k", Qt::Key_Return)}));
    QVERIFY(driver.Run(open, {typeAndClose("feedbackCapacitorEdit", "1n", Qt::Key_Escape)}));
    QVERIFY(redrawn);
    for (const FormTextField& f : kBuiltCircuitFields)
      QVERIFY(captions.contains(ui::FieldCaption(f)) && names.contains(ui::FieldCaption(f)));
    QCOMPARE(line(), QStringLiteral("Circuit as built: Ls = 500mH, Rload = 47kohm, GBW = 8MHz, fci = 170Hz"));

    m_calc->Child<QRadioButton>("invertingRadio")->click();
    QVERIFY(driver.Run(open, {typeAndClose("loadCapacitorEdit", "", Qt::Key_Escape)}));
    QCOMPARE(notes, QStringList({"", "", "", ui::FromCp1252(kLoadOnInvertingNote)}));
    QString above;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[&](QWidget* w) {
      above = w->findChild<QLabel*>(QStringLiteral("builtCircuitLine"))->text();
      PressKey(w, Qt::Key_Escape);
    }}));
    QVERIFY(above.endsWith(QLatin1Char('\n') + ui::FromCp1252(kLoadOnInvertingNote)));
  }

  // Rb from "Cancel Bias Current", a noise index from a resistor's kind (OK
  // refused until its voltage is given), the correlation; the line says
  // them, and the results show their rows, the negative share's note and
  // the curves.
  void biasCorrelationAndExcessNoise() {
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Child<QRadioButton>("invertingRadio")->click();
    m_calc->Type("r1Edit", QStringLiteral("10k"));
    m_calc->Type("r2Edit", QStringLiteral("100k"));
    m_calc->Type("noiseCurrentEdit", QStringLiteral("1p"));
    QStringList seen;  // Rb, the noise index, whether OK was refused and why
    const auto edit = [](QWidget* w, const char* name) { return w->findChild<QLineEdit*>(QString::fromLatin1(name)); };
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("builtCircuitButton"); }, {[&](QWidget* w) {
                         QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cancelBiasButton")), Qt::LeftButton);
                         for (int i = 0; i < 3; ++i)
                           QTest::keyClick(w->findChild<QComboBox*>(QStringLiteral("r1KindCombo")), Qt::Key_Down);
                         PressKey(w, Qt::Key_Return);
                         seen << edit(w, "biasResistorEdit")->text() << edit(w, "noiseIndexR1Edit")->text()
                              << (w->isVisible() ? "refused" : "closed")
                              << w->findChild<QLabel*>(QStringLiteral("refusalNote"))->text();
                         QTest::keyClicks(edit(w, "dcVoltsR1Edit"), QStringLiteral("10"));
                         QTest::keyClicks(edit(w, "inCorrelationEdit"), QStringLiteral("0.86"));
                         PressKey(w, Qt::Key_Return);
                       }}));
    const auto& r1 = kExcessNoiseFields[ExcessIndex(ExcessResistor::kR1)];
    QCOMPARE(seen, QStringList({"9.091k", ui::FromCp1252(kResistorKinds[2].noiseIndex), "refused",  // (0 + 10k) || 100k
                                ui::FromCp1252(HalfExcessNoiseText(
                                    {&kBuiltCircuitFields[r1.noiseIndex], &kBuiltCircuitFields[r1.dcVolts]}))}));
    QCOMPARE(m_calc->Child<QLabel>("builtCircuitLine")->text(),
             QStringLiteral("Circuit as built: Rb = 9.091kohm, c = 860m, NI(R1) = -15dB, Vdc(R1) = 10V"));

    QStringList rows, curves;
    QString note;
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); }, {[&](QWidget* w) {
                         const auto* table = w->findChild<QTableView*>(QStringLiteral("breakdownTable"))->model();
                         for (int row = 0; row < table->rowCount(); ++row) rows << table->index(row, 0).data().toString();
                         note = w->findChild<QLabel*>(QStringLiteral("negativeShareLabel"))->text();
                         const auto* plot = static_cast<ui::CLogLogPlotView*>(w->findChild<QWidget*>(QStringLiteral("spectrumPlot")));
                         for (const ui::PlotCurve& curve : plot->Plot().curves) curves << curve.name;
                         PressKey(w, Qt::Key_Escape);
                       }}));
    for (const char* source : {"Rb thermal noise", "Op amp current noise through Rb", "R1 excess noise"})
      QVERIFY(rows.contains(QString::fromLatin1(source)) && curves.contains(QString::fromLatin1(source)));
    QCOMPARE(rows.last(), QStringLiteral("Op amp current noise correlation"));  // negative, last
    QVERIFY(note.startsWith(rows.last() + QStringLiteral(" takes power away")));
    QVERIFY(curves.contains(rows.last() + QStringLiteral(" (magnitude)")));
  }

  // What a field will be read as is said under the form and in its tip as
  // it is typed; the part file's skipped lines are said there too.
  void fieldReadingsAndSkippedLinesAreSaid() {
    const char* parts = "DemoA 1n 1p 1\nDemoB 1n\n";
    QVERIFY(m_calc->Open(QByteArray(parts)));
    PartLibrary library;
    std::istringstream file(parts);
    ReadPartLibrary(file, library);
    const QString partNote = QStringLiteral("tervane.txt: ") + QString::fromStdString(PartFileNote(library));
    auto* notes = m_calc->Child<QLabel>("readingNotes");
    QCOMPARE(notes->text(), partNote);
    QCOMPARE(m_calc->Child("partFileMark")->toolTip(), Qt::convertFromPlainText(partNote));
    m_calc->Type("r2Edit", QStringLiteral("4k7"));
    const QString r2Note = ui::FromCp1252(FieldReadingNotes(FormOf(*m_calc))[2]);
    QCOMPARE(notes->text(), partNote + QStringLiteral("\n") + r2Note);
    QCOMPARE(m_calc->Child("r2Edit")->toolTip(), Qt::convertFromPlainText(r2Note));
    QVERIFY(m_calc->Child("r1Edit")->toolTip().isEmpty());
    m_calc->Type("r2Edit", QStringLiteral("4.7k"));
    QCOMPARE(notes->text(), partNote);
  }

  void controlsOpenTheirWindows_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("byEnter");   // Enter on the focused button, not a click
    QTest::addColumn<QString>("title");  // of the modal window it opens; null: none

    // A click on each is made elsewhere, where its window is worked.
    QTest::newRow("Calculate") << "calculateButton" << true << "Noise Results";
    QTest::newRow("Calc with Carry") << "calcWithCarryButton" << true << "Noise Results";
    QTest::newRow("Calc Corner") << "calcCornerButton" << true << "Calculate 1/f Noise Corner";
    QTest::newRow("Help") << "helpButton" << true << "";
    QTest::newRow("RIAA NBW, Enter") << "riaaButton" << true << QString();
    QTest::newRow("RIAA NBW, click") << "riaaButton" << false << QString();
  }

  // Each closed with Escape; the fields then hold what the core makes of them.
  void controlsOpenTheirWindows() {
    QFETCH(QString, control);
    QFETCH(bool, byEnter);
    QFETCH(QString, title);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    CalculatorForm form = FormOf(*m_calc);
    ModalDriver driver;
    std::vector<ModalDriver::Handler> handlers;
    if (!title.isNull()) handlers.push_back([](QWidget* w) { PressKey(w, Qt::Key_Escape); });
    m_calc->Child<QWidget>(qPrintable(control))->setFocus();
    QVERIFY(driver.Run(
        [&] { byEnter ? PressKey(&m_calc->Dialog(), Qt::Key_Return) : m_calc->Click(qPrintable(control)); }, handlers));

    if (!title.isNull()) QCOMPARE(driver.windows.front().title, title);
    if (control == QLatin1String("riaaButton")) ApplyRiaaBand(form);
    if (title == QLatin1String("Noise Results")) {
      form.m_bWithCarry = control == QLatin1String("calcWithCarryButton");
      WriteBackResults(form, ComputeNoise(form));
    }
    QCOMPARE(m_calc->Texts(), TextsOf(form));
    QVERIFY(m_calc->Dialog().isVisible());
  }

  void amplifierType_data() {  // by the mnemonics, which click as the mouse does
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("altKey");
    QTest::addColumn<QString>("drawing");

    QTest::newRow("Alt+B") << "bufferRadio" << int(Qt::Key_B) << "circuit_buffer";
    QTest::newRow("Alt+N") << "nonInvertingRadio" << int(Qt::Key_N) << "circuit_noninverting";
    QTest::newRow("Alt+I") << "invertingRadio" << int(Qt::Key_I) << "circuit_inverting";
  }

  // R1 is greyed out for the buffer but keeps its text; the drawing follows,
  // at its drawing's size.
  void amplifierType() {
    QFETCH(QString, radio);
    QFETCH(int, altKey);
    QFETCH(QString, drawing);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("r1Edit", QStringLiteral("abc"));
    m_calc->Child<QRadioButton>(radio == QLatin1String("bufferRadio") ? "invertingRadio" : "bufferRadio")->click();
    PressKey(&m_calc->Dialog(), altKey, Qt::AltModifier);
    QTRY_VERIFY(m_calc->Child<QRadioButton>(qPrintable(radio))->isChecked());  // a mnemonic clicks a moment later
    QCOMPARE(m_calc->Child<QLineEdit>("r1Edit")->isEnabled(), radio != QLatin1String("bufferRadio"));
    QCOMPARE(m_calc->Text("r1Edit"), QStringLiteral("abc"));
    QCOMPARE(m_calc->Child<QLabel>("circuitPicture")->pixmap().deviceIndependentSize().toSize(),
             QSvgRenderer(QStringLiteral(":/circuits/%1.svg").arg(drawing)).defaultSize());
  }

  void exitAsksFirst_data() {
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("confirm");
    const char* ways[] = {"Exit button", "close box", "Escape", "Enter in a field"};
    for (int way = 0; way < 4; ++way)
      for (bool confirm : {true, false})
        QTest::addRow("%s, %s", ways[way], confirm ? "OK" : "Cancel") << way << confirm;
  }

  void exitAsksFirst() {
    QFETCH(int, way);
    QFETCH(bool, confirm);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", QStringLiteral("55"));
    const auto leave = [&] {
      if (way == 0) m_calc->Click("exitButton");
      if (way == 1) m_calc->Dialog().close();
      if (way == 2 || way == 3) PressKey(&m_calc->Dialog(), way == 2 ? Qt::Key_Escape : Qt::Key_Return);
    };
    bool okIsDefault = false;
    ModalDriver driver;
    QVERIFY(driver.Run(leave, {[&](QWidget* w) {
                         auto* box = qobject_cast<QMessageBox*>(w);
                         okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
                         box->button(confirm ? QMessageBox::Ok : QMessageBox::Cancel)->click();
                       }}));
    QCOMPARE(driver.windows.front().title, QCoreApplication::applicationName());
    QCOMPARE(driver.windows.front().text, QStringLiteral("Are you certain that you want to exit?"));
    QVERIFY(okIsDefault);
    QCOMPARE(m_calc->Dialog().isVisible(), !confirm);
    // The Exit button and Enter end the program as accepted, the others as rejected.
    if (confirm) QCOMPARE(m_calc->Dialog().result(), way == 0 || way == 3 ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("55"));
  }

  void circuitFiles_data() {
    QTest::addColumn<QByteArray>("damage");  // written over the saved file before it is opened; empty: none; |: a pipe
    QTest::newRow("saved, changed, reopened: the same report") << QByteArray();
    QTest::newRow("a newer version: said, the form unchanged") << QByteArray("[tervane-circuit]\nversion=5\n");
    QTest::newRow("a pipe: said, without waiting for a writer") << QByteArray("|");
  }

  // Save Circuit by Ctrl+S, Open Circuit from the context menu.
  void circuitFiles() {
    QFETCH(QByteArray, damage);
    QVERIFY(m_calc->Open(QByteArray("DemoB 1n 1p 5\nDemoA 2.9n 1.6p 9\n")));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("stage.tervane"));
    const auto typePath = [&](QWidget* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      PressKey(dialog, Qt::Key_Return);
    };
    const auto report = [&] {
      ModalDriver driver;
      driver.Run([&] { m_calc->Click("calculateButton"); }, {[](QWidget* w) { PressKey(w, Qt::Key_Escape); }});
      return driver.windows.isEmpty() ? QString() : driver.windows.front().text;
    };
    auto* partList = m_calc->Child<QComboBox>("partList");
    const auto choosePart = [&](int key) {
      partList->setFocus();
      PressKey(&m_calc->Dialog(), key);
    };

    choosePart(Qt::Key_Down);  // DemoB, after DemoA
    m_calc->Click("invertingRadio");
    m_calc->Type("noiseVoltageEdit", QStringLiteral("2n"));  // over the part's
    ModalDriver saving;
    QVERIFY(saving.Run([&] { PressKey(&m_calc->Dialog(), Qt::Key_S, Qt::ControlModifier); }, {typePath}));
    const QString saved = report();

    m_calc->Click("bufferRadio");
    m_calc->Type("temperatureEdit", QStringLiteral("0"));
    choosePart(Qt::Key_Up);  // DemoA
    QFile file(path);
    if (damage == "|")
      QVERIFY(file.remove() && mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (!damage.isEmpty())
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damage) == damage.size());
    const QStringList before = m_calc->Texts();
    auto* label = m_calc->Child<QLabel>("temperatureLabel");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
    std::vector<ModalDriver::Handler> handlers{
        [](QWidget* menu) { ChooseMenuItem(menu, QStringLiteral("&Open Circuit...")); }, typePath};
    if (!damage.isEmpty()) handlers.push_back([](QWidget* box) { PressKey(box, Qt::Key_Return); });
    ModalDriver opening;
    QVERIFY(opening.Run([&] { QApplication::sendEvent(label, &rightClick); }, handlers));

    if (damage.isEmpty()) {
      QCOMPARE(partList->currentText(), QStringLiteral("DemoB"));
      QVERIFY(m_calc->Child("r1Edit")->isEnabled());
      QCOMPARE(report(), saved);
    } else {
      QVERIFY2(opening.windows.back().text.contains(path), qPrintable(opening.windows.back().text));
      QCOMPARE(m_calc->Texts(), before);
      QCOMPARE(partList->currentText(), QStringLiteral("DemoA"));
    }
  }

  // The chain's window: each command changes its list and the stage the form
  // edits (its temperature names it here), an edit is kept when another
  // stage is chosen, and "Calculate Chain" shows the core's chain of them.
  void chainWindow() {
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", QStringLiteral("1"));
    struct Step {
      const char* command;  // a button, or "0" for choosing the first stage
      const char* typed;    // into the form afterwards, if anything
      QStringList stages;   // each one's temperature
      int current;
    };
    const Step steps[] = {{"chainButton", "", {"1"}, 0},
                          {"addStageButton", "2", {"1", "2"}, 1},
                          {"0", "", {"1", "2"}, 0},
                          {"duplicateStageButton", "3", {"1", "3", "2"}, 1},
                          {"moveDownButton", "", {"1", "2", "3"}, 2},
                          {"moveUpButton", "", {"1", "3", "2"}, 1},
                          {"removeStageButton", "", {"1", "2"}, 1}};
    QWidget* chain = nullptr;
    QListWidget* list = nullptr;
    std::vector<ChainStageForm> stages;
    for (const Step& step : steps) {
      if (!chain) {
        m_calc->Click(step.command);
        chain = m_calc->Child("ChainDialog");
        QVERIFY(chain && chain->isVisible());
        list = chain->findChild<QListWidget*>(QStringLiteral("stageList"));
      } else if (*step.command == '0') {
        list->setCurrentRow(0);
      } else {
        ClickButton(chain, step.command);
      }
      if (*step.typed) m_calc->Type("temperatureEdit", QString::fromLatin1(step.typed));
      QVERIFY(m_calc->Dialog().windowTitle().endsWith(
          QStringLiteral(" \u2014 Stage %1 of %2").arg(step.current + 1).arg(step.stages.size())));
      stages.clear();
      for (int row : {0, 1, 2, step.current})  // each stage in turn, then back
        if (row < step.stages.size()) {
          list->setCurrentRow(row);
          QCOMPARE(m_calc->Text("temperatureEdit"), step.stages[row]);
          if (stages.size() < static_cast<std::size_t>(step.stages.size())) stages.push_back({FormOf(*m_calc), {}});
        }
      QCOMPARE(list->count(), step.stages.size());
    }

    m_calc->Type("temperatureEdit", QStringLiteral("4"));  // calculated as typed
    stages.back() = {FormOf(*m_calc), {}};
    const ChainCalculation expected = ComputeChain(stages);
    QList<QList<QStringList>> shown;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { ClickButton(chain, "calculateChainButton"); }, {[&](QWidget* results) {
                         for (const char* name : {"breakdownTable", "figuresTable"})
                           shown << TableRows(results->findChild<QTableView*>(QString::fromLatin1(name)));
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QCOMPARE(driver.windows.front().text,
             ui::FromCp1252(BuildChainReport(expected)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const Weighting none = Weighting::kNone;
    const TextTable breakdown = ChainBreakdownTable(*BreakdownChain(expected.chain), none);
    const TextTable figures = FigureTable(CausesOf(expected), *FiguresOf(expected), none);
    QCOMPARE(shown, (QList<QList<QStringList>>{ui::QtRows(breakdown), ui::QtRows(figures)}));
  }

  void chainFilesOpenAsChains_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("stages");  // in the chain's window; 0: it stays shut
    QTest::newRow("the example chain") << QStringLiteral(TERVANE_EXAMPLES "/phono-preamp.tervane") << 2;
    QTest::newRow("a single stage") << QString() << 0;
  }

  // As `tervane FILE` and "Open Circuit..." open them.
  void chainFilesOpenAsChains() {
    QFETCH(QString, file);
    QFETCH(int, stages);
    QVERIFY(m_calc->Open(std::nullopt));
    QTemporaryDir folder;
    if (file.isEmpty()) {
      file = folder.filePath(QStringLiteral("stage.tervane"));
      QFile stage(file);
      const std::string text = WriteCircuitFile(FormOf(*m_calc), std::nullopt);
      QVERIFY(stage.open(QIODevice::WriteOnly) && stage.write(text.data(), qint64(text.size())) > 0);
    }
    QVERIFY(m_calc->Dialog().OpenCircuit(file));
    auto* chain = m_calc->Child("ChainDialog");
    QCOMPARE(chain && chain->isVisible(), stages > 0);
    if (stages) QCOMPARE(chain->findChild<QListWidget*>()->count(), stages);
  }

  void helpTargets_data() {
    QTest::addColumn<QString>("item");  // of the Help menu, or the context menu's, or F1
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("about");      // the link is the About box's
    QTest::addColumn<bool>("refused");    // no program opens it
    QTest::addColumn<bool>("installed");  // the help page's copy is in the folder the program starts in

    QTest::newRow("Help") << "Help" << ui::kHelpPageLink << false << false << true;
    QTest::newRow("Website") << "Website" << ui::kWebsiteLink << false << false << false;
    QTest::newRow("Bug Report") << "Bug Report" << ui::kBugReportLink << false << false << false;
    QTest::newRow("Contact") << "Contact" << ui::kContactLink << false << false << false;
    QTest::newRow("About") << "About" << ui::kWebsiteLink << true << false << false;
    QTest::newRow("context menu") << "&About Tervane..." << ui::kWebsiteLink << true << false << false;
    QTest::newRow("F1") << "F1" << ui::kHelpPageLink << false << false << false;
    QTest::newRow("Help, nothing opens it: the address shown") << "Help" << ui::kHelpPageLink << false << true << false;
    QTest::newRow("Help, nothing opens it: the installed copy shown")
        << "Help" << ui::kHelpPageLink << false << true << true;
  }

  // The About box stays open after its link. Where no program opens the
  // help page, its installed copy is shown instead, if there is one.
  void helpTargets() {
    QFETCH(QString, item);
    QFETCH(QString, link);
    QFETCH(bool, about);
    QFETCH(bool, refused);
    QFETCH(bool, installed);

    QTemporaryDir start;  // the folder the program starts in
    QFile page(start.filePath(QString::fromLatin1(ui::kHelpPageFile)));
    QVERIFY(!installed ||
            (page.open(QIODevice::WriteOnly) && page.write("<p>The installed page</p>") > 0 && page.flush()));
    const QString home = QDir::currentPath();
    QDir::setCurrent(start.path());
    const auto goHome = qScopeGuard([&] { QDir::setCurrent(home); });
    QString shown;
    QVERIFY(m_calc->Open(std::nullopt));
    const QStringList before = m_calc->Texts();
    bool openAfterLink = false;
    std::vector<ModalDriver::Handler> handlers;
    if (item != QLatin1String("F1")) handlers.push_back([&](QWidget* menu) { ChooseMenuItem(menu, item); });
    if (about)
      handlers.push_back([&](QWidget* box) {
        ClickButton(box, "websiteButton");
        openAfterLink = box->isVisible();
        ClickButton(box, "okButton");
      });
    if (refused) {
      m_links.reset();  // the platform's own, which opens nothing offscreen
      handlers.push_back([&](QWidget* window) {
        if (auto* page = window->findChild<QTextBrowser*>()) shown = page->toPlainText();
        PressKey(window, Qt::Key_Escape);
      });
    }
    auto* label = m_calc->Child<QLabel>("temperatureLabel");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
    ModalDriver driver;
    QVERIFY(driver.Run(
        [&] {
          if (item == QLatin1String("F1"))
            PressKey(&m_calc->Dialog(), Qt::Key_F1);
          else if (item.startsWith(QLatin1Char('&')))
            QApplication::sendEvent(label, &rightClick);
          else
            m_calc->Click("helpButton");
        },
        handlers));
    if (refused && installed)
      QCOMPARE(shown, QStringLiteral("The installed page"));
    else if (refused)
      QVERIFY(driver.windows.back().text.contains(link));
    else
      QCOMPARE(m_links->opened, QList<QUrl>{QUrl(link)});
    if (about) QCOMPARE(driver.windows.back().title, QStringLiteral("About Tervane"));
    QCOMPARE(openAfterLink, about);
    QCOMPARE(m_calc->Texts(), before);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::MainWindowTest)
#include "main_window_test.moc"
