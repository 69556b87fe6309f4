#pragma once

#include <QString>

class QTableView;
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

}  // namespace tervane::ui
