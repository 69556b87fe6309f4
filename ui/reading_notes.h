#pragma once

#include <QString>

#include <span>

#include "form/calculator_form.h"

class QLabel;
class QLineEdit;

namespace tervane::ui {

// A tooltip that shows `text` as it is, whatever markup it seems to hold.
QString PlainTip(const QString& text);

// Whether `text`, wrapped at the label's width, fits its height.
bool FitsLabel(const QLabel* label, const QString& text);

// Under a window's fields, as they are typed: `first` on a line of its own
// when there is one, then what each field of `table` (its edit in `edits`,
// in the table's order) whose text is read in part will be read as
// (FieldReadingNotes), which is also the field's tip. Notes that do not fit
// the label as it is laid out now are counted instead.
void ShowReadingNotes(QLabel* label, std::span<QLineEdit* const> edits, std::span<const FormTextField> table,
                      const QString& first = QString());

}  // namespace tervane::ui
