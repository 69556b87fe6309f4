#include "form/built_circuit.h"

#include "notation/eng_parse.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

// Nothing but white space before the end of the text (a NUL ends it, as it
// does for the notation).
bool IsBlank(std::string_view text) {
  return text.substr(0, text.find('\0')).find_first_not_of(" \t\n\v\f\r") == std::string_view::npos;
}

// A unit is named as a caption names it ("ohms"); after a number it is
// singular ("47kohm").
std::string_view UnitAfterValue(std::string_view unit) { return unit == "ohms" ? "ohm" : unit; }

}  // namespace

void ReadBuiltCircuit(const CalculatorForm& form, StageInputs& inputs) {
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const std::string& text = form.*kBuiltCircuitFields[i].member;
    inputs.*kBuiltCircuitInputs[i] = IsBlank(text) ? std::nullopt : std::optional<double>(ParseEngValue(text));
  }
}

bool HasBuiltCircuit(const StageInputs& inputs) {
  for (const auto member : kBuiltCircuitInputs)
    if (inputs.*member) return true;
  return false;
}

std::optional<std::string> BuiltCircuitLine(const StageInputs& inputs) {
  if (!HasBuiltCircuit(inputs)) return std::nullopt;
  std::string line = "Circuit as built:";
  const char* separator = " ";
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const std::optional<double>& value = inputs.*kBuiltCircuitInputs[i];
    if (!value) continue;
    const FormTextField& field = kBuiltCircuitFields[i];
    line.append(separator).append(field.symbol).append(" = ").append(ShownValue(*value));
    line.append(UnitAfterValue(field.unit));
    separator = ", ";
  }
  return line;
}

std::optional<std::string> BuiltCircuitLine(const CalculatorForm& form) {
  StageInputs inputs;
  ReadBuiltCircuit(form, inputs);
  return BuiltCircuitLine(inputs);
}

std::optional<std::string_view> LoadRefusal(const StageInputs& inputs) {
  if (inputs.ampType == AMP_INVERTING && (inputs.loadResistor || inputs.loadCapacitor)) return kLoadOnInvertingNote;
  return std::nullopt;
}

std::optional<std::string_view> BuiltCircuitRefusal(const NoiseResult& result) {
  if (result.outcome.failure != StageFailure::kLoadOnInverting) return std::nullopt;
  return kLoadOnInvertingNote;
}

}  // namespace tervane
