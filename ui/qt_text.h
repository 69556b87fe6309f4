#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "form/calculator_form.h"

namespace tervane::ui {

// The core keeps its text in single-byte Windows-1252; the widgets show
// Unicode. These two are the only crossings, and they use the converter the
// command line uses, so that both front ends map every character alike
// (Greek mu to the micro sign, anything else unmappable to '?').
QString FromCp1252(std::string_view text);
std::string ToCp1252(const QString& text);

// A unit as the core writes it in plain ASCII ("ohms", "V/rtHz"), with the
// signs a window can show ("Ω", "V/√Hz").
QString UnitText(std::string_view unit);

// A field's caption with its unit, as a window labels it: "Source Inductance
// (H)", "Operating Temperature" (no unit).
QString FieldCaption(const FormTextField& field);

// The object name of the main window's edit for the form field `key`:
// "lower_freq" is lowerFreqEdit.
QString FieldEditName(std::string_view key);

// A value as every field and report line shows it (ShownValue), with `unit`
// appended; an infinity is the sign "∞".
QString EngText(double value, const QString& unit = QString());

}  // namespace tervane::ui
