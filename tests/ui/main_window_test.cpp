// The main window's wiring: what it shows at start, which control opens
// which window, the amplifier type, the exit question from every way out and
// the Help menu's targets and the circuit files, and every window's fit on a
// small screen. Expected values come from the core.
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyleOptionButton>
#include <QSvgRenderer>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTextDocument>

#include <sys/stat.h>

#include <map>

#include "form/built_circuit.h"
#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "form/field_reading.h"
#include "form/form_calculation.h"
#include "form/measured_text.h"
#include "form/part_selection.h"
#include "form/write_back.h"
#include "ui/file_save.h"
#include "ui/links.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

using namespace Qt::StringLiterals;

// The main window's context menu, as a right click on one of its labels
// opens it.
void OpenContextMenu(const CalculatorUnderTest& calc) {
  auto* label = calc.Child<QLabel>("temperatureLabel");
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(1, 1), label->mapToGlobal(QPoint(1, 1)));
  QApplication::sendEvent(label, &rightClick);
}

// Whether the help page names `name` as the whole text of an element (a
// heading, a term, a table cell, a control in bold): a name as short as
// the weighting "A" would be found in any text.
bool HelpPageNames(const QString& name) {
  static const QString page = [] {
    QFile file(QStringLiteral(TERVANE_HELP_PAGE));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }();
  return page.contains(QLatin1Char('>') + name.toHtmlEscaped() + QLatin1Char('<'));
}

// A message box's standard button by its name ("Save"), or a button of its
// own by object name; Escape where it has neither.
void Answer(QWidget* window, const QString& button) {
  const std::map<QString, QMessageBox::StandardButton> standard{
      {"Save", QMessageBox::Save}, {"Discard", QMessageBox::Discard}, {"Cancel", QMessageBox::Cancel}};
  auto* box = qobject_cast<QMessageBox*>(window);
  auto* chosen =
      box && standard.contains(button) ? box->button(standard.at(button)) : window->findChild<QAbstractButton*>(button);
  chosen ? chosen->click() : PressKey(window, Qt::Key_Escape);
}

// Inside each of its parents up to the window, or up to a scroll area that
// brings it into view, and its text, or its rows, whole.
bool Whole(const QWidget* w) {
  for (const QWidget* child = w; !child->isWindow(); child = child->parentWidget()) {
    const QWidget* parent = child->parentWidget();
    const auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
    if (area && area->viewport() == parent) break;
    if (!parent->rect().contains(child->geometry())) return false;
  }
  const auto within = [w](QSize size) { return size.width() <= w->width() && size.height() <= w->height(); };
  if (const auto* label = qobject_cast<const QLabel*>(w))
    return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height() : within(label->sizeHint());
  if (const auto* button = qobject_cast<const QPushButton*>(w)) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() <= room.width();
  }
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
    return within({w->sizeHint().width(), w->fontMetrics().height()});
  if (qobject_cast<const QTabBar*>(w)) return within(w->sizeHint());
  if (const auto* view = qobject_cast<const QAbstractScrollArea*>(w))  // one as tall as its rows shows every one
    return view->sizeAdjustPolicy() != QAbstractScrollArea::AdjustToContents ||
           view->verticalScrollBar()->maximum() == 0;
  if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QLineEdit*>(w)) return within(w->minimumSizeHint());
  return true;
}

// How many things of `window` do not fit, each told: the window off its
// screen's free area or in a font other than `family`, a visible control
// cut, on any of its tabs.
int Misfits(QWidget* window, const QString& family) {
  QStringList misfits;
  const auto text = [](QSize size) { return u"%1 x %2"_s.arg(size.width()).arg(size.height()); };
  const QRect frame = window->frameGeometry();
  if (!window->screen()->availableGeometry().contains(frame))
    misfits << u"off the screen at %1, %2, "_s.arg(frame.x()).arg(frame.y()) + text(frame.size());
  if (const QString font = QFontInfo(window->font()).family(); font != family) misfits << u"in "_s + font;
  QSet<const QWidget*> cut;
  const auto look = [&] {
    for (const QWidget* w : window->findChildren<QWidget*>())
      if (w->isVisibleTo(window) && !Whole(w) && !cut.contains(w)) {
        cut << w;
        misfits << w->objectName() + u" cut, "_s + text(w->size()) + u" for "_s + text(w->sizeHint());
      }
  };
  look();
  for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
    for (int i = 0; i < tabs->count(); ++i) tabs->setCurrentIndex(i), QApplication::processEvents(), look();
  for (const QString& misfit : misfits) qWarning("%s: %s", qPrintable(window->windowTitle()), qPrintable(misfit));
  return static_cast<int>(misfits.size());
}

}  // namespace

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
    QTest::newRow("three parts, a line skipped") << QByteArray("DemoB 1n 1p 5\nDemoA 2.9n 1.6p 9\nShort 1n\n");
  }

  // The list's first part is selected at start, a key in the list selects
  // the next. Under the buttons the window says why the list is empty or
  // short, and, as it is typed, what a field will be read as (in its tip too).
  void opensOnDefaultsAndFirstPart() {
    QFETCH(QByteArray, parts);
    QVERIFY(m_calc->Open(parts.isEmpty() ? std::nullopt : std::optional(parts)));
    CalculatorForm form;
    ApplyFormDefaults(form);
    const PartLibrary library = LibraryOf(parts);
    const PartList list = library.m_partTable.List();
    for (const std::string_view name : list) {
      if (name != list.front()) PressKey(&m_calc->Dialog(), Qt::Key_Down);
      SelectPart(form, library.m_partTable, name);
      QCOMPARE(m_calc->Child<QComboBox>("partList")->currentText(), ui::FromCp1252(name));
      QCOMPARE(m_calc->Texts(), TextsOf(form));
      m_calc->Child<QComboBox>("partList")->setFocus();
    }
    QCOMPARE(FormOf(*m_calc).m_nAmpType, form.m_nAmpType);
    QCOMPARE(FormOf(*m_calc).m_bApplyCorner, form.m_bApplyCorner);
    if (list.empty()) QCOMPARE(QApplication::focusWidget()->objectName(), u"temperatureEdit"_s);

    auto* notes = m_calc->Child<QLabel>("readingNotes");
    const QString partNote = notes->text();
    if (list.empty())
      QVERIFY(partNote.startsWith(u"No part library: "_s) && !partNote.contains(u'\n'));
    else
      QCOMPARE(partNote, u"tervane.txt: "_s + QString::fromStdString(PartFileNote(library)));
    QCOMPARE(m_calc->Child("partFileMark")->toolTip(), Qt::convertFromPlainText(partNote));
    m_calc->Type("r2Edit", u"4k7"_s);
    const QString r2Note = ui::FromCp1252(FieldReadingNotes(FormOf(*m_calc))[2]);
    QCOMPARE(notes->text(), partNote + u"\n"_s + r2Note);
    QCOMPARE(m_calc->Child("r2Edit")->toolTip(), Qt::convertFromPlainText(r2Note));
    QVERIFY(m_calc->Child("r1Edit")->toolTip().isEmpty());
    m_calc->Type("r2Edit", u"4.7k"_s);
    QCOMPARE(notes->text(), partNote);
  }

  // Every window opens within the screen's free area, can be resized (but
  // a message box) and shows every control whole, with every field of
  // the circuit as built given: ctest runs this on a screen of 1280 x 720 at
  // 1x and 2x, in DejaVu Sans and in Noto Sans.
  void windowsFit() {
    if (TestFont().isEmpty()) QSKIP("measured in the font TERVANE_TEST_FONT names");
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("sourceResistorEdit", u"470m"_s);  // a resistor for Rs excess noise
    int misfits = 0;
    QStringList fixed;
    const auto check = [&](QWidget* w, bool resizable = true) {
      misfits += Misfits(w, TestFont());
      if (resizable && w->minimumSize() == w->maximumSize()) fixed << w->windowTitle();
    };
    const auto checkAndClose = [&](QWidget* w) {
      check(w, !qobject_cast<QMessageBox*>(w));
      PressKey(w, Qt::Key_Escape);
    };
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("builtCircuitButton"); }, {[&](QWidget* w) {
                         check(w);
                         for (const FormTextField& f : kBuiltCircuitFields)
                           w->findChild<QLineEdit*>(ui::FieldEditName(f.key))->setText(u"470m"_s);
                         PressKey(w, Qt::Key_Return);
                       }}));
    check(&m_calc->Dialog());
    QVERIFY(driver.Run([&] { m_calc->Click("calcCornerButton"); }, {checkAndClose}));
    // The results with a measurement, its residual and band totals shown,
    // and the windows that add and fit it, the fit with a second one.
    QTemporaryDir folder;
    const QString measured = folder.filePath(u"measured.csv"_s);
    QVERIFY(WriteFile(measured, "Frequency,Noise\n10,4e-8\n100,3e-8\n1000,2e-8\n10000,2e-8\n100000,2e-8\n"));
    QVERIFY(driver.Run([&] { m_calc->Click("calculateButton"); },
                       {[&](QWidget* w) {
                          Find<QTabWidget>(w, "viewTabs")->setCurrentWidget(Find(w, "spectrumTab"));
                          ClickButton(w, "addMeasurementButton");
                          Find<QAbstractButton>(w, "residualCheck")->setChecked(true);
                          check(w);
                          ClickButton(w, "fitButton");
                          checkAndClose(w);
                        },
                        [&](QWidget* dialog) { ChooseFile(dialog, measured); },
                        [&](QWidget* w) {
                          check(w);
                          PressKey(w, Qt::Key_Return);
                        },
                        [&](QWidget* w) {
                          ClickButton(w, "addFitMeasurementButton");
                          ClickButton(w, "runFitButton");
                          checkAndClose(w);
                        },
                        [&](QWidget* dialog) { ChooseFile(dialog, measured); },
                        [&](QWidget* w) {  // asking the source resistor too
                          Find<QLineEdit>(w, "measurementRsEdit")->setText(u"10k"_s);
                          check(w);
                          PressKey(w, Qt::Key_Return);
                        }}));
    QVERIFY(driver.Run([&] { m_calc->Click("helpButton"); },
                       {[](QWidget* menu) { ChooseMenuItem(menu, u"About"_s); }, checkAndClose}));
    QVERIFY(driver.Run([&] { ui::SaveFile(&m_calc->Dialog(), u"/nowhere/"_s + QString(200, u'x'), QByteArray()); },
                       {checkAndClose}));
    m_calc->Click("chainButton");
    check(m_calc->Child("ChainDialog"));
    QVERIFY(driver.Run([&] { ClickButton(m_calc->Child("ChainDialog"), "calculateChainButton"); },
                       {[&](QWidget* w) {
                          Find<QTabWidget>(w, "viewTabs")->setCurrentWidget(Find(w, "spectrumTab"));
                          ClickButton(w, "addMeasurementButton");
                          Find<QAbstractButton>(w, "residualCheck")->setChecked(true);
                          checkAndClose(w);
                        },
                        [&](QWidget* dialog) { ChooseFile(dialog, measured); },
                        [](QWidget* w) { PressKey(w, Qt::Key_Return); }}));
    QCOMPARE(misfits, 0);
    QCOMPARE(fixed, QStringList());
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
    const QString order =
        u"builtCircuitButton partList nonInvertingRadio chainButton applyCornerCheck sourceResistorEdit r1Edit r2Edit "
        u"temperatureEdit lowerFreqEdit upperFreqEdit refVoltageEdit noiseVoltageEdit noiseCurrentEdit cornerFreqEdit "
        u"carryEdit exitButton helpButton calcCornerButton riaaButton calcWithCarryButton calculateButton"_s;
    QCOMPARE(tabs(22), order.split(u' '));
    m_calc->Child("nonInvertingRadio")->setFocus();
    PressKey(&m_calc->Dialog(), Qt::Key_Down);
    QVERIFY(m_calc->Child<QRadioButton>("invertingRadio")->isChecked());
    QCOMPARE(tabs(2), QStringList({"chainButton", "applyCornerCheck"}));
    QCOMPARE(tabs(3, Qt::ShiftModifier), QStringList({"chainButton", "invertingRadio", "partList"}));
  }

  // "Source & Bandwidth...": its fields named from the form's table, the
  // drawing redrawn and each reading said as they are typed; OK refused,
  // with the command line's sentence, until the circuit is one a stage can
  // have; Cancel leaves the form alone. Rb from "Cancel Bias Current", a
  // noise index from a resistor's kind. The line under the buttons says what
  // OK took; the results show its rows, the negative share's note and the
  // curves; a load on the inverting stage is said in the dialog and above
  // the refused report.
  void sourceAndBandwidth() {
    QVERIFY(m_calc->Open(QByteArray("DemoG 1n 1p 5 8M 170\n")));
    const auto line = [&] { return m_calc->Child<QLabel>("builtCircuitLine")->text(); };
    QCOMPARE(line(), u"Circuit as built: GBW = 8MHz, fci = 170Hz"_s);
    QStringList captions, names, seen;  // seen: notes, answers to OK and texts, in turn
    bool redrawn = false;
    const auto type = [](QWidget* w, const char* field, const QString& text) {
      QTest::keyClicks(Find(w, field), text);
    };
    const auto ok = [&seen](QWidget* w) {
      PressKey(w, Qt::Key_Return);
      seen << Find<QLabel>(w, "refusalNote")->text() << (w->isVisible() ? "refused" : "closed");
    };
    ModalDriver driver;
    const auto open = [&] { m_calc->Click("builtCircuitButton"); };
    QVERIFY(driver.Run(open, {[&](QWidget* w) {
                         for (const FormTextField& f : kBuiltCircuitFields) {
                           auto* edit = w->findChild<QLineEdit*>(ui::FieldEditName(f.key));
                           for (const QLabel* label : w->findChildren<QLabel*>())
                             if (label->buddy() == edit) captions << label->text();
                           names << edit->accessibleName();
                         }
                         auto* picture = Find<QLabel>(w, "circuitPicture");
                         const qint64 before = picture->pixmap().cacheKey();
                         type(w, "sourceInductanceEdit", u"0.5"_s);
                         redrawn = !picture->pixmap().isNull() && picture->pixmap().cacheKey() != before;
                         PressKey(w, Qt::Key_Escape);
                       }}));
    QVERIFY(redrawn);
    for (const FormTextField& f : kBuiltCircuitFields)
      QVERIFY(captions.contains(ui::FieldCaption(f)) && names.contains(ui::FieldCaption(f)));
    QVERIFY(driver.Run(open, {[&](QWidget* w) {
                         type(w, "loadResistorEdit", u"47 k"_s);
                         seen << Find<QLabel>(w, "readingNotes")->text() << Find(w, "loadResistorEdit")->toolTip();
                         type(w, "biasCapacitorEdit", u"1u"_s);
                         ok(w);
                         type(w, "biasResistorEdit", u"1k"_s);
                         ok(w);
                       }}));
    CalculatorForm typed;
    typed.m_strLoadResistor = "47 k";
    const QString note = ui::FromCp1252(FieldReadingNotes(typed, kBuiltCircuitFields)[1]);
    QCOMPARE(seen, QStringList({note, Qt::convertFromPlainText(note), ui::FromCp1252(kBiasCapacitorAloneNote),
                                "refused", "", "closed"}));
    QCOMPARE(line(), u"Circuit as built: Rload = 47ohm, GBW = 8MHz, fci = 170Hz, Rb = 1kohm, Cb = 1µF"_s);

    m_calc->Click("invertingRadio");
    m_calc->Type("r1Edit", u"10k"_s);
    m_calc->Type("r2Edit", u"100k"_s);
    const QString load = ui::FromCp1252(kLoadOnInvertingNote);
    QString above;
    QVERIFY(m_calc->Work("calculateButton", [&](QWidget* w) { above = Find<QLabel>(w, "builtCircuitLine")->text(); }));
    QVERIFY(above.endsWith(u'\n' + load));
    seen.clear();
    QVERIFY(driver.Run(open, {[&](QWidget* w) {
                         seen << Find<QLabel>(w, "refusalNote")->text();
                         Find<QLineEdit>(w, "loadResistorEdit")->selectAll();
                         QTest::keyClick(Find(w, "loadResistorEdit"), Qt::Key_Delete);
                         QTest::mouseClick(Find(w, "cancelBiasButton"), Qt::LeftButton);
                         for (int i = 0; i < 3; ++i) QTest::keyClick(Find(w, "r1KindCombo"), Qt::Key_Down);
                         seen << Find<QLineEdit>(w, "biasResistorEdit")->text()
                              << Find<QLineEdit>(w, "noiseIndexR1Edit")->text();
                         ok(w);
                         type(w, "dcVoltsR1Edit", u"10"_s);
                         type(w, "inCorrelationEdit", u"0.86"_s);
                         ok(w);
                       }}));
    const auto& r1 = kExcessNoiseFields[ExcessIndex(ExcessResistor::kR1)];
    const QString half =
        ui::FromCp1252(HalfExcessNoiseText({&kBuiltCircuitFields[r1.noiseIndex], &kBuiltCircuitFields[r1.dcVolts]}));
    QCOMPARE(seen, QStringList({load, "9.091k", ui::FromCp1252(kResistorKinds[2].noiseIndex),  // (0 + 10k) || 100k
                                half, "refused", "", "closed"}));
    QCOMPARE(line(),
             u"Circuit as built: GBW = 8MHz, fci = 170Hz, Rb = 9.091kohm, Cb = 1µF, c = 860m, NI(R1) = -15dB, "
             u"Vdc(R1) = 10V"_s);

    QStringList rows, curves;
    QString negative;
    QVERIFY(m_calc->Work("calculateButton", [&](QWidget* w) {
      for (const QStringList& row : TableRows(Find<QTableView>(w, "breakdownTable"))) rows << row.front();
      negative = Find<QLabel>(w, "negativeShareLabel")->text();
      for (const ui::PlotCurve& curve : static_cast<ui::CLogLogPlotView*>(Find(w, "spectrumPlot"))->Plot().curves)
        curves << curve.name;
    }));
    for (const QString& source : {u"Rb thermal noise"_s, u"Op amp current noise through Rb"_s, u"R1 excess noise"_s})
      QVERIFY(rows.contains(source) && curves.contains(source));
    QCOMPARE(rows.last(), u"Op amp current noise correlation"_s);  // negative, last
    QVERIFY(negative.startsWith(rows.last() + u" takes power away"_s));
    QVERIFY(curves.contains(rows.last() + u" (magnitude)"_s));

    // The transimpedance amplifier: what it does not read greyed, Cf for
    // Q = 0.707 from Rf 100k, Cd 10p and the part's GBW of 8M, sqrt(2 g Rf C
    // - 1) / (g Rf) with g = 2 pi GBW.
    m_calc->Click("transimpedanceRadio");
    QVERIFY(driver.Run(open, {[&](QWidget* w) {
                         seen = {QString::number(Find(w, "loadResistorEdit")->isEnabled() ||
                                                 Find(w, "r1KindCombo")->isEnabled())};
                         type(w, "diodeCapacitanceEdit", u"10p"_s);
                         QTest::mouseClick(Find(w, "cfForQButton"), Qt::LeftButton);
                         seen << Find<QLineEdit>(w, "feedbackCapacitorEdit")->text();
                         PressKey(w, Qt::Key_Escape);
                       }}));
    QCOMPARE(seen, QStringList({u"0"_s, u"1.985p"_s}));
  }

  void controlsOpenTheirWindows_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("title");  // of the window it opens; null: none

    // Enter on each focused button; a click on each is made elsewhere, where its window is worked.
    QTest::newRow("Calculate") << "calculateButton"
                               << "Noise Results";
    QTest::newRow("Calc with Carry") << "calcWithCarryButton"
                                     << "Noise Results";
    QTest::newRow("Calc Corner") << "calcCornerButton"
                                 << "Calculate 1/f Noise Corner";
    QTest::newRow("Help") << "helpButton"
                          << "";
    QTest::newRow("Source & Bandwidth") << "builtCircuitButton"
                                        << "Source & Bandwidth";
    QTest::newRow("Chain, left open") << "chainButton"
                                      << "Chain of Stages";
    QTest::newRow("RIAA NBW") << "riaaButton" << QString();
  }

  // Each modal one closed with Escape; the fields then hold what the core
  // makes of them. The help page names every title, tab and weighting shown.
  void controlsOpenTheirWindows() {
    QFETCH(QString, control);
    QFETCH(QString, title);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", u"25C"_s);
    CalculatorForm form = FormOf(*m_calc);
    QStringList names{ShownTitle(&m_calc->Dialog())};
    ModalDriver driver;
    driver.serveRest = [&names](QWidget* w) {
      if (auto* tabs = Find<QTabWidget>(w, "viewTabs"))
        for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i).remove(u'&');
      if (auto* weightings = Find<QComboBox>(w, "weightingCombo"))
        for (int i = 0; i < weightings->count(); ++i) names << weightings->itemText(i);
      PressKey(w, Qt::Key_Escape);
    };
    m_calc->Child(qPrintable(control))->setFocus();
    QVERIFY(driver.Run([&] { PressKey(&m_calc->Dialog(), Qt::Key_Return); }));

    QStringList titles;  // modal, or left open beside the main window
    for (const ModalDriver::Window& window : driver.windows) titles << window.title;
    for (const QDialog* window : m_calc->Dialog().findChildren<QDialog*>())
      if (window->isVisible()) titles << ShownTitle(window);
    QCOMPARE(titles, title.isNull() ? QStringList() : QStringList{title});
    for (const QString& name : names + titles)
      QVERIFY2(name.isEmpty() || HelpPageNames(name), qPrintable(name + u": not in the help page"_s));
    if (control == u"riaaButton"_s) ApplyRiaaBand(form);
    if (title == u"Noise Results"_s) {
      form.m_bWithCarry = control == u"calcWithCarryButton"_s;
      WriteBackResults(form, ComputeNoise(form));
    }
    QCOMPARE(m_calc->Texts(), TextsOf(form));
    QVERIFY(m_calc->Dialog().isVisible());
  }

  void amplifierType_data() {  // by the mnemonics, which click as the mouse does
    QTest::addColumn<QString>("radio");
    QTest::addColumn<int>("altKey");
    QTest::newRow("Alt+B") << "bufferRadio" << int(Qt::Key_B);
    QTest::newRow("Alt+N") << "nonInvertingRadio" << int(Qt::Key_N);
    QTest::newRow("Alt+I") << "invertingRadio" << int(Qt::Key_I);
    QTest::newRow("Alt+T") << "transimpedanceRadio" << int(Qt::Key_T);
  }

  // R1 is greyed out for the buffer and the transimpedance amplifier, which
  // reads no Rs and no 0 dB reference either, but keeps its text; the
  // drawing follows, at its drawing's size.
  void amplifierType() {
    QFETCH(QString, radio);
    QFETCH(int, altKey);
    const QString drawing = u":/circuits/circuit_"_s + radio.chopped(5).toLower() + u".svg"_s;

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("r1Edit", u"abc"_s);
    m_calc->Child<QRadioButton>(radio == u"bufferRadio"_s ? "invertingRadio" : "bufferRadio")->click();
    PressKey(&m_calc->Dialog(), altKey, Qt::AltModifier);
    QTRY_VERIFY(m_calc->Child<QRadioButton>(qPrintable(radio))->isChecked());  // a mnemonic clicks a moment later
    const bool current = radio == u"transimpedanceRadio"_s;
    QCOMPARE(m_calc->Child<QLineEdit>("r1Edit")->isEnabled(), radio != u"bufferRadio"_s && !current);
    QCOMPARE(m_calc->Child<QLineEdit>("sourceResistorEdit")->isEnabled(), !current);
    QCOMPARE(m_calc->Child<QLineEdit>("refVoltageEdit")->isEnabled(), !current);
    QCOMPARE(m_calc->Text("r1Edit"), u"abc"_s);
    QCOMPARE(m_calc->Child<QLabel>("circuitPicture")->pixmap().deviceIndependentSize().toSize(),
             QSvgRenderer(drawing).defaultSize());
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
    m_calc->Type("temperatureEdit", u"55"_s);
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
    QCOMPARE(driver.windows.front().text, u"Are you certain that you want to exit?"_s);
    QVERIFY(okIsDefault);
    QCOMPARE(m_calc->Dialog().isVisible(), !confirm);
    // The Exit button and Enter end the program as accepted, the others as rejected.
    if (confirm) QCOMPARE(m_calc->Dialog().result(), way == 0 || way == 3 ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(m_calc->Text("temperatureEdit"), u"55"_s);
  }

  void circuitFiles_data() {
    QTest::addColumn<QByteArray>("over");  // written over the saved file before it is opened; |: a pipe
    QTest::newRow("saved, changed, reopened: the same report") << QByteArray();
    QTest::newRow("a newer version: said, the form unchanged") << QByteArray("[tervane-circuit]\nversion=7\n");
    QTest::newRow("a pipe: said, without waiting for a writer") << QByteArray("|");
    QFile chain(QStringLiteral(TERVANE_EXAMPLES "/phono-preamp.tervane"));
    QTest::newRow("a chain: opened as one") << (chain.open(QIODevice::ReadOnly) ? chain.readAll() : QByteArray("?"));
  }

  // Save Circuit by Ctrl+S, Open Circuit from the context menu.
  void circuitFiles() {
    QFETCH(QByteArray, over);
    QVERIFY(m_calc->Open(QByteArray("DemoB 1n 1p 5\nDemoA 2.9n 1.6p 9\n")));
    QTemporaryDir folder;
    const QString path = folder.filePath(u"stage.tervane"_s);
    const auto choose = [&](QWidget* dialog) { ChooseFile(dialog, path); };
    const auto report = [&] {
      QString text;
      m_calc->Work("calculateButton",
                   [&](QWidget* w) { text = Find<QPlainTextEdit>(w, "resultsEdit")->toPlainText(); });
      return text;
    };
    auto* partList = m_calc->Child<QComboBox>("partList");
    const auto choosePart = [&](int key) {
      partList->setFocus();
      PressKey(&m_calc->Dialog(), key);
    };

    choosePart(Qt::Key_Down);  // DemoB, after DemoA
    m_calc->Click("invertingRadio");
    m_calc->Type("noiseVoltageEdit", u"2n"_s);  // over the part's
    ModalDriver saving;
    QVERIFY(saving.Run([&] { PressKey(&m_calc->Dialog(), Qt::Key_S, Qt::ControlModifier); }, {choose}));
    const QString saved = report();

    m_calc->Click("bufferRadio");
    m_calc->Type("temperatureEdit", u"0"_s);
    choosePart(Qt::Key_Up);  // DemoA
    if (over == "|")
      QVERIFY(QFile::remove(path) && mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (!over.isEmpty())
      QVERIFY(WriteFile(path, over));
    const bool refused = !over.isEmpty() && !over.contains("[stage]");
    const QStringList before = m_calc->Texts();
    std::vector<ModalDriver::Handler> handlers{[](QWidget* menu) { ChooseMenuItem(menu, u"&Open Circuit..."_s); },
                                               choose};
    if (refused) handlers.push_back([](QWidget* box) { PressKey(box, Qt::Key_Return); });
    ModalDriver opening;
    QVERIFY(opening.Run([&] { OpenContextMenu(*m_calc); }, handlers));

    auto* chain = m_calc->Child("ChainDialog");
    QCOMPARE(chain && chain->isVisible(), over.contains("[stage]"));
    if (chain && chain->isVisible()) {
      QCOMPARE(Find<QListWidget>(chain, "stageList")->count(), 2);
    } else if (!refused) {
      QCOMPARE(partList->currentText(), u"DemoB"_s);
      QVERIFY(m_calc->Child("r1Edit")->isEnabled());
      QCOMPARE(report(), saved);
    } else {
      QVERIFY2(opening.windows.back().text.contains(path), qPrintable(opening.windows.back().text));
      QCOMPARE(m_calc->Texts(), before);
      QCOMPARE(partList->currentText(), u"DemoA"_s);
    }
  }

  // A circuit's measurement is drawn once the circuit is opened and saved
  // with it; one gone since is said, and the circuit opens without it.
  void circuitMeasurement() {
    QVERIFY(m_calc->Open(std::nullopt));
    QTemporaryDir folder;
    const QString measured = folder.filePath(u"measured-rs100.txt"_s), saved = folder.filePath(u"saved.tervane"_s);
    QVERIFY(QFile::copy(QStringLiteral(TERVANE_EXAMPLES "/measured-rs100.txt"), measured));
    QVERIFY(QFile::copy(QStringLiteral(TERVANE_EXAMPLES "/measured-stage.tervane"), folder.filePath(u"a.tervane"_s)));
    const auto curves = [&] {
      QStringList names;
      m_calc->Work("calculateButton", [&](QWidget* w) {
        for (const ui::PlotCurve& c : static_cast<ui::CLogLogPlotView*>(Find(w, "spectrumPlot"))->Plot().curves)
          names << c.name;
      });
      return names;
    };
    QVERIFY(m_calc->Dialog().OpenCircuit(folder.filePath(u"a.tervane"_s)));
    QVERIFY(curves().contains(u"Measured"_s));
    ModalDriver driver;
    QVERIFY(driver.Run([&] { OpenContextMenu(*m_calc); },
                       {[](QWidget* menu) { ChooseMenuItem(menu, u"&Save Circuit..."_s); },
                        [&](QWidget* dialog) { ChooseFile(dialog, saved); }}));
    QFile::remove(measured);
    QVERIFY(driver.Run([&] { QVERIFY(m_calc->Dialog().OpenCircuit(saved)); },
                       {[](QWidget* box) { PressKey(box, Qt::Key_Return); }}));
    QVERIFY2(driver.windows.back().text.contains(measured + u" cannot be read"_s), qPrintable(driver.windows.back().text));
    QVERIFY(!curves().contains(u"Measured"_s));
  }

  // The chain's window: each command changes its list and the stage the form
  // edits (its temperature names it here), an edit is kept when another
  // stage is chosen, and "Calculate Chain" shows the core's chain of them,
  // its report through the weighting chosen.
  void chainWindow() {
    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", u"1"_s);
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
        list = Find<QListWidget>(chain, "stageList");
      } else if (*step.command == '0') {
        list->setCurrentRow(0);
      } else {  // removing an edited stage asks first (chainWorkIsKept)
        ModalDriver discarding;
        discarding.serveRest = [](QWidget* box) { Answer(box, u"Discard"_s); };
        QVERIFY(discarding.Run([&] { ClickButton(chain, step.command); }));
      }
      if (*step.typed) m_calc->Type("temperatureEdit", QString::fromLatin1(step.typed));
      QVERIFY(m_calc->Dialog().windowTitle().endsWith(
          QStringLiteral(" \u2014 Stage %1 of %2[*]").arg(step.current + 1).arg(step.stages.size())));
      stages.clear();
      for (int row : {0, 1, 2, step.current})  // each stage in turn, then back
        if (row < step.stages.size()) {
          list->setCurrentRow(row);
          QCOMPARE(m_calc->Text("temperatureEdit"), step.stages[row]);
          if (stages.size() < static_cast<std::size_t>(step.stages.size())) stages.push_back({FormOf(*m_calc), {}});
        }
      QCOMPARE(list->count(), step.stages.size());
    }

    m_calc->Type("temperatureEdit", u"4"_s);  // calculated as typed
    stages.back() = {FormOf(*m_calc), {}};
    const ChainCalculation expected = ComputeChain(stages);
    QList<QList<QStringList>> shown;
    QString weighted;
    // A measurement added to the chain's spectrum, which has no fit, and
    // drawn again by the next calculation.
    QTemporaryDir folder;
    const QString measured = folder.filePath(u"measured.csv"_s);
    QVERIFY(WriteFile(measured, "Hz,V\n100,3e-8\n1000,2e-8\n10000,2e-8\n"));
    bool fit = true;
    QStringList legendAgain;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { ClickButton(chain, "calculateChainButton"); },
                       {[&](QWidget* results) {
                          for (const char* name : {"breakdownTable", "figuresTable"})
                            shown << TableRows(Find<QTableView>(results, name));
                          auto* weighting = Find<QComboBox>(results, "weightingCombo");
                          weighting->setCurrentIndex(static_cast<int>(WeightingIndex(Weighting::kRiaa)));
                          weighted = results->findChild<QPlainTextEdit*>()->toPlainText();
                          weighting->setCurrentIndex(0);  // the next window's too
                          Find<QTabWidget>(results, "viewTabs")->setCurrentWidget(Find(results, "spectrumTab"));
                          ClickButton(results, "addMeasurementButton");
                          shown << TableRows(Find<QTableView>(results, "bandComparisonTable"));
                          fit = results->findChild<QWidget*>(u"fitButton"_s) != nullptr;
                          PressKey(results, Qt::Key_Escape);
                        },
                        [&](QWidget* dialog) { ChooseFile(dialog, measured); },
                        [](QWidget* preview) { PressKey(preview, Qt::Key_Return); }}));
    QVERIFY(driver.Run([&] { ClickButton(chain, "calculateChainButton"); }, {[&](QWidget* results) {
                         for (const ui::PlotCurve& curve :
                              static_cast<ui::CLogLogPlotView*>(Find(results, "spectrumPlot"))->Plot().curves)
                           legendAgain << curve.name;
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QVERIFY(!fit && legendAgain.contains(u"Measured"_s));
    QVERIFY(HelpPageNames(driver.windows.front().title));
    const auto report = [&](Weighting w) {
      return ui::FromCp1252(BuildChainReport(expected, w)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    QCOMPARE(driver.windows.front().text, report(Weighting::kNone));
    QCOMPARE(weighted, report(Weighting::kRiaa));
    const Weighting none = Weighting::kNone;
    const TextTable breakdown = ChainBreakdownTable(*BreakdownChain(expected.chain), none);
    const TextTable figures = FigureTable(CausesOf(expected), *FiguresOf(expected), none);
    const MeasuredSpectrum spectrum{{{100, 3e-8}, {1000, 2e-8}, {10000, 2e-8}}};
    const TextTable band = BandComparisonTable(*CompareOverBand(spectrum, expected.chain));
    QCOMPARE(shown, (QList<QList<QStringList>>{ui::QtRows(breakdown), ui::QtRows(figures), ui::QtRows(band)}));
  }

  void chainWorkIsKept_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QStringList>("answers");  // a button of each question in turn; "file": the save's path
    QTest::addColumn<QStringList>("stages");   // the chain's then, by temperature; none: it ended
    const QStringList kept{"1", "2", "3"};
    const auto row = [](const char* way, const QStringList& answers, const QStringList& stages) {
      QTest::addRow("%s: %s", way, qPrintable(answers.join(u' '))) << QString::fromLatin1(way) << answers << stages;
    };
    row("open single", {"Cancel"}, kept);
    row("open single", {"insertStageButton"}, {"1", "2", "9", "3"});
    row("open single", {"replaceStageButton"}, {"1", "9", "3"});
    row("open single", {"openAloneButton", "Cancel"}, kept);
    row("open single", {"openAloneButton", "Save", "file"}, {});
    row("open single", {"openAloneButton", "Discard"}, {});
    row("open chain", {"Cancel"}, kept);
    row("open chain", {"Save", "file"}, {"7", "8"});
    row("open chain", {"Save", "Cancel"}, kept);  // the save's own dialog cancelled
    row("open chain", {"Discard"}, {"7", "8"});
    row("exit", {"Cancel"}, kept);
    row("exit", {"Save", "file"}, kept);  // and the program ends
    row("exit", {"Discard"}, kept);
    row("close", {"Cancel"}, kept);
    row("close", {"Save", "file"}, {});
    row("close", {"Discard"}, {});
    row("remove", {"Cancel"}, kept);
    row("remove", {"Save", "file"}, {"1", "3"});
    row("remove", {"Discard"}, {"1", "3"});
    row("Ctrl+S, then exit", {"file", "Cancel"}, kept);     // saved: the exit's own question
    row("context menu", {"Save S&tage...", "file"}, kept);  // the chosen stage alone
  }

  // A chain of three edited stages, the second chosen, met by each way it
  // could be lost: every one asks first, Cancel keeps it as it was, Save
  // writes all of it before going on, and the list names each stage as its
  // form is.
  void chainWorkIsKept() {
    QFETCH(QString, way);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, stages);
    QVERIFY(m_calc->Open(std::nullopt));
    QTemporaryDir folder;
    const QString saved = folder.filePath(u"saved.tervane"_s);
    const auto write = [&](const char* name, const std::vector<const char*>& temperatures) {
      std::vector<ChainStageForm> forms;
      for (const char* t : temperatures)
        forms.emplace_back(ChainStageForm{FormOf(*m_calc), std::nullopt}).form.m_strTemperature = t;
      forms.front().form.m_nAmpType = AMP_BUFFER;  // a name of its own in the list
      const QString path = folder.filePath(QString::fromLatin1(name));
      return WriteFile(path, QByteArray::fromStdString(WriteChainFile(forms))) ? path : QString();
    };
    const QString single = write("single.tervane", {"9"});
    const QString other = write("chain.tervane", {"7", "8"});

    m_calc->Type("temperatureEdit", u"1"_s);
    m_calc->Click("chainButton");
    auto* chain = m_calc->Child("ChainDialog");
    auto* list = chain->findChild<QListWidget*>();
    for (const char* t : {"2", "3"}) {
      ClickButton(chain, "addStageButton");
      m_calc->Type("temperatureEdit", QString::fromLatin1(t));
    }
    m_calc->Click("invertingRadio");
    QCOMPARE(list->item(2)->text(), u"Stage 3 (inverting)"_s);
    CalculatorForm riaa = FormOf(*m_calc);
    ApplyRiaaBand(riaa);
    m_calc->Click("riaaButton");  // a command that sets two fields at once
    QCOMPARE(m_calc->Texts(), TextsOf(riaa));
    list->setCurrentRow(1);
    QVERIFY(chain->isWindowModified() && m_calc->Dialog().isWindowModified());
    m_calc->Dialog().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_calc->Dialog()));

    std::vector<ModalDriver::Handler> handlers;
    for (const QString& path : {single, other})
      if (way == (path == single ? "open single" : "open chain")) answers.prepend(path);
    for (const QString& answer : std::as_const(answers))
      handlers.push_back([&, answer](QWidget* w) {
        if (qobject_cast<QMenu*>(w)) return ChooseMenuItem(w, answer);
        if (qobject_cast<QMessageBox*>(w) || answer == "Cancel") return Answer(w, answer);
        ChooseFile(w, answer == "file" ? saved : answer);
      });
    ModalDriver driver;
    QVERIFY(driver.Run(
        [&] {
          if (way == "context menu") OpenContextMenu(*m_calc);
          if (way == "open single") PressKey(&m_calc->Dialog(), Qt::Key_O, Qt::ControlModifier);
          if (way == "open chain") ClickButton(chain, "openChainButton");
          if (way == "close") chain->close();
          if (way == "remove") ClickButton(chain, "removeStageButton");
          if (way.startsWith("Ctrl+S")) PressKey(&m_calc->Dialog(), Qt::Key_S, Qt::ControlModifier);
          if (way.endsWith("exit")) m_calc->Click("exitButton");
        },
        handlers));

    QStringList shown, named, temperatures;
    for (int row = 0; chain->isVisible() && row < list->count(); ++row) shown << list->item(row)->text();
    for (int row = 0; row < shown.size(); ++row) {
      list->setCurrentRow(row);
      temperatures << m_calc->Text("temperatureEdit");
      named << ui::FromCp1252(StageName(std::size_t(row), std::nullopt, FormOf(*m_calc).m_nAmpType));
    }
    QCOMPARE(temperatures, stages);
    QCOMPARE(shown, named);
    QCOMPARE(m_calc->Dialog().isVisible(), !way.endsWith("exit") || answers.back() == "Cancel");
    if (way.startsWith("Ctrl+S")) {
      QCOMPARE(driver.windows.back().text, u"Are you certain that you want to exit?"_s);
      QVERIFY(!chain->isWindowModified() && !m_calc->Dialog().isWindowModified());
    }
    if (answers.contains("openAloneButton") && stages.isEmpty()) QCOMPARE(m_calc->Text("temperatureEdit"), u"9"_s);
    QFile file(saved);
    QCOMPARE(file.exists(), answers.contains("file"));
    if (file.open(QIODevice::ReadOnly)) {
      temperatures.clear();
      const ChainReading reading = ReadChainFile(file.readAll().toStdString(), {});
      for (const ChainStageForm& stage : *reading.stages) temperatures << ui::FromCp1252(stage.form.m_strTemperature);
      QCOMPARE(temperatures, way == "context menu" ? QStringList({"2"}) : QStringList({"1", "2", "3"}));
    }
  }

  void helpTargets_data() {
    QTest::addColumn<QString>("item");  // of the Help menu, the context menu's About, or F1
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("refused");    // no program opens it
    QTest::addColumn<bool>("installed");  // the help page's copy is in the folder the program starts in

    QTest::newRow("Help") << "Help" << ui::kHelpPageLink << false << true;
    QTest::newRow("Website") << "Website" << ui::kWebsiteLink << false << false;
    QTest::newRow("Bug Report") << "Bug Report" << ui::kBugReportLink << false << false;
    QTest::newRow("Contact") << "Contact" << ui::kContactLink << false << false;
    QTest::newRow("About") << "About" << ui::kWebsiteLink << false << false;
    QTest::newRow("context menu") << "&About Tervane..." << ui::kWebsiteLink << false << false;
    QTest::newRow("F1") << "F1" << ui::kHelpPageLink << false << false;
    QTest::newRow("Help, nothing opens it: the address shown") << "Help" << ui::kHelpPageLink << true << false;
    QTest::newRow("Help, nothing opens it: the installed copy shown") << "Help" << ui::kHelpPageLink << true << true;
  }

  // The About box stays open after its link. Where no program opens the
  // help page, its installed copy is shown instead, if there is one.
  void helpTargets() {
    QFETCH(QString, item);
    QFETCH(QString, link);
    QFETCH(bool, refused);
    QFETCH(bool, installed);
    const bool about = item.contains(u"About"_s);  // the link is the About box's

    QTemporaryDir start;  // the folder the program starts in
    QVERIFY(!installed ||
            WriteFile(start.filePath(QString::fromLatin1(ui::kHelpPageFile)), "<p>The installed page</p>"));
    const QString home = QDir::currentPath();
    QDir::setCurrent(start.path());
    const auto goHome = qScopeGuard([&] { QDir::setCurrent(home); });
    QVERIFY(m_calc->Open(std::nullopt));
    const QStringList before = m_calc->Texts();
    bool openAfterLink = false;
    QString version, shown;  // the product's version, as the package has it too; the page shown
    std::vector<ModalDriver::Handler> handlers;
    if (item != u"F1"_s) handlers.push_back([&](QWidget* menu) { ChooseMenuItem(menu, item); });
    if (about)
      handlers.push_back([&](QWidget* box) {
        ClickButton(box, "websiteButton");
        openAfterLink = box->isVisible();
        version = Find<QLabel>(box, "versionLabel")->text();
        ClickButton(box, "okButton");
      });
    if (refused) {
      m_links.reset();  // the platform's own, which opens nothing offscreen
      handlers.push_back([&](QWidget* window) {
        if (auto* page = window->findChild<QTextBrowser*>()) shown = page->toPlainText();
        PressKey(window, Qt::Key_Escape);
      });
    }
    ModalDriver driver;
    QVERIFY(driver.Run(
        [&] {
          if (item == u"F1"_s)
            PressKey(&m_calc->Dialog(), Qt::Key_F1);
          else if (item.startsWith(u'&'))
            OpenContextMenu(*m_calc);
          else
            m_calc->Click("helpButton");
        },
        handlers));
    if (refused && installed)
      QCOMPARE(shown, u"The installed page"_s);
    else if (refused)
      QVERIFY(driver.windows.back().text.contains(link));
    else
      QCOMPARE(m_links->opened, QList<QUrl>{QUrl(link)});
    if (about) QCOMPARE(driver.windows.back().title, u"About Tervane"_s);
    if (about) QVERIFY(HelpPageNames(driver.windows.back().title));
    QCOMPARE(version, about ? u"Version 3.0"_s : QString());
    QCOMPARE(openAfterLink, about);
    QCOMPARE(m_calc->Texts(), before);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::MainWindowTest)
#include "main_window_test.moc"
