// Seeded random steps on the real main window: any text typed, put in by an
// input method or pasted into every field, every button, radio and the check
// box clicked, parts chosen with the keyboard, keys pressed, the Help and
// context menus opened, and every window that comes up answered in every
// way. No step may crash or hang, and after each the window still holds
// together. TERVANE_RANDOM_SEED and TERVANE_RANDOM_STEPS replay a failed
// run or lengthen one; both are printed at the start.
#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimerEvent>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <deque>
#include <map>
#include <random>
#include <vector>

#include "random_text.h"
#include "tests/ui/ui_test_support.h"
#include "ui/links.h"
#include "ui/qt_text.h"

namespace tervane::uitest {
namespace {

constexpr std::uint32_t kDefaultSeed = 1729;
constexpr int kDefaultSteps = 10000;
constexpr int kStepsPerRow = 1000;  // one test row each, so that a long run reports as it goes
constexpr int kRecentSteps = 8;     // shown with a failure

// Ordinary parts and odd ones: Windows-1252 and undefined bytes, a name three
// times in two cases, figures that are no numbers or out of range, a
// comment, a line too short, a word too long, CR LF and tabs, a name like a
// placeholder, and a line past the reader's length limit.
const QByteArray kPartFile =
    "/ parts for the random steps\n"
    "OP27 3n 400f 2.7\n"
    "\xB5"
    "A741 20n 500f 200\n"
    "\x80\x81\x8D\xFF 1n 1p 1\n"
    "Twice 1n 1p 1\n"
    "twice 2n 2p 2\n"
    "Twice 3n 3p 3\n"
    "NoNumbers abc def ghi\n"
    "Extremes 1e300 1e-300 -5\n"
    "Zeros 0 0 0\n"
    "TooShort 1n 1p\n"
    "NameLongerThanFifteen 1n 1p 1\n"
    "CrLf 4n 4p 4\r\n"
    "Tabbed\t5n\t5p\t5\n"
    "<freq> 6n 6p 6\n"
    "Split 7n 7p 7 and then a tail of words that runs on past the reader's limit of a line\n";

const QString kExitQuestion = QStringLiteral("Are you certain that you want to exit?");
const QString kInputError = QStringLiteral("Input error");

const QStringList kLinks{QString::fromLatin1(ui::kHelpPageLink), QString::fromLatin1(ui::kWebsiteLink),
                         QString::fromLatin1(ui::kBugReportLink), QString::fromLatin1(ui::kContactLink)};

constexpr std::array<const char*, 6> kButtons{"calculateButton",  "calcWithCarryButton", "riaaButton",
                                              "calcCornerButton", "helpButton",          "exitButton"};
constexpr std::array<const char*, 3> kRadios{"bufferRadio", "nonInvertingRadio", "invertingRadio"};

// The offscreen platform warns of every window feature it lacks, thousands
// of times over a run.
QtMessageHandler g_testHandler = nullptr;

void DropPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  g_testHandler(type, context, message);
}

// What a step may change of the eleven fields besides restoring them from
// what the core read: the fields the program may rewrite with text of its
// own, and one the step types into.
struct Allowance {
  std::vector<qsizetype> rewritten;
  qsizetype typed = -1;
};

// The place of the text field `name` in kFieldNames; their count when none has it.
qsizetype FieldIndex(const char* name) {
  return std::find(kFieldNames.begin(), kFieldNames.end(), QByteArray(name)) - kFieldNames.begin();
}

std::vector<qsizetype> Fields(std::initializer_list<const char*> names) {
  std::vector<qsizetype> fields;
  for (const char* name : names) fields.push_back(FieldIndex(name));
  return fields;
}

const std::vector<qsizetype> kNoiseFields = Fields({"noiseVoltageEdit", "noiseCurrentEdit", "cornerFreqEdit"});

Allowance ButtonAllowance(const QString& button) {
  if (button == QLatin1String("calculateButton") || button == QLatin1String("calcWithCarryButton"))
    return {Fields({"sourceResistorEdit", "r1Edit", "r2Edit", "temperatureEdit", "lowerFreqEdit", "upperFreqEdit",
                    "refVoltageEdit", "noiseVoltageEdit", "noiseCurrentEdit", "cornerFreqEdit", "carryEdit"})};
  if (button == QLatin1String("riaaButton")) return {Fields({"lowerFreqEdit", "upperFreqEdit"})};
  if (button == QLatin1String("calcCornerButton")) return {Fields({"cornerFreqEdit"})};
  return {};
}

// What the core reads of a text, shown back.
QString Image(const QString& text) { return ui::FromCp1252(ui::ToCp1252(text)); }

QString Shorten(const QString& text) {
  constexpr qsizetype kShown = 40;
  return text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("...(%1)").arg(text.size());
}

std::uint32_t SeedFromEnvironment(bool* ok) {
  *ok = true;
  if (!qEnvironmentVariableIsSet("TERVANE_RANDOM_SEED")) return kDefaultSeed;
  return qgetenv("TERVANE_RANDOM_SEED").toUInt(ok);
}

int StepsFromEnvironment(bool* ok) {
  *ok = true;
  if (!qEnvironmentVariableIsSet("TERVANE_RANDOM_STEPS")) return kDefaultSteps;
  const int steps = qEnvironmentVariableIntValue("TERVANE_RANDOM_STEPS", ok);
  *ok = *ok && steps > 0;
  return steps;
}

}  // namespace

class RandomSteps : public QObject {
  Q_OBJECT

  std::uint32_t m_seed = kDefaultSeed;
  int m_steps = kDefaultSteps;
  std::mt19937 m_rng;
  std::unique_ptr<LinkCatcher> m_links;
  std::unique_ptr<CalculatorUnderTest> m_calc;
  QStringList m_partNames;  // the list as the first window showed it
  // Zero polling: a window is served on the first turn of its event loop.
  ModalDriver m_driver{0, 60000};

  // What the current step did and found, and the steps before it.
  int m_step = 0;
  QStringList m_did;
  QStringList m_problems;
  bool m_exitConfirmed = false;
  bool m_failed = false;
  std::deque<QString> m_recent;
  std::map<QString, int> m_counts;

  // --- Randomness --------------------------------------------------------

  bool Chance(int percent) { return uitest::Chance(m_rng, percent); }
  int Between(int low, int high) { return uitest::Between(m_rng, low, high); }

  template <class T>
  const T& PickFrom(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Between(0, static_cast<int>(items.size()) - 1))];
  }

  // Notes a move for the report of a failure, and counts it by `what`.
  void Did(const QString& what, const QString& detail = {}) {
    m_did << (detail.isEmpty() ? what : what + QLatin1Char(' ') + detail);
    ++m_counts[what.trimmed()];
  }

  QDialog& Window() const { return m_calc->Dialog(); }

  // --- Text --------------------------------------------------------------

  // Key by key, each character (a pair of surrogates together) the text of
  // a key no shortcut knows, as a keyboard layout or a compose key sends it.
  static void TypeKeys(QWidget* field, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
      const QString key = text.mid(i, n);
      QTest::sendKeyEvent(QTest::Press, field, Qt::Key_unknown, key, Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, field, Qt::Key_unknown, key, Qt::NoModifier);
      i += n - 1;
    }
  }

  static void Commit(QWidget* field, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
  }

  static void Paste(QWidget* field, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  }

  // Clicks into a text field and puts random text in, over a selection of
  // all of it or at the cursor; long text only ever arrives in one piece.
  void TypeInto(QWidget* field, int most = INT_MAX) {
    const QPoint at(Between(0, std::max(0, field->width() - 1)), Between(0, std::max(0, field->height() - 1)));
    QTest::mouseClick(field, Qt::LeftButton, {}, at);
    if (Chance(60)) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    const QString text = RandomText(m_rng, most);
    const int how = text.size() <= 16 ? Between(0, 2) : Between(1, 2);
    if (how == 0) TypeKeys(field, text);
    if (how == 1) Commit(field, text);
    if (how == 2) Paste(field, text);
    if (Chance(10)) QTest::keyClick(field, Chance(50) ? Qt::Key_Backspace : Qt::Key_Delete);
    if (Chance(5)) QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    Did(QStringLiteral("  by ") + QStringList{"keys", "input method", "paste"}[how],
        QStringLiteral("%1 characters").arg(text.size()));
  }

  // --- Steps on the main window ------------------------------------------

  Allowance TypeIntoField() {
    std::vector<QLineEdit*> fields;
    for (const QByteArray& name : kFieldNames)
      if (auto* edit = m_calc->Child<QLineEdit>(name); edit->isEnabled()) fields.push_back(edit);
    fields.push_back(m_calc->Child<QComboBox>("partList")->lineEdit());
    QLineEdit* field = PickFrom(fields);
    const bool listEdit = field->objectName().isEmpty() || field->objectName().startsWith(QLatin1String("qt_"));
    Did(QStringLiteral("type into ") + (listEdit ? QStringLiteral("partList") : field->objectName()));
    TypeInto(field);
    return {{}, listEdit ? -1 : FieldIndex(qPrintable(field->objectName()))};
  }

  Allowance ClickMainButton() {
    const char* button = PickFrom(std::vector<const char*>(kButtons.begin(), kButtons.end()));
    Did(QStringLiteral("click ") + QLatin1String(button));
    m_calc->Click(button);
    return ButtonAllowance(QLatin1String(button));
  }

  Allowance ClickRadioOrCheckBox() {
    std::vector<const char*> choices(kRadios.begin(), kRadios.end());
    choices.push_back("applyCornerCheck");
    const char* choice = PickFrom(choices);
    Did(QStringLiteral("click ") + QLatin1String(choice));
    m_calc->Click(choice);
    return {};
  }

  Allowance ChoosePart() {
    auto* list = m_calc->Child<QComboBox>("partList");
    QTest::mouseClick(list->lineEdit(), Qt::LeftButton);
    static const std::vector<std::pair<int, Qt::KeyboardModifiers>> kKeys{
        {Qt::Key_Up, Qt::NoModifier},       {Qt::Key_Down, Qt::NoModifier}, {Qt::Key_PageUp, Qt::NoModifier},
        {Qt::Key_PageDown, Qt::NoModifier}, {Qt::Key_Home, Qt::NoModifier}, {Qt::Key_End, Qt::NoModifier},
        {Qt::Key_Down, Qt::AltModifier},    {Qt::Key_F4, Qt::NoModifier}};
    const auto& [key, modifiers] = PickFrom(kKeys);
    Did(QStringLiteral("choose part by ") + QKeySequence(key | modifiers).toString());
    PressKey(&Window(), key, modifiers);
    return {kNoiseFields};
  }

  // What a key may change depends on where the focus is: a button clicks,
  // the part list chooses, a field takes a space.
  Allowance PressAnyKey() {
    static const std::vector<int> kKeys{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab,
                                        Qt::Key_Space,  Qt::Key_F1,    Qt::Key_Up,     Qt::Key_Down};
    const int key = PickFrom(kKeys);
    QWidget* focus = Window().focusWidget();
    const QString focusName = focus ? focus->objectName() : QString();
    Did(QStringLiteral("press ") + QKeySequence(key).toString(), QStringLiteral("on ") + focusName);
    Allowance allowance;
    if (qobject_cast<QPushButton*>(focus)) allowance = ButtonAllowance(focusName);
    if (qobject_cast<QLineEdit*>(focus) && FieldIndex(qPrintable(focusName)) < qsizetype(kFieldNames.size()))
      allowance.typed = FieldIndex(qPrintable(focusName));
    PressKey(&Window(), key);
    return allowance;
  }

  // A mnemonic clicks its radio when a timer of the radio's runs out, a
  // tenth of a second after the key. The step hands the radio that timer's
  // event at once: a run goes the same way however fast it runs, without
  // waiting.
  Allowance PressMnemonic() {
    const int index = Between(0, static_cast<int>(kRadios.size()) - 1);
    const int key = std::array{Qt::Key_B, Qt::Key_N, Qt::Key_I}[static_cast<std::size_t>(index)];
    Did(QStringLiteral("press Alt+") + QChar(key));
    PressKey(&Window(), key, Qt::AltModifier);
    auto* radio = m_calc->Child<QRadioButton>(kRadios[static_cast<std::size_t>(index)]);
    for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(radio)) {
      QTimerEvent event(timer.timerId);
      QApplication::sendEvent(radio, &event);
    }
    if (radio->isDown() || !radio->isChecked())
      m_problems << QStringLiteral("Alt+%1 left its radio unchecked").arg(QChar(key));
    return {};
  }

  // Anywhere but a text field, which has a menu of its own.
  Allowance OpenContextMenu() {
    std::vector<QWidget*> targets{&Window()};
    for (QWidget* w : Window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w))
        targets.push_back(w);
    QWidget* target = PickFrom(targets);
    Did(QStringLiteral("context menu"), QStringLiteral("on ") + target->objectName());
    const QPoint at = target->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    return {};
  }

  Allowance CloseWindow() {
    Did(QStringLiteral("close box"));
    Window().close();
    return {};
  }

  Allowance Act() {
    using Step = Allowance (RandomSteps::*)();
    static const std::vector<std::pair<int, Step>> kSteps{
        {30, &RandomSteps::TypeIntoField},       {20, &RandomSteps::ClickMainButton},
        {8, &RandomSteps::ClickRadioOrCheckBox}, {10, &RandomSteps::ChoosePart},
        {20, &RandomSteps::PressAnyKey},         {4, &RandomSteps::PressMnemonic},
        {5, &RandomSteps::OpenContextMenu},      {3, &RandomSteps::CloseWindow}};
    int roll = Between(1, 100);
    for (const auto& [weight, step] : kSteps) {
      if (roll <= weight) return (this->*step)();
      roll -= weight;
    }
    return {};
  }

  // --- Answers to the windows that come up ---------------------------------

  // Closes a window the way a user may: its buttons, Enter, Escape, or the
  // close box.
  void CloseWith(QWidget* window, const std::vector<QString>& ways) {
    const QString& way = PickFrom(ways);
    Did(QStringLiteral("  answer ") + way);
    if (way == QLatin1String("Enter"))
      PressKey(window, Qt::Key_Return);
    else if (way == QLatin1String("Escape"))
      PressKey(window, Qt::Key_Escape);
    else if (way == QLatin1String("close box"))
      window->close();
    else if (auto* box = qobject_cast<QMessageBox*>(window))
      box->button(way == QLatin1String("OK") ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    else
      ClickButton(window, qPrintable(way));
  }

  void AnswerMessage(QMessageBox* box) {
    if (box->text() == kInputError) {
      CloseWith(box, {"OK", "Enter", "Escape", "close box"});
    } else if (box->text() == kExitQuestion) {
      // Mostly kept open, or each run would be a string of short ones.
      m_exitConfirmed = Chance(4);
      CloseWith(box, m_exitConfirmed ? std::vector<QString>{"OK", "Enter"}
                                     : std::vector<QString>{"Cancel", "Escape", "close box"});
    } else {
      m_problems << QStringLiteral("unexpected message \"%1\"").arg(box->text());
      box->reject();
    }
  }

  void AnswerMenu(QMenu* menu) {
    const int roll = Between(0, 99);
    if (roll < 60) {
      QStringList items;
      for (const QAction* action : menu->actions()) items << action->text();
      const QString item = PickFrom(std::vector<QString>(items.begin(), items.end()));
      Did(QStringLiteral("  choose ") + item);
      ChooseMenuItem(menu, item);
    } else if (roll < 75) {
      const int downs = Between(1, 6);
      Did(QStringLiteral("  choose by Down"), QStringLiteral("%1 times").arg(downs));
      for (int i = 0; i < downs; ++i) PressKey(menu, Qt::Key_Down);
      PressKey(menu, Qt::Key_Return);
    } else {
      CloseWith(menu, {"Escape", "close box"});
    }
  }

  void AnswerPartList(QWidget* dropDown) {
    const int moves = Between(0, 5);
    const int key = Chance(50) ? Qt::Key_Down : Qt::Key_Up;
    Did(QStringLiteral("  list ") + QKeySequence(key).toString(), QStringLiteral("%1 times").arg(moves));
    for (int i = 0; i < moves; ++i) PressKey(dropDown, key);
    CloseWith(dropDown, {"Enter", "Escape"});
  }

  // One of the other views drawn as it would be seen, from whatever the
  // fields held, before the report is brought back to the front.
  void LookAtView(QWidget* results) {
    auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
    if (!tabs) return;
    const int tab = Between(1, tabs->count() - 1);
    Did(QStringLiteral("  view"), tabs->tabText(tab));
    tabs->setCurrentIndex(tab);
    tabs->currentWidget()->grab();
    tabs->setCurrentIndex(0);
  }

  void AnswerResults(QWidget* results) {
    if (Chance(50)) LookAtView(results);
    if (Chance(50)) TypeInto(results->findChild<QPlainTextEdit*>(), 3000);
    CloseWith(results, {"Enter", "Escape", "close box"});
  }

  // A few random moves in the corner dialog before it is answered; each
  // mode shows its own placeholders.
  void AnswerCorner(QWidget* corner) {
    static const std::map<QString, QStringList> kPlaceholders{
        {QStringLiteral("singleFreqRadio"), {QStringLiteral("<freq>"), QStringLiteral("<rms noise>")}},
        {QStringLiteral("throughRangeRadio"),
         {QStringLiteral("<lower freq> <upper freq>"), QStringLiteral("<noise> [<p-p | rms>]")}}};
    auto* freqRange = corner->findChild<QLineEdit*>(QStringLiteral("freqRangeEdit"));
    auto* noise = corner->findChild<QLineEdit*>(QStringLiteral("noiseEdit"));
    for (int moves = Between(0, 4); moves > 0; --moves) {
      const int roll = Between(0, 9);
      if (roll < 3) {
        const QString radio = Chance(50) ? QStringLiteral("singleFreqRadio") : QStringLiteral("throughRangeRadio");
        Did(QStringLiteral("  click ") + radio);
        QTest::mouseClick(corner->findChild<QRadioButton*>(radio), Qt::LeftButton);
        if (QStringList{freqRange->text(), noise->text()} != kPlaceholders.at(radio))
          m_problems << QStringLiteral("%1 shows \"%2\", \"%3\"").arg(radio, freqRange->text(), noise->text());
      } else if (roll < 9) {
        TypeInto(Chance(50) ? freqRange : noise, 3000);
      } else {
        Did(QStringLiteral("  Tab"));
        PressKey(corner, Qt::Key_Tab);
      }
    }
    CloseWith(corner, {"okButton", "cancelButton", "Enter", "Escape", "close box"});
  }

  void AnswerAbout(QWidget* about) {
    if (Chance(30)) {
      Did(QStringLiteral("  click websiteButton"));
      ClickButton(about, "websiteButton");
    }
    CloseWith(about, {"okButton", "Enter", "Escape", "close box"});
  }

  void Answer(QWidget* window) {
    const QPointer<QWidget> guard(window);
    const QString name = window->objectName();
    ++m_counts[QStringLiteral("window ") + QLatin1String(window->metaObject()->className()) + QLatin1Char(' ') + name];
    if (auto* box = qobject_cast<QMessageBox*>(window))
      AnswerMessage(box);
    else if (auto* menu = qobject_cast<QMenu*>(window))
      AnswerMenu(menu);
    else if (window->inherits("QComboBoxPrivateContainer"))
      AnswerPartList(window);
    else if (name == QLatin1String("ResultsDialog"))
      AnswerResults(window);
    else if (name == QLatin1String("CornerDialog"))
      AnswerCorner(window);
    else if (name == QLatin1String("AboutDialog"))
      AnswerAbout(window);
    else if (qobject_cast<QFileDialog*>(window))  // circuit files: nothing written or read by chance
      CloseWith(window, {"Escape", "close box"});
    else
      m_problems << QStringLiteral("unexpected window %1 \"%2\"").arg(name, window->windowTitle());
    if (guard && guard->isVisible()) {
      m_problems << QStringLiteral("%1 \"%2\" stayed open").arg(name, guard->windowTitle());
      guard->hide();
    }
  }

  // A drop-down does not block whatever opened it: the part list's stays
  // open after F4 until it is answered.
  void AnswerPopupsLeftOpen() {
    constexpr int kMost = 3;
    for (int i = 0; i < kMost; ++i)
      if (QWidget* popup = QApplication::activePopupWidget()) Answer(popup);
  }

  // --- Checks ------------------------------------------------------------

  // Each field holds what it held, or the core's reading of it shown back,
  // unless the step typed into it or the program rewrote it with text of
  // its own; and whatever a field has come to hold, the core reads the same
  // bytes from it after they are shown back.
  void CheckFields(const QStringList& before, const Allowance& allowance) {
    const QStringList after = m_calc->Texts();
    for (qsizetype i = 0; i < after.size(); ++i) {
      const QString& now = after[i];
      if (now == before[i]) continue;
      const std::string read = ui::ToCp1252(now);
      if (ui::ToCp1252(ui::FromCp1252(read)) != read)
        m_problems << QStringLiteral("%1 does not read back: \"%2\"").arg(QString::fromLatin1(kFieldNames[i]), Shorten(now));
      if (i == allowance.typed || now == Image(before[i])) continue;
      const bool rewritable =
          std::find(allowance.rewritten.begin(), allowance.rewritten.end(), i) != allowance.rewritten.end();
      if (!rewritable || Image(now) != now)
        m_problems
            << QStringLiteral("%1 went from \"%2\" to \"%3\"").arg(QString::fromLatin1(kFieldNames[i]), Shorten(before[i]), Shorten(now));
    }
  }

  void CheckWindow() {
    if (QWidget* left = TopWindow())
      m_problems << QStringLiteral("%1 \"%2\" left open").arg(left->objectName(), left->windowTitle());
    if (Window().isVisible() == m_exitConfirmed)
      m_problems << (m_exitConfirmed ? QStringLiteral("still shown after the exit was confirmed")
                                     : QStringLiteral("gone without a confirmed exit"));
    int checked = 0;
    for (const char* radio : kRadios) checked += m_calc->Child<QRadioButton>(radio)->isChecked() ? 1 : 0;
    if (checked != 1) m_problems << QStringLiteral("%1 amplifier types checked").arg(checked);
    const bool buffer = m_calc->Child<QRadioButton>("bufferRadio")->isChecked();
    if (m_calc->Child<QLineEdit>("r1Edit")->isEnabled() == buffer)
      m_problems
          << QStringLiteral("R1 %1 with the buffer %2").arg(buffer ? "enabled" : "disabled", buffer ? "on" : "off");
    auto* list = m_calc->Child<QComboBox>("partList");
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
    if (names != m_partNames) m_problems << QStringLiteral("the part list now holds %1").arg(names.join(u','));
    if (list->currentIndex() < -1 || list->currentIndex() >= list->count())
      m_problems << QStringLiteral("part list index %1").arg(list->currentIndex());
    for (const QUrl& url : std::as_const(m_links->opened))
      if (!kLinks.contains(url.toString())) m_problems << QStringLiteral("opened %1").arg(url.toString());
    m_links->opened.clear();
  }

  bool PartListHasFocus() const {
    const QWidget* focus = Window().focusWidget();
    auto* list = m_calc->Child<QComboBox>("partList");
    return focus && (focus == list || focus->parentWidget() == list);
  }

  // One step: a random action with every window it brings up answered,
  // the window's paint, then the checks. A confirmed exit is checked and
  // followed by a fresh window.
  QString Step() {
    const QStringList before = m_calc->Texts();
    m_did.clear();
    m_problems.clear();
    m_exitConfirmed = false;
    // The part list chooses the part its text names when it loses the focus
    // or takes Enter, as much as when a key moves through it.
    const bool listFocused = PartListHasFocus();
    Allowance allowance;
    const auto act = [&] {
      allowance = Act();
      if (listFocused) allowance.rewritten.insert(allowance.rewritten.end(), kNoiseFields.begin(), kNoiseFields.end());
      AnswerPopupsLeftOpen();
    };
    m_driver.serveRest = [this](QWidget* window) { Answer(window); };
    if (!m_driver.Run(act)) m_problems << m_driver.problems;
    QApplication::processEvents();
    // As a desktop gives the focus back to the window once the one it opened
    // has gone; the offscreen platform leaves no window active.
    if (Window().isVisible() && !Window().isActiveWindow()) {
      Window().activateWindow();
      QApplication::processEvents();
    }
    CheckFields(before, allowance);
    CheckWindow();

    m_recent.push_back(QStringLiteral("%1: %2").arg(m_step).arg(m_did.join(QStringLiteral("; "))));
    if (m_recent.size() > kRecentSteps) m_recent.pop_front();
    if (m_exitConfirmed) {
      ++m_counts[QStringLiteral("fresh window")];
      if (!OpenWindow()) m_problems << QStringLiteral("no fresh window");
    }
    if (m_problems.isEmpty()) return {};
    return QStringLiteral("TERVANE_RANDOM_SEED=%1, step %2: %3\nrecent steps:\n  %4")
        .arg(m_seed)
        .arg(m_step)
        .arg(m_problems.join(QStringLiteral("; ")),
             QStringList(m_recent.begin(), m_recent.end()).join(QStringLiteral("\n  ")));
  }

  bool OpenWindow() {
    m_calc = std::make_unique<CalculatorUnderTest>();
    return m_calc->Open(kPartFile);
  }

 private slots:
  void initTestCase() {
    g_testHandler = qInstallMessageHandler(DropPlatformWarnings);
    bool seedOk = false;
    bool stepsOk = false;
    m_seed = SeedFromEnvironment(&seedOk);
    m_steps = StepsFromEnvironment(&stepsOk);
    QVERIFY2(seedOk, "TERVANE_RANDOM_SEED is not a number from 0 to 4294967295");
    QVERIFY2(stepsOk, "TERVANE_RANDOM_STEPS is not a positive number");
    qInfo("random steps: TERVANE_RANDOM_SEED=%u TERVANE_RANDOM_STEPS=%d", m_seed, m_steps);
    m_rng.seed(m_seed);
    m_links = std::make_unique<LinkCatcher>();
    QVERIFY(OpenWindow());
    auto* list = m_calc->Child<QComboBox>("partList");
    for (int i = 0; i < list->count(); ++i) m_partNames << list->itemText(i);
    QVERIFY2(m_partNames.size() > 10, qPrintable(m_partNames.join(u',')));
  }

  void cleanupTestCase() {
    m_calc.reset();
    QStringList counts;
    for (const auto& [what, count] : m_counts) counts << QStringLiteral("%1: %2").arg(what).arg(count);
    qInfo("%s", qPrintable(counts.join(QStringLiteral(", "))));
    qInstallMessageHandler(g_testHandler);
  }

  void steps_data() {
    QTest::addColumn<int>("count");
    for (int first = 0; first < m_steps; first += kStepsPerRow)
      QTest::addRow("steps %d-%d", first, std::min(first + kStepsPerRow, m_steps) - 1)
          << std::min(kStepsPerRow, m_steps - first);
  }

  // A failed step ends the run: the steps after it would not be those a
  // replay of the seed goes through.
  void steps() {
    QFETCH(int, count);
    if (m_failed) QSKIP("a step before failed");
    for (int i = 0; i < count; ++i, ++m_step) {
      const QString failure = Step();
      m_failed = !failure.isEmpty();
      if (m_failed) QFAIL(qPrintable(failure));
    }
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::RandomSteps)
#include "random_steps.moc"
