// tervane-cli chain: a chain of stages from a circuit file, the noise of
// every stage referred to the first stage's input.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/breakdown_output.h"
#include "cli/circuit_options.h"
#include "cli/command.h"
#include "cli/measured_options.h"
#include "cli/option_checks.h"
#include "cli/part_file.h"
#include "cli/table_output.h"
#include "cli/text_output.h"
#include "form/amplifier_names.h"
#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "form/measured_overlay.h"
#include "form/noise_report.h"
#include "form/result_csv.h"
#include "noise/chain_views.h"
#include "notation/cp1252.h"

namespace tervane::cli {
namespace {

constexpr const char* kChainFooter =
    "FILE is a circuit file the desktop saved: a chain of stages (version 4 or 3,\n"
    "a [stage] section each), or one stage, which is a chain of one (README,\n"
    "\"Chains of stages\"). Each stage is calculated as calc calculates it, but\n"
    "over the first stage's band and against its 0 dB reference; each later stage\n"
    "is driven by the output before it, through its own Rs (and Ls): 0 by default.\n"
    "Every source of every stage reaches the output through the following\n"
    "stages' gains, over frequency where a stage's gain changes with it. The gain\n"
    "and the EIN are the whole chain's at 1 kHz, from the first stage's source;\n"
    "the noise figure takes that source at 290 K. A stage's part is named when\n"
    "--parts has it; its figures are the file's texts.\n"
    "\n"
    "--weighting reads each stage's and each source's share, the output noise,\n"
    "the EIN and the SNR through that curve (the 468 readings are rms).\n"
    "\n"
    "Formats: text      the report: a line per stage (its gain, the gain from the\n"
    "                   chain's input, its noise at the output and its share), the\n"
    "                   output noise, EIN, noise figure and SNR, which stage sets\n"
    "                   the noise floor, then a row per source of every stage;\n"
    "                   --figures appends every figure of every weighting\n"
    "         json      {error, report, weighting, band, gain, output_v,\n"
    "                   input_referred, input_density, dominance, stages: [{stage,\n"
    "                   part, type, gain, cumulative_gain, total, percent,\n"
    "                   sources: [{source, label, density, total, percent}]}],\n"
    "                   figures}; figures as calc's; null where there is none\n"
    "         csv       a line per source of every stage with its stage's columns\n"
    "         spectrum  CSV of --points frequencies log-spaced over a decade either\n"
    "                   side of the band: frequency, total, then each stage's own\n"
    "                   noise at the output (V/rtHz)\n"
    "\n"
    "--measured FILE (the unit options are spectrum's) sets a measurement at the\n"
    "chain's output beside the chain: text and json add calc --measured's band\n"
    "totals, the chain calculated over the part of the band the measurement\n"
    "spans; spectrum gives the lines at the measurement's frequencies with\n"
    "measured, predicted and ratio_db after the chain's columns, as spectrum\n"
    "--measured does. --referred input takes it to the output through the\n"
    "chain's gain, the stages' |G(f)| multiplied. csv does not take it, spectrum\n"
    "then reads no --points. A file that cannot be read is a usage error.\n"
    "\n"
    "Exit status: 0 calculated; 1 the chain's calculation failed (the output says\n"
    "which stage, or why), or a measurement referred to the input cannot be taken\n"
    "to the output; 2 a file cannot be read, or another usage error.";

constexpr std::size_t kMostPoints = 100000;

struct ChainOptions {
  std::string file;
  PartFileOption parts;
  std::string format = "text";
  std::string weighting = "none";
  bool figures = false;
  std::size_t points = 101;
  MeasuredOptions measured;
};

// The file's stages over the start-up form; a part the library lacks is
// no part, as the window selects a file's part only where the list has it.
std::vector<ChainStageForm> ReadStages(const ChainOptions& options) {
  CalculatorForm defaults;
  ApplyFormDefaults(defaults);
  ChainReading reading = ReadChainFile(ReadCircuitBytes(options.file), defaults);
  if (!reading.stages) throw UsageError("cannot read circuit file '" + options.file + "': " + reading.reason);
  std::optional<PartLibrary> library;  // read once, where a stage names a part
  for (ChainStageForm& stage : *reading.stages) {
    if (!stage.partName) continue;
    if (!library) library = ListedParts(options.parts);
    if (!library->m_partTable.Lookup(*stage.partName)) stage.partName.reset();
  }
  return std::move(*reading.stages);
}

Json StagesJson(const ChainCalculation& result, const ChainBreakdown& breakdown) {
  Json stages = Json::array();
  for (std::size_t k = 0; k < breakdown.stages.size(); ++k) {
    const ChainStage& stage = result.chain.stages[k];
    const std::optional<AmplifierNames> type = NamesOfAmplifier(stage.inputs.ampType);
    Json one = Json::object();
    one["stage"] = k + 1;
    one["part"] = result.partNames[k] ? Json(Cp1252ToUtf8(*result.partNames[k])) : Json(nullptr);
    one["type"] = type ? Json(std::string(type->key)) : Json(nullptr);
    one["gain"] = NumberOrNull(stage.gain);
    one["cumulative_gain"] = NumberOrNull(stage.cumulativeGain);
    one["total"] = NumberOrNull(breakdown.stages[k].total);
    one["percent"] = NumberOrNull(breakdown.stages[k].percent);
    one["sources"] = SourcesJson(breakdown.stages[k].sources);
    stages.push_back(std::move(one));
  }
  return stages;
}

Json ChainJson(const ChainCalculation& result, Weighting weighting) {
  const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain, weighting);
  const bool failed = result.chain.failure.has_value();
  const std::optional<std::string> dominance = DominanceText(result, weighting);
  Json doc = Json::object();
  doc["error"] = failed;
  doc["report"] = Cp1252ToUtf8(BuildChainReport(result, weighting));
  doc["weighting"] = std::string(NamesOf(weighting).key);
  const StageInputs* first = result.stages.empty() ? nullptr : &result.stages.front().inputs;
  doc["band"] = first ? Json::array({first->lowerFreq, first->upperFreq}) : Json(nullptr);
  doc["gain"] = failed ? Json(nullptr) : NumberOrNull(result.chain.gain);
  doc["output_v"] = breakdown ? NumberOrNull(breakdown->outputTotal) : Json(nullptr);
  doc["input_referred"] = breakdown ? NumberOrNull(breakdown->inputReferred) : Json(nullptr);
  doc["input_density"] = breakdown ? NumberOrNull(breakdown->inputDensity) : Json(nullptr);
  doc["dominance"] = dominance ? Json(Cp1252ToUtf8(*dominance)) : Json(nullptr);
  doc["stages"] = breakdown ? StagesJson(result, *breakdown) : Json(nullptr);
  doc["figures"] = FiguresJson(FiguresOf(result), CausesOf(result));
  return doc;
}

std::string ChainText(const ChainCalculation& result, Weighting weighting, bool figures) {
  std::string text = BuildChainReport(result, weighting);
  if (const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain, weighting)) {
    const TextTable table = ChainBreakdownTable(*breakdown, weighting);
    std::vector<TableRow> rows{table.headings};
    rows.insert(rows.end(), table.rows.begin(), table.rows.end());
    text.append("\r\n\r\n").append(AlignedColumns(rows));
  }
  if (figures) text.append("\r\n").append(BuildChainFiguresText(result));
  return text;
}

// CSV where the chain has it; otherwise the reason, as text.
std::string ChainCsvOrReason(const ChainCalculation& result, const ChainOptions& options, Weighting weighting) {
  if (options.format == "spectrum") {
    if (const auto spectrum = ChainSpectrum(result.chain, options.points)) return ChainSpectrumCsv(*spectrum);
    return SpectrumFaultText(
        ChainSpectrumFault(result.chain, options.points).value_or(SpectrumFault::kCalculationFailed));
  }
  if (const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain, weighting))
    return ChainCsv(result, *breakdown, weighting);
  return BuildChainReport(result, weighting);
}

// The measurement's lines beside the chain's; where there are none, why.
int WriteChainOverlay(const ChainResult& chain, const NamedSpectrum& measured, std::ostream& out) {
  if (const std::optional<std::vector<OverlayPoint>> overlay = OverlayOf(chain, measured.spectrum)) {
    out << Cp1252ToPrintableUtf8(ChainOverlayCsv(*overlay, chain));
    return kExitOk;
  }
  WriteTerminalText(out, chain.failure ? SpectrumFaultText(SpectrumFault::kCalculationFailed) : kNoGainToOutput);
  return kExitInputError;
}

int RunChain(const ChainOptions& options, std::ostream& out) {
  if (!options.measured.files.empty() && options.format == "csv")
    throw UsageError("--measured is for the text, json and spectrum formats, not csv");
  const std::optional<NamedSpectrum> measured = GivenMeasurement(options.measured);
  const ChainCalculation result = ComputeChain(ReadStages(options));
  const Weighting weighting = WeightingOfOption(options.weighting);
  const bool compared = measured && !result.chain.failure;
  // The band totals calculate the chain again: only for the formats that show them.
  const auto comparison = [&]() -> std::optional<BandComparison> {
    return compared ? CompareOverBand(measured->spectrum, result.chain) : std::nullopt;
  };
  if (options.format == "json") {
    Json doc = ChainJson(result, weighting);
    if (measured) doc["measured"] = ComparisonJson(comparison());
    WriteJson(out, doc);
  } else if (options.format == "text") {
    std::string text = ChainText(result, weighting, options.figures);
    // A blank line before it; the breakdown's table ends with a line end.
    if (compared) text.append(text.ends_with("\r\n") ? "\r\n" : "\r\n\r\n").append(BandComparisonText(comparison()));
    WriteTerminalText(out, text);
  } else if (measured) {
    return WriteChainOverlay(result.chain, *measured, out);
  } else {
    const std::string csv = ChainCsvOrReason(result, options, weighting);
    if (csv.ends_with('\n'))
      out << Cp1252ToPrintableUtf8(csv);
    else
      WriteTerminalText(out, csv);
  }
  return result.chain.failure ? kExitInputError : kExitOk;
}

Command AddChainOptions(CLI::App* app) {
  auto options = std::make_shared<ChainOptions>();
  app->footer(kChainFooter);
  app->add_option("FILE", options->file, "The circuit file of the chain (.tervane)")->required()->type_name("");
  AddPartFileOption(*app, options->parts, "Part library file, for the stages' part names");
  app->add_option("--format", options->format, "Output format: text, json, csv or spectrum")
      ->check(CLI::IsMember({"text", "json", "csv", "spectrum"}))
      ->capture_default_str();
  AddWeightingOption(*app, options->weighting,
                     "Read the shares, output noise, EIN and SNR through: none, A, 468 (ITU-R 468), ARM, RIAA or "
                     "RIAA+A");
  app->add_flag("--figures", options->figures, "After the text report: every figure, flat and through each weighting");
  app->add_option("--points", options->points, "Number of frequencies of the spectrum, both ends of the range included")
      ->check(NumberInRange(2, kMostPoints, true))
      ->capture_default_str();
  AddMeasuredOptions(*app, options->measured, false);
  return {app, [options](std::ostream& out, std::ostream&) { return RunChain(*options, out); }};
}

}  // namespace

const CommandEntry kChainCommand{"chain", "A chain of stages from a circuit file: which stage sets the noise floor",
                                 AddChainOptions};

}  // namespace tervane::cli
