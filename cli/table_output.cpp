#include "cli/table_output.h"

#include <algorithm>
#include <charconv>

namespace tervane::cli {

std::string AlignedColumns(const std::vector<TableRow>& rows) {
  std::vector<std::size_t> width;
  for (const TableRow& row : rows) {
    if (width.size() < row.size()) width.resize(row.size());
    for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
  }

  std::string text;
  for (const TableRow& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      text += row[c];
      if (c + 1 < row.size()) text.append(width[c] - row[c].size() + 2, ' ');
    }
    text += "\r\n";
  }
  return text;
}

std::string CsvField(std::string_view text) {
  // A spreadsheet takes a cell that begins so for a formula.
  const std::string guarded = (text.find_first_of("=+-@") == 0 ? "'" : "") + std::string(text);
  if (guarded.find_first_of(",\"\r\n") == std::string::npos) return guarded;
  std::string quoted = "\"";
  for (char c : guarded) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvNumber(std::optional<double> value) {
  if (!value) return {};
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *value);
  return std::string(buffer, end);
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += fields[i];
  }
  line += '\n';
  return line;
}

}  // namespace tervane::cli
