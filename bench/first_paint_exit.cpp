// Linked into a program whose life is one dialog's exec(): ends that dialog
// once its first paint is done, so that a run of the program is its start-up
// to the first frame and its way out.
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace {

class FirstPaintExit : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (m_ending || event->type() != QEvent::Paint) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* dialog = widget ? qobject_cast<QDialog*>(widget->window()) : nullptr;
    if (!dialog) return false;
    m_ending = true;
    // Queued, so that the paint under way, children included, completes
    // and reaches the screen first.
    QMetaObject::invokeMethod(
        dialog, [dialog] { dialog->done(QDialog::Accepted); }, Qt::QueuedConnection);
    return false;
  }

 private:
  bool m_ending = false;
};

void InstallFirstPaintExit() { QCoreApplication::instance()->installEventFilter(new FirstPaintExit(qApp)); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintExit)
