#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tervane::cli {

// Objects keep their keys in the order they were added.
using Json = nlohmann::ordered_json;

// Core text (Windows-1252, CR LF line ends) for a terminal: UTF-8 with "\n"
// line ends, and a final line end.
void WriteTerminalText(std::ostream& out, std::string_view cp1252);

// A JSON document, indented, with a final line end.
void WriteJson(std::ostream& out, const Json& document);

// A number, or null when there is none or it is not finite.
Json NumberOrNull(std::optional<double> value);

}  // namespace tervane::cli
