#include "cli/table_output.h"

#include <algorithm>

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

}  // namespace tervane::cli
