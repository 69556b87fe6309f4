#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "form/text_table.h"

class QTableView;
class QTableWidget;
class QWidget;

namespace tervane::ui {

// The names a test or a screen reader finds a control by.
void SetNames(QWidget* widget, const QString& objectName, const QString& accessibleName);

// Fills an empty view with one line saying why it has nothing to show.
void ShowUnavailable(QWidget* view, const QString& text);

// Why no view of a failed calculation has anything to show.
QString FailedCalculationText();

// A table that is read, not edited: whole rows selected (several to copy), columns as wide as
// their contents, the header left-aligned over the text.
void SetUpReadOnlyTable(QTableView* table);

// A core table as the windows show it: the headings first, then the rows,
// each cell from Windows-1252 and units with the signs a window can show
// (V/√Hz). What a view shows and the PDF prints.
QList<QStringList> QtRows(const TextTable& table);

// `table` showing `text`: its headings as the header, a read-only cell each.
void FillTable(QTableWidget* table, const TextTable& text);

}  // namespace tervane::ui
