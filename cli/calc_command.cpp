// tervane-cli calc: one calculation, as "Calculate" or "Calc w/Carry" runs it
// on a form that starts at the defaults.

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "cli/command.h"
#include "cli/cp1252.h"
#include "cli/part_file.h"
#include "cli/text_output.h"
#include "noise/calculator_form.h"
#include "noise/noise_calculation.h"
#include "noise/noise_report.h"
#include "notation/eng_parse.h"
#include "parts/part_selection.h"

namespace tervane::cli {
namespace {

// One option per text field of the form, in the order of kFormTextFields.
struct FieldOption {
  const char* names;
  const char* description;
};

constexpr std::array<FieldOption, kFormTextFields.size()> kFieldOptions{{
    {"--source-resistor,--rs", "Source Resistor, ohms"},
    {"--r1", "Resistor 1, ohms (the buffer never reads it)"},
    {"--r2", "Resistor 2, ohms"},
    {"--temperature,--temp",
     "Operating Temperature: Fahrenheit, or kelvin or Celsius with the letter K or C"},
    {"--lower-freq,--fl", "Lower Frequency Bound, Hz"},
    {"--upper-freq,--fh", "Upper Frequency Bound, Hz"},
    {"--ref-voltage,--vref", "0dB Reference Voltage, V"},
    {"--noise-voltage,--en", "Noise Voltage, V/rtHz (overrides the part's)"},
    {"--noise-current,--in", "Noise Current, A/rtHz (overrides the part's)"},
    {"--corner-freq,--fc", "1/f Corner Frequency, Hz (overrides the part's)"},
    {"--carry", "Carry from previous calc, V (used with --with-carry)"},
}};

const std::map<std::string, int> kAmpTypes{
    {"buffer", AMP_BUFFER},
    {"noninverting", AMP_NONINVERTING},
    {"inverting", AMP_INVERTING},
};

constexpr const char* kCalcFooter =
    "Field values are taken verbatim, exactly as typed into the form (engineering\n"
    "notation: 4.7k, 3n, 400f; u, the micro sign or the Greek mu for micro). A value\n"
    "that begins with '-' and a non-digit is written --option=VALUE.\n"
    "--parts is read only when --part is given.\n"
    "\n"
    "Formats: text  the report, UTF-8, one line per line of the report\n"
    "         raw   the report's exact bytes: Windows-1252, CR LF line ends, no line\n"
    "               end after the gain\n"
    "         json  {error, report, fields_after, prev_band_after, reduced, values};\n"
    "               values holds T_K F G Sn Vn_own Vn SNR, null where not computed\n"
    "               or not finite; reduced is whether the report shows the carry\n"
    "               reduction line\n"
    "\n"
    "Exit status: 0 calculated; 1 the report is \"error, check inputs for\n"
    "consistency\" (the output is still printed; the form keeps its text);\n"
    "2 usage error.";

struct CalcOptions {
  std::string type = "noninverting";
  std::array<std::string, kFormTextFields.size()> fields;
  std::array<CLI::Option*, kFormTextFields.size()> fieldOptions{};
  bool noCornerCurrent = false;
  bool withCarry = false;
  std::pair<std::string, std::string> prevBand;
  CLI::Option* prevBandOption = nullptr;
  std::string partsFile = DefaultPartFile();
  std::string part;
  CLI::Option* partOption = nullptr;
  std::string format = "text";
};

// The band of the previous successful calculation, as --prev-band gives it.
void SetPreviousBand(CalculatorForm& form, const std::pair<std::string, std::string>& band) {
  const double lower = ParseEngValue(Utf8ToCp1252(band.first));
  const double upper = ParseEngValue(Utf8ToCp1252(band.second));
  // A successful calculation always has its lower edge below its upper one.
  if (!(std::isfinite(lower) && std::isfinite(upper) && lower < upper))
    throw UsageError("--prev-band: the lower edge '" + band.first + "' must lie below the upper edge '" +
                     band.second + "'");
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = lower;
  form.m_dPrevUpperFreq = upper;
}

Json CalcJson(const CalculatorForm& form, const NoiseResult& result, const std::string& report) {
  Json fields = Json::object();
  for (const auto& field : kFormTextFields)
    fields[std::string(field.key)] = Cp1252ToUtf8(form.*field.member);

  Json prevBand = nullptr;
  if (form.m_bHavePrevBand) prevBand = Json::array({form.m_dPrevLowerFreq, form.m_dPrevUpperFreq});

  Json values = Json::object();
  values["T_K"] = NumberOrNull(result.temperature.kelvin);
  values["F"] = NumberOrNull(result.flicker);
  values["G"] = NumberOrNull(result.gain);
  values["Sn"] = NumberOrNull(result.outputDensity);
  values["Vn_own"] = NumberOrNull(result.ownNoise);
  values["Vn"] = NumberOrNull(result.totalNoise);
  values["SNR"] = NumberOrNull(result.snr);

  Json doc = Json::object();
  doc["error"] = result.error;
  doc["report"] = Cp1252ToUtf8(report);
  doc["fields_after"] = std::move(fields);
  doc["prev_band_after"] = std::move(prevBand);
  doc["reduced"] = !result.error && result.reduced;
  doc["values"] = std::move(values);
  return doc;
}

int RunCalc(const CalcOptions& options, std::ostream& out) {
  CalculatorForm form;
  ApplyFormDefaults(form);
  form.m_nAmpType = kAmpTypes.at(options.type);

  // Choosing the part first, then typing over its figures.
  std::optional<std::string> partName;
  if (options.partOption->count() > 0) {
    const PartLibrary library = LoadPartFile(options.partsFile);
    std::string name = Utf8ToCp1252(options.part);
    if (!SelectPart(form, library.m_partTable, name))
      throw UsageError("unknown part '" + options.part + "' in '" + options.partsFile + "'");
    partName = std::move(name);
  }
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i)
    if (options.fieldOptions[i]->count() > 0)
      form.*kFormTextFields[i].member = Utf8ToCp1252(options.fields[i]);
  if (options.noCornerCurrent) form.m_bApplyCorner = 0;
  form.m_bWithCarry = options.withCarry ? 1 : 0;
  if (options.prevBandOption->count() > 0) SetPreviousBand(form, options.prevBand);

  const NoiseResult result = ComputeNoise(form);
  const std::string report = BuildNoiseReport(result, partName);
  WriteBackResults(form, result);

  if (options.format == "raw")
    out << report;
  else if (options.format == "json")
    WriteJson(out, CalcJson(form, result, report));
  else
    WriteTerminalText(out, report);
  return result.error ? kExitInputError : kExitOk;
}

}  // namespace

Command AddCalcCommand(CLI::App& parent) {
  auto options = std::make_shared<CalcOptions>();
  CLI::App* app = parent.add_subcommand("calc", "One noise calculation, from a form that starts at the defaults");
  app->footer(kCalcFooter);

  app->add_option("--type", options->type, "Amplifier Type")
      ->check(CLI::IsMember({"buffer", "noninverting", "inverting"}))
      ->capture_default_str();

  CalculatorForm defaults;
  ApplyFormDefaults(defaults);
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i) {
    options->fieldOptions[i] =
        app->add_option(kFieldOptions[i].names, options->fields[i], kFieldOptions[i].description)
            ->type_name("TEXT")
            ->default_str(Cp1252ToUtf8(defaults.*kFormTextFields[i].member));
  }

  app->add_flag("--no-corner-current", options->noCornerCurrent,
                "Clear \"Apply 1/f Corner to Noise Current\"");
  app->add_flag("--with-carry", options->withCarry,
                "Calculate as \"Calc w/Carry\": add the carried noise of the previous stage");
  options->prevBandOption =
      app->add_option("--prev-band", options->prevBand,
                      "The band of the previous successful calculation, lower and upper edge "
                      "(without it there is none)")
          ->type_name("FL FH");

  app->add_option("--parts", options->partsFile, "Part library file")->type_name("FILE")->capture_default_str();
  options->partOption =
      app->add_option("--part", options->part, "Select this part first: its noise figures fill the form")
          ->type_name("NAME");

  app->add_option("--format", options->format, "Output format: text, raw or json")
      ->check(CLI::IsMember({"text", "raw", "json"}))
      ->capture_default_str();

  return {app, [options](std::ostream& out) { return RunCalc(*options, out); }};
}

}  // namespace tervane::cli
