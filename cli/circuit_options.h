#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/part_file.h"
#include "form/amplifier_names.h"
#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "form/measured_overlay.h"

namespace tervane::cli {

// What a command does with the part library.
enum class PartUse {
  kSelectOne,  // --part NAME picks one part; --en, --in and --fc type over its figures
  kEveryPart,  // every part is calculated in turn: its figures are the only ones
};

// The texts of one table of the form's fields, as typed on the command line.
template <std::size_t N>
struct FieldOptions {
  std::array<std::string, N> texts;
  std::array<CLI::Option*, N> options{};  // null where not offered
};

// The circuit a command calculates: the form's fields, the amplifier type,
// the check box, carry mode and the part, as calc takes them.
struct CircuitOptions {
  std::string circuitFile;  // a .tervane file the form starts from; the other options override it
  CLI::Option* circuitOption = nullptr;  // null under kEveryPart
  std::string type{NamesOfAmplifier(AMP_NONINVERTING)->key};
  CLI::Option* typeOption = nullptr;
  FieldOptions<kFormTextFields.size()> fields;
  FieldOptions<kBuiltCircuitFields.size()> builtFields;  // the circuit as it is built
  bool noCornerCurrent = false;
  bool cfForQ = false;  // Feedback Capacitor set for the transimpedance loop's Q = 0.707 (SetCfForQ)
  bool withCarry = false;
  std::pair<std::string, std::string> prevBand;
  CLI::Option* prevBandOption = nullptr;
  PartFileOption parts;
  std::string part;
  CLI::Option* partOption = nullptr;  // null under kEveryPart
};

// Registers the circuit options on `app`; `options` must outlive the parse.
// --parts is registered here for both uses, with the help text of each.
void AddCircuitOptions(CLI::App& app, CircuitOptions& options, PartUse use);

struct CircuitForm {
  CalculatorForm form;
  // Windows-1252, when --part chose one, or the circuit file named one the
  // library has
  std::optional<std::string> partName;
  // The measurement the circuit file keeps, its file's name (UTF-8) where
  // it lies, a relative one taken from the circuit file's folder
  std::optional<MeasurementReference> measurement;
};

// The form as the desktop window would hold it: the defaults, the circuit
// file opened over them, the type, the part chosen first, then the typed
// fields over it, Cf for Q = 0.707, the check box and the carry state. A
// part that is not in the file, a file that cannot be read, a circuit file
// that is not sound, a part of the circuit as built refused (half a
// resistor's excess noise, PartRefusal), a --cf-for-q without an answer or
// a reversed --prev-band is a UsageError.
CircuitForm BuildCircuitForm(const CircuitOptions& options);

// The bytes of the circuit file named on the command line, read up to one
// byte past the largest a circuit file may be; a file that cannot be
// opened is a UsageError.
std::string ReadCircuitBytes(const std::string& name);

// The library `parts` resolves to, for the part names of a circuit file,
// which the window selects only where its list has them: a library that
// cannot be read is empty, as the window's list is then.
PartLibrary ListedParts(const PartFileOption& parts);

// One line on `err` that says why the circuit as built was refused, beside
// the error report; nothing for any other result.
void NoteRefusal(const NoiseResult& result, std::ostream& err);

}  // namespace tervane::cli
