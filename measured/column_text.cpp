#include "measured/column_text.h"

#include <charconv>
#include <cmath>

#include "notation/cp1252.h"

namespace tervane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view WithoutQuotes(std::string_view cell) {
  if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') return cell.substr(1, cell.size() - 2);
  return cell;
}

}  // namespace

char ColumnDelimiterOf(std::string_view line) {
  for (const char c : {'\t', ';', ','})
    if (line.find(c) != std::string_view::npos) return c;
  return ' ';
}

void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells) {
  cells.clear();
  line = Trimmed(line);
  if (line.empty()) return;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i < line.size() && (quoted || line[i] != delimiter)) continue;
    cells.push_back(Trimmed(line.substr(start, i - start)));
    // Blanks that separate are a run, however long.
    if (delimiter == ' ')
      while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
    start = i + 1;
  }
  if (delimiter != ' ' && cells.size() > 1 && cells.back().empty() && line.back() == delimiter) cells.pop_back();
}

std::string Unquoted(std::string_view cell) {
  const std::string_view inner = WithoutQuotes(cell);
  if (inner.size() == cell.size()) return std::string(cell);
  std::string text;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    text += inner[i];
    if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"') ++i;
  }
  return text;
}

std::optional<double> CellNumber(std::string_view cell) {
  cell = WithoutQuotes(cell);
  // from_chars takes a minus sign but no plus.
  if (cell.size() > 1 && cell.front() == '+' && cell[1] != '-') cell.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (end != cell.data() + cell.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the exponent's sign says which.
    const std::size_t e = cell.find_first_of("eE");
    value = e != std::string_view::npos && e + 1 < cell.size() && cell[e + 1] == '-' ? 0.0 : INFINITY;
    if (cell.front() == '-') value = -value;
  } else if (ec != std::errc()) {
    return std::nullopt;
  }
  return value;
}

std::string QuotedCell(std::string_view cell) {
  constexpr std::size_t kShown = 24;
  const bool cut = cell.size() > kShown;
  return '"' + Utf8ToCp1252(cell.substr(0, kShown)) + (cut ? "...\"" : "\"");
}

}  // namespace tervane
