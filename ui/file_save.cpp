#include "ui/file_save.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

namespace tervane::ui {
namespace {

QString& LastFolder() {
  static QString folder;
  return folder;
}

QString StartFolder() { return LastFolder().isEmpty() ? QDir::currentPath() : LastFolder(); }

QString Remembered(const QString& path) {
  if (!path.isEmpty()) LastFolder() = QFileInfo(path).absolutePath();
  return path;
}

}  // namespace

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName, const QString& filters,
                        QString* chosenFilter) {
  return Remembered(
      QFileDialog::getSaveFileName(parent, caption, QDir(StartFolder()).filePath(fileName), filters, chosenFilter));
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters) {
  return Remembered(QFileDialog::getOpenFileName(parent, caption, StartFolder(), filters));
}

bool SaveFile(QWidget* parent, const QString& path, const std::function<bool(QIODevice& file)>& write) {
  QSaveFile file(path);
  QString reason;
  if (!file.open(QIODevice::WriteOnly))
    reason = file.errorString();
  else if (!write(file) || !file.commit())
    reason = file.errorString().isEmpty() || file.error() == QFileDevice::NoError ? QStringLiteral("the write failed")
                                                                                  : file.errorString();
  if (reason.isEmpty()) return true;
  QMessageBox::warning(parent, QStringLiteral("Save"),
                       QStringLiteral("Could not save %1: %2.\nAny file there before is unchanged.")
                           .arg(QDir::toNativeSeparators(path), reason));
  return false;
}

bool SaveFile(QWidget* parent, const QString& path, const QByteArray& bytes) {
  return SaveFile(parent, path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
}

}  // namespace tervane::ui
