// tervane-cli parts: the part list in display order, with each part's figures.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/part_file.h"
#include "cli/table_output.h"
#include "cli/text_output.h"

namespace tervane::cli {
namespace {

constexpr const char* kPartsFooter =
    "One line per list entry, in the order of the desktop list, with the columns of\n"
    "the part file: NAME EN IN FC [GBW [FCI [CORR]]] (voltage noise V/rtHz, current\n"
    "noise A/rtHz, 1/f corner Hz, and where the line gives them the gain-bandwidth\n"
    "Hz, the current noise's 1/f corner Hz and the correlation of the two inputs'\n"
    "current noise), as the file writes them. A name given on\n"
    "several lines is listed that many times, each time with the figures of its\n"
    "last line. Lines that are neither parts, comments nor blank are counted on\n"
    "stderr, by why they were skipped.\n"
    "\n"
    "--format names prints the names alone, one a line, for scripts.\n"
    "\n"
    "Exit status: 0 listed (also when the file holds no part); 2 the file cannot be\n"
    "opened, or another usage error.";

struct PartsOptions {
  PartFileOption parts;
  std::string format = "text";
};

int RunParts(const PartsOptions& options, std::ostream& out, std::ostream& err) {
  const std::string path = options.parts.Path();
  const PartLibrary library = LoadPartFile(path);
  NotePartFile(library, path, err);
  if (options.format == "names") {
    std::string names;
    for (const std::string_view name : library.m_partTable.List()) names.append(name).append("\r\n");
    if (!names.empty()) WriteTerminalText(out, names);
    return kExitOk;
  }
  std::vector<TableRow> rows;
  for (const std::string_view name : library.m_partTable.List()) {
    const std::optional<PartRecord> record = library.m_partTable.Lookup(name);
    if (!record) continue;  // every list entry has its record
    TableRow& row = rows.emplace_back(TableRow{std::string(name), record->szNoiseVoltage, record->szNoiseCurrent, record->szCornerFreq});
    for (const std::string_view word : OptionalWords(*record)) row.emplace_back(word);
  }
  if (!rows.empty()) WriteTerminalText(out, AlignedColumns(rows));
  return kExitOk;
}

Command AddPartsOptions(CLI::App* app) {
  auto options = std::make_shared<PartsOptions>();
  app->footer(kPartsFooter);
  AddPartFileOption(*app, options->parts, "Part library file");
  app->add_option("--format", options->format, "Output format: text (names and figures) or names")
      ->check(CLI::IsMember({"text", "names"}))
      ->capture_default_str();
  return {app, [options](std::ostream& out, std::ostream& err) { return RunParts(*options, out, err); }};
}

}  // namespace

const CommandEntry kPartsCommand{"parts", "List the part library in display order", AddPartsOptions};

}  // namespace tervane::cli
