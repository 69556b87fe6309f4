#include "modal_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace tervane::uitest {
namespace {

QString WindowText(QWidget* window) {
  if (auto* box = qobject_cast<QMessageBox*>(window)) return box->text();
  auto* field = window->findChild<QPlainTextEdit*>();
  return field ? field->toPlainText() : QString();
}

// A window that refuses to close still ends its event loop when hidden.
void Dismiss(QWidget* window) {
  if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
  window->close();
  window->hide();
}

}  // namespace

bool ModalDriver::Run(const std::function<void()>& trigger, std::vector<Handler> handlers) {
  m_handlers.assign(handlers.begin(), handlers.end());
  m_served.clear();
  windows.clear();
  problems.clear();
  m_late = false;
  QTimer poll;
  connect(&poll, &QTimer::timeout, this, &ModalDriver::Poll);
  poll.start(m_pollMs);
  QTimer::singleShot(m_deadlineMs, &poll, [this] { m_late = true; });
  trigger();
  if (!m_handlers.empty()) problems << QStringLiteral("%1 handler(s) got no window").arg(m_handlers.size());
  for (const QString& problem : std::as_const(problems)) qWarning("%s", qPrintable(problem));
  return problems.isEmpty();
}

// Handlers run from a queued call: Qt fires no timer again while its slot
// runs, so a window a handler opens would never be polled.
void ModalDriver::Poll() {
  QWidget* window = TopWindow();
  if (!window || (!m_late && std::find(m_served.begin(), m_served.end(), window) != m_served.end())) return;
  if (m_late || (m_handlers.empty() && !serveRest)) {
    problems
        << QStringLiteral("%1 \"%2\" closed").arg(m_late ? "at the deadline" : "unexpected", ShownTitle(window));
    return Dismiss(window);
  }
  windows.append({ShownTitle(window), WindowText(window)});
  m_served.emplace_back(window);
  Handler handler = serveRest;
  if (!m_handlers.empty()) handler = std::move(m_handlers.front()), m_handlers.pop_front();
  QMetaObject::invokeMethod(
      this,
      [this, target = QPointer<QWidget>(window), handler] {
        if (target) handler(target);
        if (target && !target->isVisible()) std::erase(m_served, target);  // it may meet a handler again
      },
      Qt::QueuedConnection);
}

QString ShownTitle(const QWidget* window) {
  return window->windowTitle().replace(QStringLiteral("[*]"), window->isWindowModified() ? QStringLiteral("*") : QString());
}

QWidget* TopWindow() {
  QWidget* popup = QApplication::activePopupWidget();
  return popup ? popup : QApplication::activeModalWidget();
}

void PressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, static_cast<Qt::Key>(key), modifiers);
}

void ClickButton(QWidget* window, const char* objectName) {
  window->findChild<QAbstractButton*>(QString::fromLatin1(objectName))->click();
}

void ChooseMenuItem(QWidget* menu, const QString& text) {
  auto* m = qobject_cast<QMenu*>(menu);
  for (QAction* action : m->actions())
    if (action->text() == text) return QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(action).center());
}

}  // namespace tervane::uitest
