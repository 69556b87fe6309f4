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
#include <sstream>

#include "form/built_circuit.h"
#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "form/field_reading.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
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

}  // namespace

using namespace Qt::StringLiterals;

namespace {

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
    return view->sizeAdjustPolicy() != QAbstractScrollArea::AdjustToContents || view->verticalScrollBar()->maximum() == 0;
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
    // A missing library is said under the buttons, once.
    QCOMPARE(m_calc->Child<QLabel>("readingNotes")->text().startsWith(QStringLiteral("No part library: ")),
             library.m_partList.empty());
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
    for (const char* button : {"calcCornerButton", "calculateButton"})
      QVERIFY(driver.Run([&] { m_calc->Click(button); }, {checkAndClose}));
    QVERIFY(driver.Run([&] { m_calc->Click("helpButton"); },
                       {[](QWidget* menu) { ChooseMenuItem(menu, u"About"_s); }, checkAndClose}));
    QVERIFY(driver.Run([&] { ui::SaveFile(&m_calc->Dialog(), u"/nowhere/"_s + QString(200, u'x'), QByteArray()); },
                       {checkAndClose}));
    m_calc->Click("chainButton");
    check(m_calc->Child("ChainDialog"));
    QVERIFY(driver.Run([&] { ClickButton(m_calc->Child("ChainDialog"), "calculateChainButton"); }, {checkAndClose}));
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

  // The dialog's fields say what they will be read as, as the main window's
  // do; OK is refused, with the command line's sentence, until every part is
  // one a circuit can have: Cb needs Rb, c lies within -1..1.
  void sourceAndBandwidthSaysReadingsAndRefusals() {
    QVERIFY(m_calc->Open(std::nullopt));
    QStringList seen;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { m_calc->Click("builtCircuitButton"); }, {[&](QWidget* w) {
      const auto edit = [w](const char* name) { return w->findChild<QLineEdit*>(QString::fromLatin1(name)); };
      const auto ok = [&] {
        PressKey(w, Qt::Key_Return);
        seen << w->findChild<QLabel*>(QStringLiteral("refusalNote"))->text() << (w->isVisible() ? "refused" : "closed");
      };
      QTest::keyClicks(edit("loadResistorEdit"), QStringLiteral("47 k"));
      seen << w->findChild<QLabel*>(QStringLiteral("readingNotes"))->text() << edit("loadResistorEdit")->toolTip();
      QTest::keyClicks(edit("biasCapacitorEdit"), QStringLiteral("1u"));
      ok();
      QTest::keyClicks(edit("biasResistorEdit"), QStringLiteral("1k"));
      QTest::keyClicks(edit("inCorrelationEdit"), QStringLiteral("2"));
      ok();
      QTest::keyClick(edit("inCorrelationEdit"), Qt::Key_Backspace);
      ok();
    }}));
    CalculatorForm typed;
    typed.m_strLoadResistor = "47 k";
    const QString note = ui::FromCp1252(FieldReadingNotes(typed, kBuiltCircuitFields)[1]);
    QCOMPARE(seen, QStringList({note, Qt::convertFromPlainText(note), ui::FromCp1252(kBiasCapacitorAloneNote),
                                "refused", ui::FromCp1252(kCorrelationOutOfRangeNote), "refused", "", "closed"}));
    QCOMPARE(m_calc->Child<QLabel>("builtCircuitLine")->text(),
             QStringLiteral("Circuit as built: Rload = 47ohm, Rb = 1kohm, Cb = 1µF"));
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
    QTest::addColumn<QString>("title");  // of the window it opens; null: none

    // A click on each is made elsewhere, where its window is worked.
    QTest::newRow("Calculate") << "calculateButton" << true << "Noise Results";
    QTest::newRow("Calc with Carry") << "calcWithCarryButton" << true << "Noise Results";
    QTest::newRow("Calc Corner") << "calcCornerButton" << true << "Calculate 1/f Noise Corner";
    QTest::newRow("Help") << "helpButton" << true << "";
    QTest::newRow("Source & Bandwidth") << "builtCircuitButton" << true << "Source & Bandwidth";
    QTest::newRow("Chain, left open") << "chainButton" << true << "Chain of Stages";
    QTest::newRow("RIAA NBW, Enter") << "riaaButton" << true << QString();
    QTest::newRow("RIAA NBW, click") << "riaaButton" << false << QString();
  }

  // Each modal one closed with Escape; the fields then hold what the core
  // makes of them. The help page names every title, tab and weighting shown.
  void controlsOpenTheirWindows() {
    QFETCH(QString, control);
    QFETCH(bool, byEnter);
    QFETCH(QString, title);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    CalculatorForm form = FormOf(*m_calc);
    QStringList names{ShownTitle(&m_calc->Dialog())};
    ModalDriver driver;
    driver.serveRest = [&names](QWidget* w) {
      if (auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("viewTabs")))
        for (int i = 0; i < tabs->count(); ++i) names << tabs->tabText(i).remove(QLatin1Char('&'));
      if (auto* weightings = w->findChild<QComboBox*>(QStringLiteral("weightingCombo")))
        for (int i = 0; i < weightings->count(); ++i) names << weightings->itemText(i);
      PressKey(w, Qt::Key_Escape);
    };
    m_calc->Child<QWidget>(qPrintable(control))->setFocus();
    QVERIFY(driver.Run(
        [&] { byEnter ? PressKey(&m_calc->Dialog(), Qt::Key_Return) : m_calc->Click(qPrintable(control)); }));

    QStringList titles;  // modal, or left open beside the main window
    for (const ModalDriver::Window& window : driver.windows) titles << window.title;
    for (const QDialog* window : m_calc->Dialog().findChildren<QDialog*>())
      if (window->isVisible()) titles << ShownTitle(window);
    QCOMPARE(titles, title.isNull() ? QStringList() : QStringList{title});
    for (const QString& name : names + titles)
      QVERIFY2(name.isEmpty() || HelpPageNames(name), qPrintable(name + QStringLiteral(": not in the help page")));
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
    std::vector<ModalDriver::Handler> handlers{
        [](QWidget* menu) { ChooseMenuItem(menu, QStringLiteral("&Open Circuit...")); }, typePath};
    if (!damage.isEmpty()) handlers.push_back([](QWidget* box) { PressKey(box, Qt::Key_Return); });
    ModalDriver opening;
    QVERIFY(opening.Run([&] { OpenContextMenu(*m_calc); }, handlers));

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
  // stage is chosen, and "Calculate Chain" shows the core's chain of them,
  // its report through the weighting chosen.
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
      } else {  // removing an edited stage asks first (chainWorkIsKept)
        ModalDriver discarding;
        discarding.serveRest = [](QWidget* box) { Answer(box, QStringLiteral("Discard")); };
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

    m_calc->Type("temperatureEdit", QStringLiteral("4"));  // calculated as typed
    stages.back() = {FormOf(*m_calc), {}};
    const ChainCalculation expected = ComputeChain(stages);
    QList<QList<QStringList>> shown;
    QString weighted;
    ModalDriver driver;
    QVERIFY(driver.Run([&] { ClickButton(chain, "calculateChainButton"); }, {[&](QWidget* results) {
                         for (const char* name : {"breakdownTable", "figuresTable"})
                           shown << TableRows(results->findChild<QTableView*>(QString::fromLatin1(name)));
                         auto* weighting = results->findChild<QComboBox*>(QStringLiteral("weightingCombo"));
                         weighting->setCurrentIndex(static_cast<int>(WeightingIndex(Weighting::kRiaa)));
                         weighted = results->findChild<QPlainTextEdit*>()->toPlainText();
                         weighting->setCurrentIndex(0);  // the next window's too
                         PressKey(results, Qt::Key_Escape);
                       }}));
    QVERIFY(HelpPageNames(driver.windows.front().title));
    const auto report = [&](Weighting w) {
      return ui::FromCp1252(BuildChainReport(expected, w)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    QCOMPARE(driver.windows.front().text, report(Weighting::kNone));
    QCOMPARE(weighted, report(Weighting::kRiaa));
    const Weighting none = Weighting::kNone;
    const TextTable breakdown = ChainBreakdownTable(*BreakdownChain(expected.chain), none);
    const TextTable figures = FigureTable(CausesOf(expected), *FiguresOf(expected), none);
    QCOMPARE(shown, (QList<QList<QStringList>>{ui::QtRows(breakdown), ui::QtRows(figures)}));
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
    row("Ctrl+S, then exit", {"file", "Cancel"}, kept);  // saved: the exit's own question
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
    const QString saved = folder.filePath(QStringLiteral("saved.tervane"));
    const auto write = [&](const char* name, const std::vector<const char*>& temperatures) {
      std::vector<ChainStageForm> forms;
      for (const char* t : temperatures)
        forms.emplace_back(ChainStageForm{FormOf(*m_calc), std::nullopt}).form.m_strTemperature = t;
      forms.front().form.m_nAmpType = AMP_BUFFER;  // a name of its own in the list
      QFile file(folder.filePath(QString::fromLatin1(name)));
      const std::string text = WriteChainFile(forms);
      return file.open(QIODevice::WriteOnly) && file.write(text.data(), qint64(text.size())) > 0 ? file.fileName()
                                                                                                 : QString();
    };
    const QString single = write("single.tervane", {"9"});
    const QString other = write("chain.tervane", {"7", "8"});

    m_calc->Type("temperatureEdit", QStringLiteral("1"));
    m_calc->Click("chainButton");
    auto* chain = m_calc->Child("ChainDialog");
    auto* list = chain->findChild<QListWidget*>();
    for (const char* t : {"2", "3"}) {
      ClickButton(chain, "addStageButton");
      m_calc->Type("temperatureEdit", QString::fromLatin1(t));
    }
    m_calc->Click("invertingRadio");
    QCOMPARE(list->item(2)->text(), QStringLiteral("Stage 3 (inverting)"));
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
        w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer == "file" ? saved : answer);
        PressKey(w, Qt::Key_Return);
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
      QCOMPARE(driver.windows.back().text, QStringLiteral("Are you certain that you want to exit?"));
      QVERIFY(!chain->isWindowModified() && !m_calc->Dialog().isWindowModified());
    }
    if (answers.contains("openAloneButton") && stages.isEmpty())
      QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("9"));
    QFile file(saved);
    QCOMPARE(file.exists(), answers.contains("file"));
    if (file.open(QIODevice::ReadOnly)) {
      temperatures.clear();
      const ChainReading reading = ReadChainFile(file.readAll().toStdString(), {});
      for (const ChainStageForm& stage : *reading.stages) temperatures << ui::FromCp1252(stage.form.m_strTemperature);
      QCOMPARE(temperatures, way == "context menu" ? QStringList({"2"}) : QStringList({"1", "2", "3"}));
    }
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
    QString version;  // the product's, as the package has it too
    std::vector<ModalDriver::Handler> handlers;
    if (item != QLatin1String("F1")) handlers.push_back([&](QWidget* menu) { ChooseMenuItem(menu, item); });
    if (about)
      handlers.push_back([&](QWidget* box) {
        ClickButton(box, "websiteButton");
        openAfterLink = box->isVisible();
        version = box->findChild<QLabel*>(QStringLiteral("versionLabel"))->text();
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
          if (item == QLatin1String("F1"))
            PressKey(&m_calc->Dialog(), Qt::Key_F1);
          else if (item.startsWith(QLatin1Char('&')))
            OpenContextMenu(*m_calc);
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
    QCOMPARE(version, about ? QStringLiteral("Version 3.0") : QString());
    if (about) QVERIFY(HelpPageNames(driver.windows.back().title));
    QCOMPARE(openAfterLink, about);
    QCOMPARE(m_calc->Texts(), before);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::MainWindowTest)
#include "main_window_test.moc"
