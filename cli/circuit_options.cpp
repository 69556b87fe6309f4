#include "cli/circuit_options.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include "cli/command.h"
#include "cli/native_text.h"
#include "form/circuit_file.h"
#include "form/part_selection.h"
#include "notation/cp1252.h"
#include "notation/eng_parse.h"
#include "parts/file_check.h"

namespace tervane::cli {
namespace {

// One option per text field of the form, in the order of kFormTextFields.
struct FieldOption {
  const char* names;
  const char* description;
  bool partFigure;  // a part's figure, which a part of the library replaces
};

constexpr std::array<FieldOption, kFormTextFields.size()> kFieldOptions{{
    {"--source-resistor,--rs", "Source Resistor, ohms", false},
    {"--r1", "Resistor 1, ohms (the buffer never reads it)", false},
    {"--r2", "Resistor 2, ohms", false},
    {"--temperature,--temp",
     "Operating Temperature: Fahrenheit, or kelvin or Celsius with the letter K or C", false},
    {"--lower-freq,--fl", "Lower Frequency Bound, Hz", false},
    {"--upper-freq,--fh", "Upper Frequency Bound, Hz", false},
    {"--ref-voltage,--vref", "0dB Reference Voltage, V", false},
    {"--noise-voltage,--en", "Noise Voltage, V/rtHz (overrides the part's)", true},
    {"--noise-current,--in", "Noise Current, A/rtHz (overrides the part's)", true},
    {"--corner-freq,--fc", "1/f Corner Frequency, Hz (overrides the part's)", true},
    {"--carry", "Carry from previous calc, V (used with --with-carry)", false},
}};

const std::map<std::string, int> kAmpTypes{
    {"buffer", AMP_BUFFER},
    {"noninverting", AMP_NONINVERTING},
    {"inverting", AMP_INVERTING},
};

// The band of the previous successful calculation, as --prev-band gives it.
void SetPreviousBand(CalculatorForm& form, const std::pair<std::string, std::string>& band) {
  const double lower = ParseEngValue(Utf8ToCp1252(band.first));
  const double upper = ParseEngValue(Utf8ToCp1252(band.second));
  for (const auto& [edge, value] : {std::pair{&band.first, lower}, std::pair{&band.second, upper}})
    if (!std::isfinite(value)) throw UsageError("--prev-band: '" + *edge + "' is not a finite number");
  // A successful calculation always has its lower edge below its upper one.
  if (!(lower < upper))
    throw UsageError("--prev-band: the lower edge '" + band.first + "' must lie below the upper edge '" +
                     band.second + "'");
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = lower;
  form.m_dPrevUpperFreq = upper;
}

// The circuit file opened over `form`, as "Open Circuit..." opens it. Its
// part names the report when the library has it, as the window selects it
// only then; its figures stay the file's texts. A library that cannot be
// read has no part, as the window's list is empty then.
void OpenCircuitFile(const CircuitOptions& options, CircuitForm& circuit) {
  const std::string& name = options.circuitFile;
  const std::optional<std::filesystem::path> path = PathFromUtf8(name);
  if (!path) throw UsageError("cannot open circuit file: its name is not valid UTF-8");
  if (const std::string reason = NotAFileReason(*path); !reason.empty())
    throw UsageError("cannot read circuit file '" + name + "': " + reason);
  std::ifstream in(*path, std::ios::binary);
  if (!in) throw UsageError("cannot open circuit file '" + name + "'");
  std::string bytes(kMaxCircuitFileSize + 1, '\0');  // one byte more tells an oversized file
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));

  CircuitReading reading = ReadCircuitFile(bytes, circuit.form);
  if (!reading.form) throw UsageError("cannot read circuit file '" + name + "': " + reading.reason);
  circuit.form = std::move(*reading.form);
  const std::optional<std::filesystem::path> partFile = PathFromUtf8(options.partsFile);
  PartLibrary library;
  if (reading.partName && partFile && LoadPartLibrary(*partFile, library) &&
      library.m_partTable.Lookup(*reading.partName))
    circuit.partName = std::move(reading.partName);
}

void AddPartOptions(CLI::App& app, CircuitOptions& options, PartUse use) {
  if (use == PartUse::kEveryPart) {
    app.add_option("--parts", options.partsFile, "Part library file: every part in it is calculated")
        ->type_name("FILE")
        ->capture_default_str();
    return;
  }
  app.add_option("--parts", options.partsFile, "Part library file")->type_name("FILE")->capture_default_str();
  options.partOption =
      app.add_option("--part", options.part, "Select this part first: its noise figures fill the form")
          ->type_name("NAME");
}

}  // namespace

void AddCircuitOptions(CLI::App& app, CircuitOptions& options, PartUse use) {
  if (use == PartUse::kSelectOne)
    options.circuitOption =
        app.add_option("--circuit", options.circuitFile,
                       "Start from this circuit file (.tervane, as the desktop saves it); the other options "
                       "override it")
            ->type_name("FILE");
  options.typeOption = app.add_option("--type", options.type, "Amplifier Type")
      ->check(CLI::IsMember({"buffer", "noninverting", "inverting"}))
      ->capture_default_str();

  CalculatorForm defaults;
  ApplyFormDefaults(defaults);
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i) {
    if (use == PartUse::kEveryPart && kFieldOptions[i].partFigure) continue;
    options.fieldOptions[i] =
        app.add_option(kFieldOptions[i].names, options.fields[i], kFieldOptions[i].description)
            ->type_name("TEXT")
            ->default_str(Cp1252ToUtf8(defaults.*kFormTextFields[i].member));
  }

  app.add_flag("--no-corner-current", options.noCornerCurrent, "Clear \"Apply 1/f Corner to Noise Current\"");
  app.add_flag("--with-carry", options.withCarry,
               "Calculate as \"Calc w/Carry\": add the carried noise of the previous stage");
  options.prevBandOption =
      app.add_option("--prev-band", options.prevBand,
                     "The band of the previous successful calculation, lower and upper edge "
                     "(without it there is none)")
          ->type_name("FL FH");

  AddPartOptions(app, options, use);
}

CircuitForm BuildCircuitForm(const CircuitOptions& options) {
  CircuitForm circuit;
  CalculatorForm& form = circuit.form;
  ApplyFormDefaults(form);
  const bool fromFile = options.circuitOption && options.circuitOption->count() > 0;
  if (fromFile) OpenCircuitFile(options, circuit);
  if (!fromFile || options.typeOption->count() > 0) form.m_nAmpType = kAmpTypes.at(options.type);

  // Choosing the part first, then typing over its figures.
  if (options.partOption && options.partOption->count() > 0) {
    const PartLibrary library = LoadPartFile(options.partsFile);
    std::string name = Utf8ToCp1252(options.part);
    if (!SelectPart(form, library.m_partTable, name))
      throw UsageError("unknown part '" + options.part + "' in '" + options.partsFile + "'");
    circuit.partName = std::move(name);
  }
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i)
    if (options.fieldOptions[i] && options.fieldOptions[i]->count() > 0)
      form.*kFormTextFields[i].member = Utf8ToCp1252(options.fields[i]);
  if (options.noCornerCurrent) form.m_bApplyCorner = 0;
  form.m_bWithCarry = options.withCarry ? 1 : 0;
  if (options.prevBandOption->count() > 0) SetPreviousBand(form, options.prevBand);
  return circuit;
}

}  // namespace tervane::cli
