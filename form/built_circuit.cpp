#include "form/built_circuit.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

// The excess noise's fields follow the others, two a resistor.
constexpr bool ExcessNoiseFieldsInPlace() {
  std::size_t next = kBuiltCircuitInputs.size();
  for (const ExcessNoiseFields& e : kExcessNoiseFields) {
    const std::string_view index = kBuiltCircuitFields[e.noiseIndex].caption;
    const std::string_view volts = kBuiltCircuitFields[e.dcVolts].caption;
    if (e.noiseIndex != next || e.dcVolts != next + 1 || !index.starts_with(e.resistor) ||
        index.substr(e.resistor.size()) != " Noise Index" || !volts.starts_with(e.resistor) ||
        volts.substr(e.resistor.size()) != " DC Voltage")
      return false;
    next += 2;
  }
  return next == kBuiltCircuitFields.size();
}
static_assert(ExcessNoiseFieldsInPlace());

std::optional<double> FieldValue(const CalculatorForm& form, std::size_t field) {
  const std::string& text = form.*kBuiltCircuitFields[field].member;
  return IsBlank(text) ? std::nullopt : std::optional<double>(ParseEngValue(text));
}

// "Feedback Capacitor cannot be negative (...)." for the part at `field`
// of kBuiltCircuitInputs, kept for as long as the program runs.
std::string_view NegativePartNote(std::size_t field) {
  static const std::array<std::string, kBuiltCircuitInputs.size()> notes = [] {
    std::array<std::string, kBuiltCircuitInputs.size()> made;
    for (std::size_t i = 0; i < made.size(); ++i)
      made[i] = std::string(kBuiltCircuitFields[i].caption) + " cannot be negative (an empty field leaves it out).";
    return made;
  }();
  return notes[field];
}

}  // namespace

void ReadBuiltCircuit(const CalculatorForm& form, StageInputs& inputs) {
  for (std::size_t i = 0; i < kBuiltCircuitInputs.size(); ++i) inputs.*kBuiltCircuitInputs[i] = FieldValue(form, i);
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
  if (field < kBuiltCircuitInputs.size()) return inputs.*kBuiltCircuitInputs[field];
  const std::size_t r = (field - kBuiltCircuitInputs.size()) / 2;
  const std::optional<ExcessNoise>& excess = inputs.excess[r];
  if (!excess) return std::nullopt;
  return field == kExcessNoiseFields[r].noiseIndex ? excess->noiseIndexDb : excess->dcVolts;
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

bool SetBiasCancellingResistor(CalculatorForm& form) {
  const std::optional<double> rb = BiasCancellingResistor(ComputeNoise(form).inputs);
  if (!rb) return false;
  form.m_strBiasResistor = ShownValue(*rb);
  return true;
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
    if (!value) continue;
    const FormTextField& field = kBuiltCircuitFields[i];
    line.append(separator).append(field.symbol).append(" = ").append(ShownValue(*value));
    line.append(UnitAfterValue(field.unit));
    separator = ", ";
  }
  return line;
}

std::optional<std::string> BuiltCircuitLine(const CalculatorForm& form) {
  return BuiltCircuitLine(ReadNoiseInputs(form).inputs);
}

std::optional<std::string_view> LoadRefusal(const StageInputs& inputs) {
  if (inputs.ampType == AMP_INVERTING && (inputs.loadResistor || inputs.loadCapacitor)) return kLoadOnInvertingNote;
  return std::nullopt;
}

std::optional<std::string_view> PartRefusal(const StageInputs& inputs) {
  const std::optional<FaultyPart> faulty = FindFaultyPart(inputs);
  if (!faulty) return std::nullopt;
  if (faulty->fault == PartFault::kBiasCapacitorAlone) return kBiasCapacitorAloneNote;
  if (faulty->fault == PartFault::kCorrelationOutOfRange) return kCorrelationOutOfRangeNote;
  return NegativePartNote(static_cast<std::size_t>(std::ranges::find(kBuiltCircuitInputs, faulty->part) -
                                                   kBuiltCircuitInputs.begin()));
}

namespace {

// "Source Inductance and Load Capacitor resonate at 15.92kHz, ..."
std::string LosslessResonanceNote(double frequency) {
  return "Source Inductance and Load Capacitor resonate at " + ShownValue(frequency) +
         "Hz, in the band, with no resistance to damp them: the current noise through them has no bound there. "
         "Give a Source Resistor or a Load Resistor, or a band that leaves the resonance out.";
}

// Why the stage lacks `resistor`: "the buffer has none", "it is 0 ohm",
// "none is given".
std::string_view WhyNoResistor(const StageInputs& inputs, ExcessResistor resistor) {
  if (resistor == ExcessResistor::kR1 && inputs.ampType == AMP_BUFFER) return "the buffer has none";
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

std::optional<std::string> BuiltCircuitRefusal(const NoiseResult& result) {
  switch (result.outcome.failure.value_or(StageFailure::kNotFinite)) {
    case StageFailure::kLoadOnInverting:
      return std::string(kLoadOnInvertingNote);
    case StageFailure::kFaultyPart:
      return std::string(*PartRefusal(result.inputs));
    case StageFailure::kLosslessResonance:
      return LosslessResonanceNote(LosslessResonance(result.inputs).value_or(NAN));
    case StageFailure::kExcessNoiseOfNoResistor:
      return ExcessNoiseOfNoResistorNote(result.inputs, *ExcessNoiseOfNoResistor(result.inputs));
    default:
      return std::nullopt;
  }
}

}  // namespace tervane
