#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "noise/stage_inputs.h"

namespace tervane {

// Where each field of kBuiltCircuitFields goes in the stage's inputs, in the
// table's order.
inline constexpr std::array<std::optional<double> StageInputs::*, kBuiltCircuitFields.size()> kBuiltCircuitInputs{
    &StageInputs::sourceInductance,  &StageInputs::loadResistor,  &StageInputs::loadCapacitor,
    &StageInputs::feedbackCapacitor, &StageInputs::gainBandwidth, &StageInputs::currentCorner,
};

// Reads the circuit as it is built into `inputs`: a field that is empty or
// blank leaves its part absent, any other text is read as every field is.
void ReadBuiltCircuit(const CalculatorForm& form, StageInputs& inputs);

// Whether any part of the circuit as it is built is given.
bool HasBuiltCircuit(const StageInputs& inputs);

// "Circuit as built: Ls = 500mH, Rload = 47kohm, Cload = 200pF", the parts
// in use with their values, for the report and both windows; none when the
// stage is the textbook one.
std::optional<std::string> BuiltCircuitLine(const StageInputs& inputs);
std::optional<std::string> BuiltCircuitLine(const CalculatorForm& form);

// Why a calculation with a load in the inverting stage failed, and what to
// do about it; shown beside the error report.
inline constexpr std::string_view kLoadOnInvertingNote =
    "The inverting stage has no + input for a load to sit on: clear Load Resistor and Load Capacitor, "
    "or choose the buffer or the non-inverting stage.";

// kLoadOnInvertingNote when `inputs` put a load on the inverting stage,
// which the calculation refuses; none otherwise.
std::optional<std::string_view> LoadRefusal(const StageInputs& inputs);

// kLoadOnInvertingNote when it is why `result` failed; none otherwise.
std::optional<std::string_view> BuiltCircuitRefusal(const NoiseResult& result);

}  // namespace tervane
