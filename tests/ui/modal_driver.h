#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

namespace tervane::uitest {

// Drives code that blocks in a modal window or popup (a click whose handler
// calls exec()): each window that comes up meets the next handler, in
// order, or `serveRest` once they are used up. A handler runs from the
// window's own event loop, so a window it opens meets the next handler.
// Nothing hangs: a window without a handler, and every window still up at
// the deadline, is closed and counted as a problem. Check in the test body
// after Run() returns: a failed QVERIFY in a handler only leaves the handler.
// A window's title as its frame shows it: the changed mark "[*]" as "*"
// while the window is changed, else nothing.
QString ShownTitle(const QWidget* window);

class ModalDriver : public QObject {
 public:
  using Handler = std::function<void(QWidget* window)>;
  struct Window {
    QString title, text;  // a message box's text, a report's lines
  };

  explicit ModalDriver(int pollMs = 5, int deadlineMs = 5000) : m_pollMs(pollMs), m_deadlineMs(deadlineMs) {}

  // True when every window met a handler and every handler a window;
  // `problems` says what went wrong, also printed.
  bool Run(const std::function<void()>& trigger, std::vector<Handler> handlers = {});

  Handler serveRest;
  QList<Window> windows;
  QStringList problems;

 private:
  void Poll();

  int m_pollMs, m_deadlineMs;
  bool m_late = false;
  std::deque<Handler> m_handlers;
  std::vector<QPointer<QWidget>> m_served;
};

// The window that has the user's attention: a popup menu above a modal window.
QWidget* TopWindow();

// A key pressed and released where a user's key would go.
void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void ClickButton(QWidget* window, const char* objectName);
void ChooseMenuItem(QWidget* menu, const QString& text);

}  // namespace tervane::uitest
