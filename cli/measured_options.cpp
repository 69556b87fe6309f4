#include "cli/measured_options.h"

#include <limits>
#include <ostream>
#include <utility>

#include "cli/command.h"
#include "cli/native_text.h"
#include "cli/option_checks.h"
#include "cli/text_output.h"
#include "measured/density_unit.h"
#include "measured/spectrum_reader.h"
#include "notation/cp1252.h"

namespace tervane::cli {
namespace {

template <class Table>
std::vector<std::string> KeysOf(const Table& table) {
  std::vector<std::string> keys;
  for (const auto& entry : table) keys.emplace_back(entry.key);
  return keys;
}

std::pair<ColumnChoice, ColumnChoice> ColumnsOf(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos || comma == 0 || comma + 1 == text.size() ||
      text.find(',', comma + 1) != std::string::npos)
    throw UsageError("--columns: '" + text + "' is not F,N (the frequency's column and the noise's)");
  // A header name is matched as the file holds it, in UTF-8.
  return {ColumnChoiceOf(text.substr(0, comma)), ColumnChoiceOf(text.substr(comma + 1))};
}

bool Given(const CLI::Option* option) { return option != nullptr && option->count() > 0; }

// "NAME:LINE: reason", the line left out where the reason is the file's.
std::string ReadFault(const std::string& name, const MeasuredReading& reading) {
  std::string text = name + ":";
  if (reading.line > 0) text += std::to_string(reading.line) + ":";
  return text + " " + Cp1252ToUtf8(reading.reason);
}

std::optional<NamedSpectrum> Read(const std::string& name, const ReadOptions& options, std::string& fault) {
  const std::optional<std::filesystem::path> path = PathFromUtf8(name);
  if (!path) {
    fault = "cannot open the measurement: its name is not valid UTF-8";
    return std::nullopt;
  }
  MeasuredReading reading = ReadMeasuredFile(*path, options);
  if (!reading.spectrum) {
    fault = ReadFault(name, reading);
    return std::nullopt;
  }
  return NamedSpectrum{name, std::move(*reading.spectrum)};
}

}  // namespace

void AddMeasuredOptions(CLI::App& app, MeasuredOptions& options, bool many) {
  options.filesOption =
      app.add_option("--measured", options.files,
                     many ? "A measured noise spectrum (text columns: frequency, noise); again for each further one"
                          : "A measured noise spectrum (text columns: frequency, noise)")
          ->type_name("FILE")
          ->expected(1, many ? std::numeric_limits<int>::max() : 1)
          ->multi_option_policy(many ? CLI::MultiOptionPolicy::TakeAll : CLI::MultiOptionPolicy::Throw);
  app.add_option("--unit", options.unit, "The measurement's noise unit")
      ->check(CLI::IsMember(KeysOf(kDensityUnits)))
      ->needs(options.filesOption)
      ->capture_default_str();
  constexpr double kLargest = std::numeric_limits<double>::max();
  options.rbwOption = app.add_option("--rbw", options.rbw, "Per bin: the bin width (resolution bandwidth), Hz")
                          ->check(NumberInRange(0, kLargest))
                          ->needs(options.filesOption);
  options.windowOption = app.add_option("--window", options.window, "Per bin: the analyser's FFT window")
                             ->check(CLI::IsMember(KeysOf(kAnalyserWindows)))
                             ->needs(options.filesOption);
  options.enbwOption = app.add_option("--enbw", options.enbw, "Per bin: the window's equivalent noise bandwidth, bins")
                           ->check(NumberInRange(0, kLargest))
                           ->needs(options.filesOption)
                           ->excludes(options.windowOption);
  options.columnsOption =
      app.add_option("--columns", options.columns,
                     "The frequency's column and the noise's, by number from 1 or by header name (a file of two "
                     "columns needs none)")
          ->type_name("F,N")
          ->needs(options.filesOption);
  app.add_option("--referred", options.referred,
                 "Where the measurement was taken: at the stage's output, or referred to its input (then taken "
                 "to the output through the stage's gain)")
      ->check(CLI::IsMember({"output", "input"}))
      ->needs(options.filesOption)
      ->capture_default_str();
}

ReadOptions ReadOptionsOf(const MeasuredOptions& options) {
  ReadOptions read;
  read.unit.unit = *DensityUnitOfKey(options.unit);
  const bool binGiven = Given(options.rbwOption) || Given(options.windowOption) || Given(options.enbwOption);
  if (!IsPerBin(read.unit.unit)) {
    if (binGiven) throw UsageError("--rbw, --window and --enbw are for a unit per bin (Vbin, dBVbin), not " + options.unit);
  } else {
    if (!Given(options.rbwOption) || !(Given(options.windowOption) || Given(options.enbwOption)))
      throw UsageError("--unit " + options.unit +
                       ": a reading per bin needs the bin width, --rbw, and the window, --window or --enbw");
    read.unit.binWidth = options.rbw;
    read.unit.enbwBins = Given(options.enbwOption) ? options.enbw : *WindowEnbwOfKey(options.window);
    if (const std::string fault = NoiseUnitFault(read.unit); !fault.empty())
      throw UsageError("--unit " + options.unit + ": " + fault);
  }
  if (Given(options.columnsOption)) read.columns = ColumnsOf(options.columns);
  read.referred = options.referred == "input" ? Referred::kInput : Referred::kOutput;
  return read;
}

NamedSpectrum ReadMeasurement(const std::string& name, const ReadOptions& options) {
  std::string fault;
  std::optional<NamedSpectrum> spectrum = Read(name, options, fault);
  if (!spectrum) throw UsageError(fault);
  return std::move(*spectrum);
}

std::optional<NamedSpectrum> ChosenMeasurement(const MeasuredOptions& options, const CircuitForm& circuit,
                                               std::ostream& err) {
  if (!options.files.empty()) return ReadMeasurement(options.files.front(), ReadOptionsOf(options));
  if (!circuit.measurement) return std::nullopt;
  std::string fault;
  std::optional<NamedSpectrum> spectrum = Read(circuit.measurement->file, circuit.measurement->options, fault);
  if (!spectrum)
    err << "tervane-cli: the circuit file's measurement is left out: " << EscapedText(fault) << '\n';
  return spectrum;
}

}  // namespace tervane::cli
