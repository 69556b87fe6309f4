#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <string_view>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace tervane::ui {

// A view of the results window that "Save As..." writes to a file.
class CSavableView {
 public:
  virtual ~CSavableView() = default;
  // Asks where, and writes; a view with nothing to show does nothing.
  virtual void SaveAs() = 0;
};

// Asks where to save `csv`, the core's Windows-1252 text, and writes it
// as UTF-8 through SaveFile, its control characters as U+FFFD as the
// command line writes them (Cp1252ToPrintableUtf8).
void SaveCsvAs(QWidget* parent, const QString& caption, const QString& fileName, std::string_view csv);

QList<int> AllRows(const QAbstractItemModel& model);

// Rows of a table's model as tab-separated text, the header first, each
// field quoted as a spreadsheet pastes it.
QString TableText(const QAbstractItemModel& model, const QList<int>& rows);

// The commands every table of the results window has: Ctrl+C and "Copy"
// copy the selected rows, "Copy Table" every row, both with the header;
// "Save As..." calls `saveAs` when given. All in the table's context menu.
void AddTableCommands(QTableView* table, const std::function<void()>& saveAs = {});

// An action of `widget`'s context menu, named "<objectName>" for tests.
void AddContextCommand(QWidget* widget, const char* objectName, const QString& text,
                       const std::function<void()>& run);

}  // namespace tervane::ui
