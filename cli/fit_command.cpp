// tervane-cli fit: the op amp's noise figures fitted to measured spectra of
// the stage, as the desktop's "Fit..." fits them.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/circuit_options.h"
#include "cli/command.h"
#include "cli/measured_options.h"
#include "cli/text_output.h"
#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "measured/noise_fit.h"
#include "notation/cp1252.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane::cli {
namespace {

constexpr const char* kFitFooter =
    "The circuit options are calc's: the stage as it was measured, the op amp's\n"
    "figures (--part, --en, --in, --fc, --fci) where the fit starts. --measured is\n"
    "the output noise of that stage (the unit options are spectrum's, the same for\n"
    "every file); a further --measured is the same stage with the source resistor\n"
    "--rs2 gives it, one --rs2 for each measurement after the first, in order.\n"
    "One measurement through a resistive source cannot separate en from in: use\n"
    "two source resistances (a low and a high Rs, as data sheets measure them).\n"
    "--fit names the figures fitted, any of en, fc, in, fci and gain (the measuring\n"
    "chain's flat gain error, a ratio); the others are held as given. Least squares\n"
    "of the densities in dB, each decade weighing alike, bounded to physical values.\n"
    "\n"
    "Formats: text  a line per figure: its value and standard error (en V/rtHz,\n"
    "               fc Hz, in A/rtHz, fci Hz, gain), the residual rms in dB and\n"
    "               whether the fit converged\n"
    "         json  {\"fitted\": {\"en\": {\"value\": V, \"stderr\": S}, ...},\n"
    "               \"residual_rms_db\": X, \"converged\": true|false}; stderr null\n"
    "               where the measurements do not fix the figure\n"
    "\n"
    "Exit status: 0 fitted; 1 no fit (a line says why: a stage that cannot be\n"
    "calculated, or no measurement that the model spans), or the fit did not\n"
    "converge (the best point found is printed); 2 usage error.";

struct FitCommandOptions {
  CircuitOptions circuit;
  MeasuredOptions measured;
  std::vector<std::string> rs2;
  std::string fit;
  std::string format = "text";
};

constexpr std::array<std::string_view, kFitParameterCount> kFitUnits{"V/rtHz", "Hz", "A/rtHz", "Hz", ""};

FitOptions FitOptionsOf(const std::string& list) {
  FitOptions options;
  std::string_view rest = list;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view key = rest.substr(0, comma);
    const std::optional<FitParameter> parameter = FitParameterOfKey(key);
    if (!parameter)
      throw UsageError("--fit: '" + std::string(key) + "' is none of en, fc, in, fci and gain");
    options.chosen[FitIndex(*parameter)] = true;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return options;
}

// The source resistors --rs2 gives, in ohms, each read whole as a field is.
std::vector<double> SourceResistorsOf(const std::vector<std::string>& rs2) {
  std::vector<double> ohms;
  for (const std::string& text : rs2) {
    const std::optional<double> rs = ReadSourceResistor(Utf8ToCp1252(text));
    if (!rs) throw UsageError("--rs2: '" + text + "' is not a resistance of 0 ohm or more");
    ohms.push_back(*rs);
  }
  return ohms;
}

// Each measurement in its stage: the first in the circuit as given, each
// further one with its --rs2.
std::vector<FitMeasurement> MeasurementsOf(const FitCommandOptions& options, std::string& failure) {
  if (options.rs2.size() + 1 != options.measured.files.size())
    throw UsageError("--rs2: " + std::to_string(options.measured.files.size()) + " measurements need " +
                     std::to_string(options.measured.files.size() - 1) + " --rs2, one for each after the first; " +
                     std::to_string(options.rs2.size()) + " given");
  const std::vector<double> sourceResistors = SourceResistorsOf(options.rs2);
  const ReadOptions read = ReadOptionsOf(options.measured);
  const NoiseResult first = ComputeNoise(BuildCircuitForm(options.circuit).form);
  std::vector<FitMeasurement> measurements;
  for (std::size_t k = 0; k < options.measured.files.size(); ++k) {
    const NoiseResult result = k == 0 ? first : AtSourceResistor(first, sourceResistors[k - 1]);
    if (result.outcome.failure) {
      failure = "No fit: the stage of measurement " + std::to_string(k + 1) +
                " cannot be calculated (error, check inputs for consistency)";
      return {};
    }
    measurements.push_back({ReadMeasurement(options.measured.files[k], read).spectrum, result.inputs});
  }
  return measurements;
}

void WriteFitText(std::ostream& out, const NoiseFit& fit) {
  for (const FitParameterName& name : kFitParameters) {
    const std::optional<FittedValue>& value = fit.fitted[FitIndex(name.parameter)];
    if (!value) continue;
    const std::string_view unit = kFitUnits[FitIndex(name.parameter)];
    std::string line = std::string(name.key) + " = " + ShownValue(value->value) + std::string(unit);
    line += value->standardError ? " +- " + ShownValue(*value->standardError) + std::string(unit)
                                 : " (no standard error: the measurements do not fix it)";
    out << Cp1252ToUtf8(line) << '\n';
  }
  out << "residual rms = " << FormatFixed(fit.residualRmsDb, 3) << " dB\n";
  if (fit.converged)
    out << "converged after " << fit.iterations << " iterations\n";
  else
    out << "did not converge: the best point after " << fit.iterations << " iterations\n";
}

Json FitJson(const NoiseFit& fit) {
  Json fitted = Json::object();
  for (const FitParameterName& name : kFitParameters)
    if (const std::optional<FittedValue>& value = fit.fitted[FitIndex(name.parameter)])
      fitted[std::string(name.key)] = {{"value", NumberOrNull(value->value)},
                                       {"stderr", NumberOrNull(value->standardError)}};
  return {{"fitted", std::move(fitted)},
          {"residual_rms_db", NumberOrNull(fit.residualRmsDb)},
          {"converged", fit.converged}};
}

int RunFit(const FitCommandOptions& options, std::ostream& out, std::ostream&) {
  const FitOptions fitOptions = FitOptionsOf(options.fit);
  std::string failure;
  const std::vector<FitMeasurement> measurements = MeasurementsOf(options, failure);
  if (measurements.empty()) {
    out << failure << '\n';
    return kExitInputError;
  }
  const NoiseFitting fitting = FitNoise(measurements, fitOptions);
  if (!fitting.fit) {
    out << "No fit: " << Cp1252ToUtf8(fitting.reason) << '\n';
    return kExitInputError;
  }
  if (options.format == "json")
    WriteJson(out, FitJson(*fitting.fit));
  else
    WriteFitText(out, *fitting.fit);
  return fitting.fit->converged ? kExitOk : kExitInputError;
}

Command AddFitOptions(CLI::App* app) {
  auto options = std::make_shared<FitCommandOptions>();
  app->footer(kFitFooter);
  AddCircuitOptions(*app, options->circuit, PartUse::kSelectOne);
  AddMeasuredOptions(*app, options->measured, true);
  options->measured.filesOption->required();
  app->add_option("--rs2", options->rs2,
                  "The source resistor of the second measurement's stage (ohms), then of the third's ...")
      ->type_name("R")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app->add_option("--fit", options->fit, "The figures fitted: en, fc, in, fci, gain, comma-separated")
      ->type_name("LIST")
      ->required();
  app->add_option("--format", options->format, "Output format: text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  return {app, [options](std::ostream& out, std::ostream& err) { return RunFit(*options, out, err); }};
}

}  // namespace

const CommandEntry kFitCommand{"fit", "The op amp's en, fc, in, fci fitted to measured spectra of the stage",
                               AddFitOptions};

}  // namespace tervane::cli
