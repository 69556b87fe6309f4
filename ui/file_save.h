#pragma once

#include <QString>

#include <functional>

class QByteArray;
class QIODevice;
class QWidget;

namespace tervane::ui {

// Asks where to save, starting in the folder of the last file saved or
// opened while the program runs (at first the current folder). `filters`
// are a file dialog's ("PNG image (*.png);;..."); the one chosen goes to
// `chosenFilter`. Empty when the user cancels. The dialogs draw their lists
// without reading any file, so a folder such as /proc cannot block them.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName, const QString& filters,
                        QString* chosenFilter = nullptr);

// Asks for a file to open, starting in the same folder as AskSaveFileName.
// Empty when the user cancels.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters);

// The next file dialog starts in the folder of `path`, a file just saved or
// opened: a save or open that failed leaves the start where it was.
void RememberFolder(const QString& path);

// `write` fills a temporary file in the same folder, which then takes the
// place of `path` in one rename, so that a failed or half-done write
// leaves any old file as it was. A failure (`write` returning false, no
// permission, a full disk, a folder in the way) is told in a message box
// naming the file. A target that is there but is no regular file (a
// folder, a device, a FIFO, a file of the kernel's such as /proc/kmsg) is
// refused, never replaced. True when the file
// was written.
bool SaveFile(QWidget* parent, const QString& path, const std::function<bool(QIODevice& file)>& write);
bool SaveFile(QWidget* parent, const QString& path, const QByteArray& bytes);

}  // namespace tervane::ui
