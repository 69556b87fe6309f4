#include "form/built_circuit.h"

#include <algorithm>
#include <cctype>

#include "noise/noise_calculation.h"
#include "noise/stage_response.h"
#include "notation/eng_parse.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

// The text up to its end (a NUL ends it, as it does for the notation)
// without the white space around it.
std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n\v\f\r";
  text = text.substr(0, text.find('\0'));
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
}

bool IsBlank(std::string_view text) { return Trimmed(text).empty(); }

// A unit is named as a caption names it ("ohms"); after a number it is
// singular ("47kohm").
std::string_view UnitAfterValue(std::string_view unit) { return unit == "ohms" ? "ohm" : unit; }

// Every field goes to one place in the stage, a part or half of a
// resistor's excess noise, which no other field goes to.
constexpr bool EveryFieldPlacedOnce() {
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const StagePlace& place = kBuiltCircuitFields[i].stage;
    if (!place.part == !place.excess || BuiltCircuitFieldOf(place) != i) return false;
  }
  return true;
}
static_assert(EveryFieldPlacedOnce());

// Each resistor's excess noise has both its fields, captioned with its name.
constexpr bool ExcessNoiseFieldsWhole() {
  for (const ExcessNoiseFields& e : kExcessNoiseFields) {
    if (e.dcVolts == kBuiltCircuitFields.size()) return false;
    const std::string_view index = kBuiltCircuitFields[e.noiseIndex].caption;
    const std::string_view volts = kBuiltCircuitFields[e.dcVolts].caption;
    if (index.substr(e.resistor.size()) != " Noise Index" || !volts.starts_with(e.resistor) ||
        volts.substr(e.resistor.size()) != " DC Voltage")
      return false;
  }
  return true;
}
static_assert(ExcessNoiseFieldsWhole());

std::optional<double> FieldValue(const CalculatorForm& form, std::size_t field) {
  const std::string& text = form.*kBuiltCircuitFields[field].member;
  return IsBlank(text) ? std::nullopt : std::optional<double>(ParseEngValue(text));
}

// "Feedback Capacitor cannot be negative (...)." for the field of `part`,
// kept for as long as the program runs.
std::string_view NegativePartNote(std::optional<double> StageInputs::*part) {
  static const std::array<std::string, kBuiltCircuitFields.size()> notes = [] {
    std::array<std::string, kBuiltCircuitFields.size()> made;
    for (std::size_t i = 0; i < made.size(); ++i)
      made[i] = std::string(kBuiltCircuitFields[i].caption) + " cannot be negative (an empty field leaves it out).";
    return made;
  }();
  return notes.at(BuiltCircuitFieldOf(StagePart(part)));
}

// Why the stage lacks `resistor`: "the buffer has none", "it is 0 ohm",
// "none is given".
std::string_view WhyNoResistor(const StageInputs& inputs, ExcessResistor resistor) {
  if (resistor == ExcessResistor::kR1 && inputs.ampType == AMP_BUFFER) return "the buffer has none";
  if (inputs.ampType == AMP_TRANSIMPEDANCE && resistor != ExcessResistor::kR2 && resistor != ExcessResistor::kRb)
    return "the transimpedance amplifier has none";
  if (resistor == ExcessResistor::kRload && !inputs.loadResistor) return "none is given";
  if (resistor == ExcessResistor::kRb && !inputs.biasResistor) return "none is given";
  return "it is 0 ohm";
}

// "Rs Noise Index and Rs DC Voltage are given, but the stage has no Rs (it
// is 0 ohm), ..."
std::string ExcessNoiseOfNoResistorNote(const StageInputs& inputs, ExcessResistor resistor) {
  const ExcessNoiseFields& fields = kExcessNoiseFields[ExcessIndex(resistor)];
  const std::string name(fields.resistor);
  std::string note(kBuiltCircuitFields[fields.noiseIndex].caption);
  note.append(" and ").append(kBuiltCircuitFields[fields.dcVolts].caption);
  note.append(" are given, but the stage has no ").append(name);
  note.append(" (").append(WhyNoResistor(inputs, resistor)).append("), and a resistor that is not there has ");
  return note.append("no excess noise: clear them, or give the stage its ").append(name).append(".");
}

}  // namespace

void ReadBuiltCircuit(const CalculatorForm& form, StageInputs& inputs) {
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
    if (const StagePlace& place = kBuiltCircuitFields[i].stage; place.part) inputs.*place.part = FieldValue(form, i);
  for (std::size_t r = 0; r < kExcessNoiseFields.size(); ++r) {
    const std::optional<double> index = FieldValue(form, kExcessNoiseFields[r].noiseIndex);
    const std::optional<double> volts = FieldValue(form, kExcessNoiseFields[r].dcVolts);
    inputs.excess[r] = index && volts ? std::optional(ExcessNoise{*index, *volts}) : std::nullopt;
  }
  if (MeansBiasCancelling(form.m_strBiasResistor)) inputs.biasResistor = BiasCancellingResistor(inputs).value_or(NAN);
}

bool MeansBiasCancelling(std::string_view text) {
  return std::ranges::equal(Trimmed(text), std::string_view("cancel"),
                            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::optional<double> BuiltCircuitValue(const StageInputs& inputs, std::size_t field) {
  const StagePlace& place = kBuiltCircuitFields[field].stage;
  if (place.part) return inputs.*place.part;
  const std::optional<ExcessNoise>& excess = inputs.excess[ExcessIndex(place.resistor)];
  if (!excess) return std::nullopt;
  return (*excess).*place.excess;
}

std::optional<HalfExcessNoise> FindHalfExcessNoise(const CalculatorForm& form) {
  for (const ExcessNoiseFields& e : kExcessNoiseFields) {
    const FormTextField& index = kBuiltCircuitFields[e.noiseIndex];
    const FormTextField& volts = kBuiltCircuitFields[e.dcVolts];
    const bool hasIndex = !IsBlank(form.*index.member);
    if (hasIndex != !IsBlank(form.*volts.member))
      return hasIndex ? HalfExcessNoise{&index, &volts} : HalfExcessNoise{&volts, &index};
  }
  return std::nullopt;
}

std::string HalfExcessNoiseReason(const HalfExcessNoise& half) {
  return std::string(half.given->caption) + " is given without " + std::string(half.missing->caption) + ": " +
         std::string(kHalfExcessNoiseReason);
}

std::string HalfExcessNoiseText(const HalfExcessNoise& half) { return HalfExcessNoiseReason(half) + "."; }

bool ReadsBuiltCircuitField(int type, std::size_t field) {
  if (type != AMP_TRANSIMPEDANCE) return field < kFirstTransimpedanceField;
  const StagePlace& place = kBuiltCircuitFields[field].stage;
  for (const auto part : {&StageInputs::sourceInductance, &StageInputs::loadResistor, &StageInputs::loadCapacitor})
    if (place.part == part) return false;
  return place.part || place.resistor == ExcessResistor::kR2 || place.resistor == ExcessResistor::kRb;
}

// Every field of the circuit as built makes the stage one solved over
// frequency, and nothing else does.
bool HasBuiltCircuit(const StageInputs& inputs) { return IsFrequencyDependent(inputs); }

std::optional<std::string> BuiltCircuitLine(const StageInputs& inputs) {
  if (!HasBuiltCircuit(inputs)) return std::nullopt;
  std::string line(kBuiltCircuitLead);
  const char* separator = " ";
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const std::optional<double> value = BuiltCircuitValue(inputs, i);
    if (!value || !ReadsBuiltCircuitField(inputs.ampType, i)) continue;
    const FormTextField& field = kBuiltCircuitFields[i];
    line.append(separator).append(field.symbol).append(" = ").append(ShownValue(*value));
    line.append(UnitAfterValue(field.unit));
    separator = ", ";
  }
  if (line == kBuiltCircuitLead) return std::nullopt;  // a TIA with none of them given
  return line;
}

std::optional<std::string_view> LoadRefusal(const StageInputs& inputs) {
  const bool load = inputs.loadResistor || inputs.loadCapacitor;
  if (inputs.ampType == AMP_INVERTING && load) return kLoadOnInvertingNote;
  if (inputs.ampType == AMP_TRANSIMPEDANCE && (load || inputs.sourceInductance)) return kSourceOnTransimpedanceNote;
  return std::nullopt;
}

std::optional<std::string> PartRefusal(const StageInputs& inputs) {
  if (const std::optional<FaultyPart> faulty = FindFaultyPart(inputs)) {
    if (faulty->fault == PartFault::kBiasCapacitorAlone) return std::string(kBiasCapacitorAloneNote);
    if (faulty->fault == PartFault::kCorrelationOutOfRange) return std::string(kCorrelationOutOfRangeNote);
    if (faulty->fault == PartFault::kZeroResponsivity) return std::string(kZeroResponsivityNote);
    return std::string(NegativePartNote(faulty->part));
  }
  if (const std::optional<ExcessResistor> resistor = ExcessNoiseOfNoResistor(inputs))
    return ExcessNoiseOfNoResistorNote(inputs, *resistor);
  return std::nullopt;
}

}  // namespace tervane
