// Seeded random steps on the real main window: any text typed, put in by an
// input method or pasted into every field, every button, radio and the check
// box clicked, parts chosen with the keyboard, keys pressed, the Help and
// context menus opened, and every window that comes up answered in one of
// the ways a user has. No step may crash or hang, and after each the window
// still holds together. TERVANE_RANDOM_SEED and TERVANE_RANDOM_STEPS replay
// a failed run or lengthen one; both are printed at the start.
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>

#include <deque>
#include <iterator>
#include <random>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/links.h"

namespace tervane::uitest {
namespace {

// Ordinary parts and odd ones: Windows-1252 and undefined bytes, a name in
// two cases, figures that are no numbers or out of range, lines too short
// or too long, a word too long, CR LF and tabs, a name like a placeholder.
const QByteArray kPartFile =
    "/ parts for the random steps\n"
    "OP27 3n 400f 2.7\n"
    "\xB5"
    "A741 20n 500f 200 3M 100\n"
    "\x80\x81\x8D\xFF 1n 1p 1\n"
    "Twice 1n 1p 1\ntwice 2n 2p 2\nTwice 3n 3p 3\n"
    "NoNumbers abc def ghi\nExtremes 1e300 1e-300 -5 1 -1\nZeros 0 0 0 0 0\n"
    "TooShort 1n 1p\nNameLongerThanFifteen 1n 1p 1\nCrLf 4n 4p 4\r\nTabbed\t5n\t5p\t5\n<freq> 6n 6p 6\n"
    "Split 7n 7p 7 and then a tail of words that runs on past the reader's limit of a line\n";

// Code point ranges a user, an input method or the clipboard could hand the
// program: what the fields read, ASCII, Latin-1, Windows-1252 punctuation,
// Greek, CJK, the other planes, control characters, lone surrogates,
// right-to-left scripts and their marks, combining marks and separators.
constexpr std::pair<char32_t, char32_t> kScripts[] = {
    {U'0', U'9'},     {U'k', U'n'},       {0x20, 0x7E},        {0xA0, 0xFF},     {0x2013, 0x2122}, {0x0370, 0x03FF},
    {0x4E00, 0x9FFF}, {0x1F300, 0x1FAFF}, {0x10000, 0x10FFFF}, {0x00, 0x1F},     {0x7F, 0x9F},     {0xD800, 0xDFFF},
    {0x05D0, 0x064A}, {0x200B, 0x202E},   {0x0300, 0x036F},    {0xFFFD, 0xFFFF},
};

constexpr const char* kClickable[] = {"calculateButton", "calcWithCarryButton", "riaaButton",     "calcCornerButton",
                                      "helpButton",      "exitButton",          "chainButton",    "builtCircuitButton",
                                      "bufferRadio",     "nonInvertingRadio",   "invertingRadio", "transimpedanceRadio",
                                      "applyCornerCheck"};
constexpr int kKeys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab,
                         Qt::Key_Space,  Qt::Key_F1,     Qt::Key_Up,  Qt::Key_Down};
constexpr int kListKeys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
const QString kExitQuestion = QStringLiteral("Are you certain that you want to exit?");

// What the core reads of a text, shown back.
QString Image(const QString& text) { return ui::FromCp1252(ui::ToCp1252(text)); }

}  // namespace

class RandomSteps : public QObject {
  Q_OBJECT

  std::uint32_t m_seed = 1729;
  int m_steps = 10000;
  std::mt19937 m_rng;
  LinkCatcher m_links;
  std::unique_ptr<CalculatorUnderTest> m_calc;
  QStringList m_partNames;         // the list as the first window showed it
  ModalDriver m_driver{0, 60000};  // a window is served on the first turn of its event loop
  QStringList m_did, m_problems;
  std::deque<QString> m_recent;  // the last few steps, shown with a failure
  bool m_exitConfirmed = false;

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
  bool Chance(int percent) { return Between(0, 99) < percent; }
  template <class Items>
  const auto& Pick(const Items& items) {
    return *std::next(std::begin(items), Between(0, static_cast<int>(std::size(items)) - 1));
  }
  QDialog& Window() const { return m_calc->Dialog(); }

  // Mostly short, sometimes a few thousand characters, rarely 100 000; in
  // runs of one script, as typing in one language goes.
  QString RandomText(int most) {
    const int roll = Between(0, 999);
    const int length = std::min(most, roll < 80    ? 0
                                      : roll < 640 ? Between(1, 16)
                                      : roll < 999 ? Between(17, 3000)
                                                   : 100000);
    QString text;
    auto script = Pick(kScripts);
    while (text.size() < length) {
      if (Chance(5)) script = Pick(kScripts);
      const auto c = static_cast<char32_t>(Between(static_cast<int>(script.first), static_cast<int>(script.second)));
      if (c < 0x10000)
        text += QChar(static_cast<char16_t>(c));
      else
        text += QString::fromUcs4(&c, 1);
    }
    return text;
  }

  // Random text into a field, by keys, an input method or the clipboard,
  // over all of it or at the cursor.
  void TypeInto(QWidget* field, int most = 100000) {
    QTest::mouseClick(field, Qt::LeftButton);
    if (Chance(60)) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    const QString text = RandomText(most);
    const int how = text.size() <= 16 ? Between(0, 2) : Between(1, 2);
    if (how == 0)
      for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), {});
    if (how == 1) {
      QInputMethodEvent event;
      event.setCommitString(text);
      QApplication::sendEvent(field, &event);
    }
    if (how == 2) {
      QGuiApplication::clipboard()->setText(text);
      QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
    m_did << QStringLiteral("  %1 characters by %2")
                 .arg(text.size())
                 .arg(QStringList{"keys", "input method", "paste"}[how]);
  }

  // One thing a user does to the main window.
  void Act() {
    const int roll = Between(1, 100);
    if (roll <= 35) {
      std::vector<QLineEdit*> fields;
      for (const QByteArray& name : kFieldNames)
        if (auto* edit = m_calc->Child<QLineEdit>(name); edit->isEnabled()) fields.push_back(edit);
      QLineEdit* field = Pick(fields);
      m_did << QStringLiteral("type into ") + field->objectName();
      TypeInto(field);
    } else if (roll <= 65) {
      const char* name = Pick(kClickable);
      m_did << QStringLiteral("click ") + QLatin1String(name);
      m_calc->Click(name);
    } else if (roll <= 75) {
      QTest::mouseClick(m_calc->Child<QComboBox>("partList"), Qt::LeftButton);
      const int key = Pick(kListKeys);
      m_did << QStringLiteral("choose part by ") + QKeySequence(key).toString();
      PressKey(&Window(), key);
    } else if (roll <= 93) {
      const int key = Pick(kKeys);
      QWidget* focus = Window().focusWidget();
      m_did << QStringLiteral("press %1 on %2").arg(QKeySequence(key).toString(), focus ? focus->objectName() : "");
      PressKey(&Window(), key);
    } else if (roll <= 97) {
      m_did << QStringLiteral("context menu");
      const QPoint at = Window().rect().center();
      QContextMenuEvent event(QContextMenuEvent::Mouse, at, Window().mapToGlobal(at));
      QApplication::sendEvent(&Window(), &event);
    } else {
      m_did << QStringLiteral("close box");
      Window().close();
    }
  }

  // --- Answers to the windows that come up -------------------------------

  void CloseWith(QWidget* window, const std::vector<QString>& ways) {
    const QString& way = Pick(ways);
    m_did << QStringLiteral("  answer ") + way;
    if (way == QLatin1String("Enter") || way == QLatin1String("Escape"))
      PressKey(window, way == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
    else if (way == QLatin1String("close box"))
      window->close();
    else if (auto* box = qobject_cast<QMessageBox*>(window))
      box->button(way == QLatin1String("OK") ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    else
      ClickButton(window, qPrintable(way));
  }

  void Answer(QWidget* window) {
    const QPointer<QWidget> guard(window);
    const QString name = window->objectName();
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      // The exit is mostly refused, or each run would be a string of short ones.
      const bool exit = box->text() == kExitQuestion;
      m_exitConfirmed = exit && Chance(4);
      CloseWith(box, m_exitConfirmed ? std::vector<QString>{"OK", "Enter"}
                     : exit          ? std::vector<QString>{"Cancel", "Escape", "close box"}
                                     : std::vector<QString>{"Enter", "Escape", "close box"});
    } else if (auto* menu = qobject_cast<QMenu*>(window)) {
      std::vector<QAction*> items;
      for (QAction* action : menu->actions())
        if (!action->isSeparator()) items.push_back(action);
      if (Chance(60) && !items.empty()) {
        const QAction* action = Pick(items);
        m_did << QStringLiteral("  choose ") + action->text();
        ChooseMenuItem(menu, action->text());
      } else {
        CloseWith(menu, {"Escape"});
      }
    } else if (window->inherits("QComboBoxPrivateContainer")) {
      for (int moves = Between(0, 5); moves > 0; --moves) PressKey(window, Qt::Key_Down);
      CloseWith(window, {"Enter", "Escape"});
    } else if (name == QLatin1String("ResultsDialog")) {
      if (auto* tabs = Find<QTabWidget>(window, "viewTabs"); tabs && Chance(50)) {
        tabs->setCurrentIndex(Between(1, tabs->count() - 1));  // drawn as it would be seen
        tabs->currentWidget()->grab();
        tabs->setCurrentIndex(0);  // Enter belongs to the report
      }
      CloseWith(window, {"Enter", "Escape", "close box"});
    } else if (name == QLatin1String("CornerDialog") || name == QLatin1String("BuiltCircuitDialog")) {
      const QList<QLineEdit*> fields = window->findChildren<QLineEdit*>();
      for (int moves = Between(0, 3); moves > 0; --moves) TypeInto(Pick(fields), 3000);
      CloseWith(window, {"okButton", "cancelButton", "Enter", "Escape"});
      // OK is refused, and the note says why, while the circuit is not one a stage can have.
      if (guard && guard->isVisible() && !Find<QLabel>(window, "refusalNote")->text().isEmpty())
        CloseWith(window, {"cancelButton", "Escape"});
    } else if (name == QLatin1String("AboutDialog") || qobject_cast<QFileDialog*>(window)) {
      CloseWith(window, {"Escape", "close box"});  // no circuit file written or read by chance
    } else {
      m_problems << QStringLiteral("unexpected window %1 \"%2\"").arg(name, window->windowTitle());
      window->hide();
    }
    if (guard && guard->isVisible()) {
      m_problems << QStringLiteral("%1 stayed open").arg(name);
      guard->hide();
    }
  }

  // --- Checks ------------------------------------------------------------

  // Whatever a field holds reads back the same; no window is left open; the
  // window is gone only when the exit was confirmed; one amplifier type is
  // checked and R1 follows it; the part list is the file's; no link but the
  // program's own was opened.
  void Check() {
    for (const QByteArray& name : kFieldNames)
      if (const QString now = m_calc->Text(name); Image(Image(now)) != Image(now))
        m_problems << QString::fromLatin1(name) + QStringLiteral(" does not read back");
    if (QWidget* left = TopWindow()) m_problems << QStringLiteral("%1 left open").arg(left->objectName());
    if (Window().isVisible() == m_exitConfirmed) m_problems << QStringLiteral("shown or gone against the answer");
    int checked = 0;
    for (const char* radio : kRadioNames) checked += m_calc->Child<QRadioButton>(radio)->isChecked() ? 1 : 0;
    if (checked != 1) m_problems << QStringLiteral("%1 amplifier types checked").arg(checked);
    const bool readsR1 = m_calc->Child<QRadioButton>("nonInvertingRadio")->isChecked() ||
                         m_calc->Child<QRadioButton>("invertingRadio")->isChecked();
    if (m_calc->Child<QLineEdit>("r1Edit")->isEnabled() != readsR1)
      m_problems << QStringLiteral("R1's enabling does not follow the amplifier type");
    if (PartNames() != m_partNames) m_problems << QStringLiteral("the part list changed");
    for (const QUrl& url : std::as_const(m_links.opened))
      if (!QStringList{ui::kHelpPageLink, ui::kWebsiteLink, ui::kBugReportLink, ui::kContactLink}.contains(
              url.toString()))
        m_problems << QStringLiteral("opened %1").arg(url.toString());
    m_links.opened.clear();
  }

  QStringList PartNames() const {
    auto* list = m_calc->Child<QComboBox>("partList");
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
    return names;
  }

  // A random action with every window it brings up answered, then the checks.
  QString Step(int step) {
    m_did.clear();
    m_problems.clear();
    m_exitConfirmed = false;
    m_driver.serveRest = [this](QWidget* window) { Answer(window); };
    if (!m_driver.Run([&] {
          Act();
          for (int i = 0; i < 3; ++i)
            if (QWidget* popup = QApplication::activePopupWidget()) Answer(popup);
        }))
      m_problems << m_driver.problems;
    QApplication::processEvents();
    if (Window().isVisible() && !Window().isActiveWindow()) Window().activateWindow();  // as a desktop would
    Check();
    m_recent.push_back(QStringLiteral("%1: %2").arg(step).arg(m_did.join(QStringLiteral("; "))));
    if (m_recent.size() > 8) m_recent.pop_front();
    if (m_exitConfirmed && !OpenWindow()) m_problems << QStringLiteral("no fresh window");
    if (m_problems.isEmpty()) return {};
    return QStringLiteral("TERVANE_RANDOM_SEED=%1, step %2: %3\nrecent steps:\n  %4")
        .arg(m_seed)
        .arg(step)
        .arg(m_problems.join(QStringLiteral("; ")), QStringList(m_recent.begin(), m_recent.end()).join(u"\n  "));
  }

  bool OpenWindow() {
    m_calc = std::make_unique<CalculatorUnderTest>();
    return m_calc->Open(kPartFile);
  }

 private slots:
  void initTestCase() {
    // The offscreen platform warns of every window feature it lacks, thousands of times a run.
    static const QtMessageHandler kDefault = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
      if (!message.startsWith(QLatin1String("This plugin does not support"))) kDefault(type, context, message);
    });
    bool seedOk = true;
    bool stepsOk = true;
    if (qEnvironmentVariableIsSet("TERVANE_RANDOM_SEED")) m_seed = qgetenv("TERVANE_RANDOM_SEED").toUInt(&seedOk);
    if (qEnvironmentVariableIsSet("TERVANE_RANDOM_STEPS"))
      m_steps = qEnvironmentVariableIntValue("TERVANE_RANDOM_STEPS", &stepsOk);
    QVERIFY2(seedOk && stepsOk && m_steps > 0, "TERVANE_RANDOM_SEED or TERVANE_RANDOM_STEPS is no number");
    qInfo("random steps: TERVANE_RANDOM_SEED=%u TERVANE_RANDOM_STEPS=%d", m_seed, m_steps);
    m_rng.seed(m_seed);
    QVERIFY(OpenWindow());
    m_partNames = PartNames();
    QVERIFY2(m_partNames.size() > 10, qPrintable(m_partNames.join(u',')));
  }

  // A failed step ends the run: the steps after it would not be those a
  // replay of the seed goes through.
  void steps() {
    for (int step = 0; step < m_steps; ++step)
      if (const QString failure = Step(step); !failure.isEmpty()) QFAIL(qPrintable(failure));
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::RandomSteps)
#include "random_steps.moc"
