// tervane-cli rank: every part of the library in one circuit, quietest first.

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/circuit_options.h"
#include "cli/command.h"
#include "cli/option_checks.h"
#include "cli/part_file.h"
#include "cli/table_output.h"
#include "cli/text_output.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "form/part_ranking.h"
#include "form/rank_columns.h"
#include "form/result_csv.h"
#include "notation/cp1252.h"
#include "notation/shown_value.h"

namespace tervane::cli {
namespace {

constexpr const char* kRankFooter =
    "Each part of the library is calculated in the circuit the options give, as\n"
    "selecting it in the list would: its voltage noise, current noise and 1/f corner\n"
    "replace the form's, and its gain-bandwidth, current-noise corner and current-\n"
    "noise correlation where its line gives them (--gbw, --fci and --in-correlation\n"
    "are for the parts whose line does not); its input capacitances (--ccm\n"
    "--cdiff, which the transimpedance amplifier reads) are its own, none where its\n"
    "line gives none. Parts are ranked by total noise over\n"
    "the band (with the carried noise under --with-carry), quietest first, read\n"
    "through the --weighting (none: the report's total); equal totals keep the list\n"
    "order; parts whose calculation fails come last, in list order. A name on\n"
    "several lines of the file is one part and is listed once. Lines of the file\n"
    "skipped are counted on stderr, and so is why a circuit every part fails in was\n"
    "refused.\n"
    "\n"
    "Columns: rank, name, en in fc as the file writes them (V/rtHz, A/rtHz, Hz),\n"
    "the output noise density Sn (V/rtHz), the total noise Vn (V), the SNR (dB) and\n"
    "R_opt = en'/in' over the band (ohms), calc's optimum source resistance: the\n"
    "rms densities over the band, en' with its 1/f rise and in' with it where the\n"
    "corner applies to the current noise (- where undefined: in is 0, en or in is\n"
    "negative, a noise power is negative, the part failed), then the weighted\n"
    "total Vw (V) and the EIN (dBu) through the --weighting (the ITU-R 468\n"
    "readings are rms). In a transimpedance amplifier (--type transimpedance) the\n"
    "parts are ranked by the input current In (A) through the --weighting, and\n"
    "R_opt and EIN give way to In and Ccm Cdiff as the line writes them (- where\n"
    "it gives none, calculated without); json and csv likewise (In, Ccm_text,\n"
    "Cdiff_text).\n"
    "\n"
    "Formats: text  a table, values to 4 digits in engineering notation\n"
    "         json  {weighting, parts: [{rank, name, en_text, in_text, fc_text, en,\n"
    "               in, fc, failed, Sn, Vn, SNR, R_opt, Vw, EIN_dBu}]}; rank, Sn,\n"
    "               Vn, SNR, R_opt, Vw and EIN_dBu are null for a failed part,\n"
    "               R_opt also where it is undefined\n"
    "         csv   a header line, then one line per part with the json's fields;\n"
    "               failed is 0 or 1, numbers to full precision, empty when none;\n"
    "               a text cell that begins with = + - or @ starts with ', a\n"
    "               control character in it is U+FFFD, as in text\n"
    "\n"
    "Exit status: 0 every part calculated (also when the file holds no part); 1 a\n"
    "part's calculation failed (the output is still printed); 2 the file cannot be\n"
    "opened, or another usage error.";

struct RankOptions {
  CircuitOptions circuit;
  std::string format = "text";
  std::string weighting = "none";
};

std::string RankText(const std::vector<RankedPart>& parts, const std::vector<RankColumn>& columns) {
  std::vector<TableRow> rows(1);
  for (const RankColumn& column : columns)
    if (!column.heading.empty()) rows[0].emplace_back(column.heading);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    TableRow& row = rows.emplace_back();
    for (const RankColumn& column : columns)
      if (!column.heading.empty()) row.push_back(RankCellText(parts[i], i + 1, column.id));
  }
  return AlignedColumns(rows);
}

Json JsonCell(const RankValue& value) {
  if (const auto* text = std::get_if<std::string_view>(&value)) return Cp1252ToUtf8(*text);
  if (const auto* number = std::get_if<std::optional<double>>(&value)) return NumberOrNull(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag;
  const auto& rank = std::get<std::optional<std::size_t>>(value);
  return rank ? Json(*rank) : Json(nullptr);
}

Json RankJson(const std::vector<RankedPart>& parts, Weighting weighting, const std::vector<RankColumn>& columns) {
  Json list = Json::array();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    Json part = Json::object();
    for (const RankColumn& column : columns)
      part[std::string(column.key)] = JsonCell(RankCellValue(parts[i], i + 1, column.id));
    list.push_back(std::move(part));
  }
  Json doc = Json::object();
  doc["weighting"] = std::string(NamesOf(weighting).key);
  doc["parts"] = std::move(list);
  return doc;
}

int RunRank(const RankOptions& options, std::ostream& out, std::ostream& err) {
  const CircuitForm circuit = BuildCircuitForm(options.circuit);
  const std::string path = options.circuit.parts.Path();
  const PartLibrary library = LoadPartFile(path);
  NotePartFile(library, path, err);
  const Weighting weighting = WeightingOfOption(options.weighting);
  const std::vector<RankedPart> parts = RankParts(circuit.form, library, weighting);
  const std::vector<RankColumn> columns = RankColumnsOf(circuit.form.m_nAmpType);

  if (options.format == "json")
    WriteJson(out, RankJson(parts, weighting, columns));
  else if (options.format == "csv")
    out << Cp1252ToPrintableUtf8(RankCsv(parts, columns));
  else
    WriteTerminalText(out, RankText(parts, columns));
  // A refusal of the circuit fails every part alike: said once.
  NoteRefusal(ComputeNoise(circuit.form), err);
  const bool anyFailed = std::any_of(parts.begin(), parts.end(), [](const RankedPart& p) { return p.failed; });
  return anyFailed ? kExitInputError : kExitOk;
}

Command AddRankOptions(CLI::App* app) {
  auto options = std::make_shared<RankOptions>();
  app->footer(kRankFooter);
  AddCircuitOptions(*app, options->circuit, PartUse::kEveryPart);
  app->add_option("--format", options->format, "Output format: text, json or csv")
      ->check(CLI::IsMember({"text", "json", "csv"}))
      ->capture_default_str();
  AddWeightingOption(*app, options->weighting,
                     "Rank by the total read through: none, A, 468 (ITU-R 468), ARM, RIAA or RIAA+A");
  return {app, [options](std::ostream& out, std::ostream& err) { return RunRank(*options, out, err); }};
}

}  // namespace

const CommandEntry kRankCommand{"rank", "Every part of the library in this circuit, quietest first", AddRankOptions};

}  // namespace tervane::cli
