#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "form/calculator_form.h"
#include "noise/stage_inputs.h"

namespace tervane {

// Reads the circuit as it is built into `inputs`: a field that is empty or
// blank leaves its part absent, any other text is read as every field is. A
// resistor's excess noise is there only with both its fields. Bias Resistor
// "cancel" (MeansBiasCancelling) is the value that cancels the bias
// currents' offsets in the stage `inputs` holds, which must be read first
// (not finite where there is none).
void ReadBuiltCircuit(const CalculatorForm& form, StageInputs& inputs);

// Whether a Bias Resistor text asks for the value that cancels the bias
// currents' offsets: "cancel" in any case, blanks around it.
bool MeansBiasCancelling(std::string_view text);

// The value of `inputs` that field `field` of kBuiltCircuitFields gives;
// none where it is absent (a noise index or DC voltage where the resistor's
// excess noise is).
std::optional<double> BuiltCircuitValue(const StageInputs& inputs, std::size_t field);

// Half of a resistor's excess noise: the field given, and its partner left
// empty, the first such pair in kExcessNoiseFields order; none when every
// pair is whole or empty.
struct HalfExcessNoise {
  const FormTextField* given;
  const FormTextField* missing;
};
std::optional<HalfExcessNoise> FindHalfExcessNoise(const CalculatorForm& form);

// Why half a resistor's excess noise is not taken, after what is missing.
inline constexpr std::string_view kHalfExcessNoiseReason = "a resistor's excess noise takes both, or neither";

// "R1 Noise Index is given without R1 DC Voltage: " and the reason, as a
// file's refusal says it; as a sentence, which the desktop says in place of
// taking it.
std::string HalfExcessNoiseReason(const HalfExcessNoise& half);
std::string HalfExcessNoiseText(const HalfExcessNoise& half);

// Whether a stage of `type` reads field `field` of kBuiltCircuitFields: a
// voltage stage none of the transimpedance amplifier's, which reads no
// source inductance or load and has no R1, Rs or Rload for excess noise.
bool ReadsBuiltCircuitField(int type, std::size_t field);

// Whether any part of the circuit as it is built is given.
bool HasBuiltCircuit(const StageInputs& inputs);

// "Circuit as built: Ls = 500mH, Rload = 47kohm, Cload = 200pF", the parts
// in use with their values, for the report and both windows; none when the
// stage is the textbook one or a transimpedance amplifier without any (a
// voltage stage leaves out that amplifier's fields, which it does not
// read). The line starts with kBuiltCircuitLead.
inline constexpr std::string_view kBuiltCircuitLead = "Circuit as built:";
std::optional<std::string> BuiltCircuitLine(const StageInputs& inputs);

// Why a calculation with a load in the inverting stage failed, and what to
// do about it; shown beside the error report.
inline constexpr std::string_view kLoadOnInvertingNote =
    "The inverting stage has no + input for a load to sit on: clear Load Resistor and Load Capacitor, "
    "or choose the buffer or the non-inverting stage.";

// Why a calculation with a source inductance or a load in the transimpedance
// amplifier failed.
inline constexpr std::string_view kSourceOnTransimpedanceNote =
    "The transimpedance amplifier's source is the photodiode: clear Source Inductance, Load Resistor and Load "
    "Capacitor, or choose a voltage stage.";

// kLoadOnInvertingNote when `inputs` put a load on the inverting stage, and
// kSourceOnTransimpedanceNote when they give the transimpedance amplifier a
// source inductance or a load, which the calculation refuses; none
// otherwise.
std::optional<std::string_view> LoadRefusal(const StageInputs& inputs);

// Why "Calc w/Carry" is refused for the transimpedance amplifier.
inline constexpr std::string_view kCarryIntoTransimpedanceNote =
    "\"Calc w/Carry\" carries a voltage into the stage, and the transimpedance amplifier's input is a current: "
    "there is no voltage to carry. Press \"Calculate\".";

// Why the transimpedance amplifier has no solution.
inline constexpr std::string_view kTransimpedanceNoSolutionNote =
    "The transimpedance amplifier needs its feedback resistor Rf (Resistor 2) above 0 ohm, and a Shunt Resistance "
    "of 0 ohm would short the photodiode: leave it empty where there is none.";

// Why the calculation refuses a correlation beyond -1..1, Cb without Rb,
// and a responsivity of 0.
inline constexpr std::string_view kCorrelationOutOfRangeNote =
    "Current Noise Correlation must lie between -1 and 1 (0: the inputs' current noise independent).";
inline constexpr std::string_view kBiasCapacitorAloneNote =
    "Bias Capacitor is given without Bias Resistor: Cb lies across Rb; give Rb, or clear Bias Capacitor.";
inline constexpr std::string_view kZeroResponsivityNote =
    "Responsivity cannot be 0: it would turn no light into current (an empty field leaves it out).";

// Why the calculation refuses the first faulty part of `inputs`
// (FindFaultyPart), or excess noise given for a resistor the stage lacks
// (ExcessNoiseOfNoResistor): the one sentence that the dialog refuses "OK"
// with, the command line refuses the options with and the results show:
// kCorrelationOutOfRangeNote, kBiasCapacitorAloneNote, kZeroResponsivityNote, "Feedback Capacitor
// cannot be negative (an empty field leaves it out).", or "Rs Noise Index
// and Rs DC Voltage are given, but the stage has no Rs (it is 0 ohm), ...";
// none where every part given is one the stage can have.
std::optional<std::string> PartRefusal(const StageInputs& inputs);

}  // namespace tervane
