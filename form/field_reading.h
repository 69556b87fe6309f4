#pragma once

#include <array>
#include <string>

#include "form/calculator_form.h"

namespace tervane {

// By kFormTextFields, what a calculation reads a field's text as when that
// leaves part of the text unread (ReadEngValue), in the caption's words:
// Resistor 1 reads "4k7" as 4k (Windows-1252); empty for a field read whole.
// The temperature is read with its scale letter, as the calculation reads
// it. Every field is read whatever the topology and the carry mode.
std::array<std::string, kFormTextFields.size()> FieldReadingNotes(const CalculatorForm& form);

}  // namespace tervane
