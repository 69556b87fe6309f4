#include "ui/file_save.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStorageInfo>

namespace tervane::ui {
namespace {

QString& LastFolder() {
  static QString folder;
  return folder;
}

QString StartFolder() { return LastFolder().isEmpty() ? QDir::currentPath() : LastFolder(); }

// Qt's own file dialog (the one used where the desktop offers none) asks
// its icon provider for each entry's icon and type on the window's thread,
// and the stock provider reads a file's first bytes when its name does not
// tell the type: in /proc (kmsg) or on a FIFO that read never returns. This
// one goes by the name alone.
class CNameOnlyIconProvider : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;
  QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
  QString type(const QFileInfo& info) const override {
    if (!info.isFile()) return QFileIconProvider::type(info);
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    return mime.comment().isEmpty() ? mime.name() : mime.comment();
  }
};

QString AskFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filters,
                    QFileDialog::AcceptMode mode, QString* chosenFilter = nullptr) {
  CNameOnlyIconProvider icons;
  QFileDialog dialog(parent, caption, start, filters);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setIconProvider(&icons);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (chosenFilter) *chosenFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().constFirst();
}

// The kernel's own file systems hold its settings and messages (/proc/kmsg,
// /sys/power/state), files that look regular but keep nothing written into
// them; no file can be made beside them either.
bool OnKernelFileSystem(const QString& path) {
  static const QList<QByteArray> kKernelFileSystems{"proc",       "sysfs",    "debugfs", "tracefs",
                                                    "securityfs", "configfs", "cgroup",  "cgroup2",
                                                    "efivarfs",   "pstore",   "bpf"};
  return kKernelFileSystems.contains(QStorageInfo(path).fileSystemType());
}

// A FIFO or a device cannot be replaced without losing what it is, and
// writing into it could block the window for good (a FIFO nobody reads) or
// leave no file behind; so only a regular file, or none, is saved over.
QString RefusalOf(const QString& path) {
  const QFileInfo target(path);
  const bool regular = target.isFile() && !OnKernelFileSystem(path);
  return target.exists() && !regular ? QStringLiteral("it is not a regular file") : QString();
}

QString ErrorOf(const QSaveFile& file) {
  return file.error() == QFileDevice::NoError || file.errorString().isEmpty() ? QStringLiteral("the write failed")
                                                                              : file.errorString();
}

}  // namespace

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName, const QString& filters,
                        QString* chosenFilter) {
  return AskFileName(parent, caption, QDir(StartFolder()).filePath(fileName), filters, QFileDialog::AcceptSave,
                     chosenFilter);
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters) {
  return AskFileName(parent, caption, StartFolder(), filters, QFileDialog::AcceptOpen);
}

void RememberFolder(const QString& path) { LastFolder() = QFileInfo(path).absolutePath(); }

bool SaveFile(QWidget* parent, const QString& path, const std::function<bool(QIODevice& file)>& write) {
  QString reason = RefusalOf(path);
  if (reason.isEmpty()) {
    QSaveFile file(path);
    // commit() does not check the flush of the last buffered bytes
    // (QTBUG-75077): on a full disk a small file would take the old one's
    // place empty. Without a commit the temporary file is dropped.
    if (!file.open(QIODevice::WriteOnly))
      reason = file.errorString();
    else if (!write(file) || !file.flush() || !file.commit())
      reason = ErrorOf(file);
  }
  if (reason.isEmpty()) {
    RememberFolder(path);
    return true;
  }
  QMessageBox::warning(parent, QStringLiteral("Save"),
                       QStringLiteral("Could not save %1: %2.\nAny file there before is unchanged.")
                           .arg(QDir::toNativeSeparators(path), reason));
  return false;
}

bool SaveFile(QWidget* parent, const QString& path, const QByteArray& bytes) {
  return SaveFile(parent, path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}

}  // namespace tervane::ui
