#pragma once

#include <QString>

#include <functional>

class QByteArray;
class QIODevice;
class QWidget;

namespace tervane::ui {

// Asks where to save, starting in the folder of the last file saved while
// the program runs (at first the current folder). `filters` are a file
// dialog's ("PNG image (*.png);;..."); the one chosen goes to `chosenFilter`.
// Empty when the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& fileName, const QString& filters,
                        QString* chosenFilter = nullptr);

// Asks for a file to open, starting in the same folder as AskSaveFileName,
// which it then remembers. Empty when the user cancels.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filters);

// `write` fills a temporary file in the same folder, which then takes the
// place of `path` in one rename, so that a failed or half-done write
// leaves any old file as it was. A failure (`write` returning false, no
// permission, a full disk, a folder in the way) is told in a message box
// naming the file. True when the file was written.
bool SaveFile(QWidget* parent, const QString& path, const std::function<bool(QIODevice& file)>& write);
bool SaveFile(QWidget* parent, const QString& path, const QByteArray& bytes);

}  // namespace tervane::ui
