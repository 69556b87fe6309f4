#include "cli/circuit_options.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <ostream>
#include <vector>

#include "cli/command.h"
#include "cli/native_text.h"
#include "form/amplifier_names.h"
#include "form/built_circuit.h"
#include "form/circuit_file.h"
#include "form/part_selection.h"
#include "notation/cp1252.h"
#include "notation/eng_parse.h"
#include "parts/file_check.h"

namespace tervane::cli {
namespace {

// "Source Resistor, ohms", "Noise Voltage, V/rtHz (overrides the part's)"
std::string OptionDescription(const FormTextField& field, std::string_view partNote) {
  std::string text(field.caption);
  if (!field.unit.empty()) text.append(", ").append(field.unit);
  text.append(field.note);
  if (field.partFigure) text.append(partNote);
  return text;
}

// Offers every field of `table` as an option, but the figures a part fills in
// unless `partNote` says how they meet the part's.
template <std::size_t N>
void AddFieldOptions(CLI::App& app, const std::array<FormTextField, N>& table, FieldOptions<N>& fields,
                     std::optional<std::string_view> partNote) {
  CalculatorForm defaults;
  ApplyFormDefaults(defaults);
  for (std::size_t i = 0; i < N; ++i) {
    const FormTextField& field = table[i];
    if (field.partFigure && !partNote) continue;
    fields.options[i] =
        app.add_option(std::string(field.options), fields.texts[i], OptionDescription(field, partNote.value_or("")))
            ->type_name("TEXT")
            ->default_str(Cp1252ToUtf8(defaults.*field.member));
  }
}

// The fields typed on the command line, over what the form holds.
template <std::size_t N>
void TypeFields(CalculatorForm& form, const std::array<FormTextField, N>& table, const FieldOptions<N>& fields) {
  for (std::size_t i = 0; i < N; ++i)
    if (fields.options[i] && fields.options[i]->count() > 0) form.*table[i].member = Utf8ToCp1252(fields.texts[i]);
}

std::vector<std::string> AmplifierKeys() {
  std::vector<std::string> keys;
  for (const AmplifierNames& names : kAmplifierNames) keys.emplace_back(names.key);
  return keys;
}

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
// part names the report when the library has it; its figures stay the
// file's texts.
void OpenCircuitFile(const CircuitOptions& options, CircuitForm& circuit) {
  const std::string& name = options.circuitFile;
  CircuitReading reading = ReadCircuitFile(ReadCircuitBytes(name), circuit.form);
  if (!reading.form) throw UsageError("cannot read circuit file '" + name + "': " + reading.reason);
  circuit.form = std::move(*reading.form);
  if (reading.partName && ListedParts(options.parts).m_partTable.Lookup(*reading.partName))
    circuit.partName = std::move(reading.partName);
  if (reading.measurement) {
    const std::u8string where = MeasurementPathOf(*PathFromUtf8(name), *reading.measurement).u8string();
    reading.measurement->file.assign(where.begin(), where.end());
    circuit.measurement = std::move(reading.measurement);
  }
}

void AddPartOptions(CLI::App& app, CircuitOptions& options, PartUse use) {
  if (use == PartUse::kEveryPart) {
    AddPartFileOption(app, options.parts, "Part library file: every part in it is calculated");
    return;
  }
  AddPartFileOption(app, options.parts, "Part library file");
  options.partOption =
      app.add_option("--part", options.part, "Select this part first: its noise figures fill the form")
          ->type_name("NAME");
}

// "--noise-index-r1 (R1 Noise Index)"
std::string OptionAndCaption(const FormTextField& field) {
  const std::string_view options = field.options;
  return std::string(options.substr(0, options.find(','))) + " (" + std::string(field.caption) + ")";
}

// --rb cancel: the bias resistor that cancels the bias currents' offsets in
// the circuit as given; each resistor's excess noise whole or not given, and
// no part refused (PartRefusal), in the words the desktop refuses "OK" with.
void CheckBuiltCircuit(const CircuitOptions& options, CalculatorForm& form) {
  const std::size_t rb = static_cast<std::size_t>(
      std::ranges::find(kBuiltCircuitFields, &CalculatorForm::m_strBiasResistor, &FormTextField::member) -
      kBuiltCircuitFields.begin());
  if (const CLI::Option* option = options.builtFields.options[rb];
      option && option->count() > 0 && MeansBiasCancelling(options.builtFields.texts[rb]) &&
      !SetBiasCancellingResistor(form))
    throw UsageError("--rb cancel: the stage has no finite resistance that cancels the bias currents");
  if (const std::optional<HalfExcessNoise> half = FindHalfExcessNoise(form))
    throw UsageError(OptionAndCaption(*half->given) + " is given without " + OptionAndCaption(*half->missing) + ": " +
                     std::string(kHalfExcessNoiseReason));
  if (const std::optional<std::string> refusal = PartRefusal(ReadNoiseInputs(form).inputs))
    throw UsageError(Cp1252ToUtf8(*refusal));
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
      ->check(CLI::IsMember(AmplifierKeys()))
      ->capture_default_str();

  constexpr std::string_view kOverrides = " (overrides the part's)";
  // Every part gives its en, in and fc; a part's line may leave out the rest.
  AddFieldOptions(app, kFormTextFields, options.fields,
                  use == PartUse::kSelectOne ? std::optional(kOverrides) : std::nullopt);
  AddFieldOptions(app, kBuiltCircuitFields, options.builtFields,
                  use == PartUse::kSelectOne ? kOverrides : " (for the parts whose line gives none)");

  app.add_flag("--no-corner-current", options.noCornerCurrent, "Clear \"Apply 1/f Corner to Noise Current\"");
  app.add_flag("--cf-for-q", options.cfForQ,
               "Transimpedance: set Feedback Capacitor to the Cf that makes the loop's Q 0.707, from Rf, the input "
               "capacitance (Cd + Ccm + Cdiff), Rsh and GBW (as \"Cf for Q = 0.707\"; over --cf)");
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
  if (!fromFile || options.typeOption->count() > 0) form.m_nAmpType = *AmplifierOfKey(options.type);

  // Choosing the part first, then typing over its figures.
  if (options.partOption && options.partOption->count() > 0) {
    const std::string partsFile = options.parts.Path();
    const PartLibrary library = LoadPartFile(partsFile);
    std::string name = Utf8ToCp1252(options.part);
    if (!SelectPart(form, library.m_partTable, name))
      throw UsageError("unknown part '" + options.part + "' in '" + partsFile + "'");
    circuit.partName = std::move(name);
  }
  TypeFields(form, kFormTextFields, options.fields);
  TypeFields(form, kBuiltCircuitFields, options.builtFields);
  CheckBuiltCircuit(options, form);
  if (options.cfForQ)
    if (const std::optional<std::string_view> refusal = SetCfForQ(form))
      throw UsageError("--cf-for-q: " + std::string(*refusal));
  if (options.noCornerCurrent) form.m_bApplyCorner = 0;
  form.m_bWithCarry = options.withCarry ? 1 : 0;
  if (options.prevBandOption->count() > 0) SetPreviousBand(form, options.prevBand);
  return circuit;
}

std::string ReadCircuitBytes(const std::string& name) {
  const std::optional<std::filesystem::path> path = PathFromUtf8(name);
  if (!path) throw UsageError("cannot open circuit file: its name is not valid UTF-8");
  if (const std::string reason = NotAFileReason(*path); !reason.empty())
    throw UsageError("cannot read circuit file '" + name + "': " + reason);
  std::ifstream in(*path, std::ios::binary);
  if (!in) throw UsageError("cannot open circuit file '" + name + "'");
  std::string bytes(kMaxCircuitFileSize + 1, '\0');  // one byte more tells an oversized file
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

PartLibrary ListedParts(const PartFileOption& parts) {
  const std::optional<std::filesystem::path> file = PathFromUtf8(parts.Path());
  PartLibrary library;
  if (!file || !LoadPartLibrary(*file, library)) return {};
  return library;
}

void NoteRefusal(const NoiseResult& result, std::ostream& err) {
  if (const std::optional<std::string> note = BuiltCircuitRefusal(result))
    err << "tervane-cli: " << Cp1252ToUtf8(*note) << '\n';
}

}  // namespace tervane::cli
