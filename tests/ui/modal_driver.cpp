#include "modal_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace tervane::uitest {

// The polling only ever runs while the trigger blocks in a window's event
// loop; the default interval is short enough that a test waits for no
// window noticeably.
ModalDriver::ModalDriver(std::chrono::milliseconds deadline, std::chrono::milliseconds pollInterval)
    : m_deadline(deadline), m_pollInterval(pollInterval) {}

bool ModalDriver::Run(const std::function<void()>& trigger, std::vector<Handler> handlers) {
  m_handlers.assign(handlers.begin(), handlers.end());
  const bool ok = Drive(trigger);
  if (!m_handlers.empty()) m_problems << QStringLiteral("%1 handler(s) got no window").arg(m_handlers.size());
  m_handlers.clear();
  return ok && m_problems.isEmpty();
}

bool ModalDriver::RunServingEvery(const std::function<void()>& trigger, Handler handler) {
  m_handlers.clear();
  m_everyWindow = std::move(handler);
  const bool ok = Drive(trigger);
  m_everyWindow = nullptr;
  return ok;
}

bool ModalDriver::Drive(const std::function<void()>& trigger) {
  m_served.clear();
  m_windows.clear();
  m_problems.clear();
  m_timedOut = false;

  QTimer poll;
  poll.setInterval(m_pollInterval);
  connect(&poll, &QTimer::timeout, this, &ModalDriver::Poll);
  QTimer deadline;
  deadline.setSingleShot(true);
  connect(&deadline, &QTimer::timeout, this, [this] {
    m_timedOut = true;
    Poll();
  });
  poll.start();
  deadline.start(m_deadline);

  trigger();

  poll.stop();
  deadline.stop();
  return m_problems.isEmpty();
}

void ModalDriver::Poll() {
  QWidget* window = TopWindow();
  if (!window) return;
  if (m_timedOut) {
    m_problems << QStringLiteral("deadline reached, closed \"%1\"").arg(window->windowTitle());
    Dismiss(window);
    return;
  }
  if (Served(window)) return;  // its handler is queued, running, or left it open

  m_windows.append(
      {QString::fromLatin1(window->metaObject()->className()), window->windowTitle(), WindowText(window)});
  if (m_handlers.empty() && !m_everyWindow) {
    m_problems << QStringLiteral("unexpected modal window \"%1\"").arg(window->windowTitle());
    Dismiss(window);
    return;
  }
  Serve(window);
}

// Qt does not fire a timer again while its slot runs, so a handler called
// straight from Poll() could not be helped with a window it opens itself.
// A window its handler has closed is forgotten, so that it meets a handler
// again should it come up again.
void ModalDriver::Serve(QWidget* window) {
  m_served.emplace_back(window);
  Handler handler = m_everyWindow;
  if (!m_handlers.empty()) {
    handler = std::move(m_handlers.front());
    m_handlers.pop_front();
  }
  QMetaObject::invokeMethod(
      this,
      [this, target = QPointer<QWidget>(window), handler = std::move(handler)] {
        if (!target) {
          m_problems << QStringLiteral("a window closed before its handler ran");
          return;
        }
        handler(target);
        if (target && !target->isVisible()) std::erase(m_served, target);
      },
      Qt::QueuedConnection);
}

void ModalDriver::Dismiss(QWidget* window) {
  if (auto* dialog = qobject_cast<QDialog*>(window))
    dialog->reject();
  else
    window->close();
  if (window->isVisible()) window->hide();  // a window that refuses still ends its event loop
}

bool ModalDriver::Served(const QWidget* window) const {
  return std::any_of(m_served.begin(), m_served.end(),
                     [window](const QPointer<QWidget>& served) { return served == window; });
}

QWidget* TopWindow() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::activeModalWidget();
}

QString WindowText(QWidget* window) {
  if (auto* box = qobject_cast<QMessageBox*>(window)) return box->text();
  if (auto* menu = qobject_cast<QMenu*>(window)) {
    QStringList items;
    for (const QAction* action : menu->actions()) items << action->text();
    return items.join(QLatin1Char('\n'));
  }
  if (auto* field = window->findChild<QPlainTextEdit*>()) return field->toPlainText();
  return {};
}

void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

void ClickButton(QWidget* window, QMessageBox::StandardButton button) {
  if (auto* box = qobject_cast<QMessageBox*>(window))
    if (QAbstractButton* b = box->button(button)) b->click();
}

void ClickButton(QWidget* window, const char* objectName) {
  if (auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(objectName))) b->click();
}

void ChooseMenuItem(QWidget* menu, const QString& text) {
  auto* m = qobject_cast<QMenu*>(menu);
  if (!m) return;
  for (QAction* action : m->actions())
    if (action->text() == text) {
      QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(action).center());
      return;
    }
}

ModalDriver::Handler PressKeyHandler(int key) {
  return [key](QWidget* window) { PressKey(window, key); };
}

ModalDriver::Handler ClickHandler(QMessageBox::StandardButton button) {
  return [button](QWidget* window) { ClickButton(window, button); };
}

ModalDriver::Handler ClickHandler(const char* objectName) {
  return [objectName](QWidget* window) { ClickButton(window, objectName); };
}

ModalDriver::Handler MenuItemHandler(const QString& text) {
  return [text](QWidget* window) { ChooseMenuItem(window, text); };
}

}  // namespace tervane::uitest
