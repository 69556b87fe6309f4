#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::cli {

using TableRow = std::vector<std::string>;

// Windows-1252 rows as a text table: columns padded to their widest entry,
// two blanks apart, the last column unpadded; CR LF after every row. One
// byte is one character in Windows-1252, so widths are counted in bytes.
std::string AlignedColumns(const std::vector<TableRow>& rows);

// A CSV text field: a leading apostrophe when it begins with =, +, - or @,
// then quoted, with its quotes doubled, when it holds a comma, a quote or a
// line end.
std::string CsvField(std::string_view text);

// The shortest text that reads back as the same double ("inf" for an
// infinity); empty for no value.
std::string CsvNumber(std::optional<double> value);

// Fields joined with commas, and a line end.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace tervane::cli
