#include "notation/csv.h"

#include <charconv>

#include "notation/delimited_text.h"

namespace tervane {

std::string CsvField(std::string_view text) {
  // A spreadsheet takes a cell that begins so for a formula.
  if (text.find_first_of("=+-@") == 0) return DelimitedField("'" + std::string(text), ',');
  return DelimitedField(text, ',');
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

}  // namespace tervane
