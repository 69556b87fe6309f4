#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The CSV both front ends write: comma-separated, a line feed after every
// line, byte by byte so that Windows-1252 and UTF-8 text alike pass through.
namespace tervane {

// A CSV text field: a leading apostrophe when it begins with =, +, - or @,
// then quoted, with its quotes doubled, when it holds a comma, a quote or a
// line end.
std::string CsvField(std::string_view text);

// The shortest text that reads back as the same double ("inf" for an
// infinity); empty for no value.
std::string CsvNumber(std::optional<double> value);

// Fields joined with commas, and a line end.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace tervane
