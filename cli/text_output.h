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
// line ends, and a final line end. Every other control character (a part
// name may hold an escape sequence that recolours the terminal or sets its
// title) is shown as U+FFFD.
void WriteTerminalText(std::ostream& out, std::string_view cp1252);

// Text from the user for a message, in UTF-8: control characters as \xHH
// (C1 ones as \uHHHH) and bytes that are not UTF-8 as \xHH.
std::string EscapedText(std::string_view text);

// A JSON document, indented, with a final line end.
void WriteJson(std::ostream& out, const Json& document);

// A number, or null when there is none or it is not finite.
Json NumberOrNull(std::optional<double> value);

}  // namespace tervane::cli
