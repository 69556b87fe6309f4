#pragma once

#include <span>
#include <string>
#include <vector>

#include "form/calculator_form.h"

namespace tervane {

// By the fields of `table`, what a calculation reads a field's text as when
// that leaves part of the text unread (ReadEngValue), in the caption's
// words: Resistor 1 reads "4k7" as 4k (Windows-1252); empty for a field read
// whole, and for a blank one. The temperature is read with its scale letter,
// as the calculation reads it. Every field is read whatever the topology and
// the carry mode.
std::vector<std::string> FieldReadingNotes(const CalculatorForm& form,
                                           std::span<const FormTextField> table = kFormTextFields);

}  // namespace tervane
