#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

namespace tervane::uitest {

// Drives code that blocks in a modal window or popup (a click whose handler
// calls exec()): every window that comes up meets the next handler of a
// list, in order. A handler runs from the window's own event loop through a
// queued call, so it may open a nested window of its own that the next
// handler then serves.
//
// The driver never lets a test hang or fail silently: a window with no
// handler left is closed and reported as unexpected, a handler that never
// got a window is reported as unused, and at the deadline every window
// still open is closed and reported. Checks belong in the test body after
// Run() returns (a failed QVERIFY inside a handler would only leave the
// handler), so each window's title and text are recorded as it comes up.
class ModalDriver : public QObject {
 public:
  using Handler = std::function<void(QWidget* window)>;

  struct Window {
    QString kind;   // the class name, "QMessageBox", "QMenu", ...
    QString title;  // windowTitle()
    QString text;   // a message box's text, a menu's items or a text field's lines
  };

  // `pollInterval` is how often a blocked trigger is looked at for a new
  // window; zero looks on every turn of the window's event loop.
  explicit ModalDriver(std::chrono::milliseconds deadline = std::chrono::seconds(5),
                       std::chrono::milliseconds pollInterval = std::chrono::milliseconds(5));

  // Runs `trigger` with `handlers` standing by; true when every window met a
  // handler, every handler met a window and the deadline was not reached.
  // Problems() then says what went wrong.
  bool Run(const std::function<void()>& trigger, std::vector<Handler> handlers);

  // Runs `trigger` with `handler` standing by for every window that comes
  // up, however many, a window shown again included; true when the
  // deadline was not reached.
  bool RunServingEvery(const std::function<void()>& trigger, Handler handler);

  const QList<Window>& Windows() const { return m_windows; }
  QString Problems() const { return m_problems.join(QStringLiteral("; ")); }

 private:
  bool Drive(const std::function<void()>& trigger);
  void Poll();
  void Serve(QWidget* window);
  void Dismiss(QWidget* window);
  bool Served(const QWidget* window) const;

  std::chrono::milliseconds m_deadline;
  std::chrono::milliseconds m_pollInterval;
  std::deque<Handler> m_handlers;
  Handler m_everyWindow;  // set while RunServingEvery() runs
  std::vector<QPointer<QWidget>> m_served;
  QList<Window> m_windows;
  QStringList m_problems;
  bool m_timedOut = false;
};

// The window that has the user's attention: a popup menu above a modal window.
QWidget* TopWindow();

// What a window shows, as recorded in ModalDriver::Window::text.
QString WindowText(QWidget* window);

// Sends a key press and release to the window's focused widget, where a
// user's key would go.
void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Clicks a button of a message box, or the child button of that object name.
void ClickButton(QWidget* window, QMessageBox::StandardButton button);
void ClickButton(QWidget* window, const char* objectName);

// Clicks a menu item, as the mouse would, in the middle of its text.
void ChooseMenuItem(QWidget* menu, const QString& text);

// Ready-made handlers for the common cases.
ModalDriver::Handler PressKeyHandler(int key);
ModalDriver::Handler ClickHandler(QMessageBox::StandardButton button);
ModalDriver::Handler ClickHandler(const char* objectName);
ModalDriver::Handler MenuItemHandler(const QString& text);

}  // namespace tervane::uitest
