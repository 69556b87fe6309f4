#include "cli/text_output.h"

#include <cmath>

#include "notation/cp1252.h"

namespace tervane::cli {

namespace {

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

void WriteTerminalText(std::ostream& out, std::string_view cp1252) {
  std::string lines;
  lines.reserve(cp1252.size() + 1);
  for (std::size_t i = 0; i < cp1252.size(); ++i)
    if (!(cp1252[i] == '\r' && i + 1 < cp1252.size() && cp1252[i + 1] == '\n')) lines += cp1252[i];
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  out << Cp1252ToPrintableUtf8(lines);
}

std::string EscapedText(std::string_view text) {
  std::string escaped;
  while (!text.empty()) {
    const Utf8Char c = DecodeUtf8Char(text);
    if (!c.c)
      for (std::size_t i = 0; i < c.length; ++i) AppendHex(escaped, "\\x", static_cast<unsigned char>(text[i]), 2);
    else if (*c.c < 0x80 && IsControlChar(*c.c))
      AppendHex(escaped, "\\x", *c.c, 2);
    else if (IsControlChar(*c.c))
      AppendHex(escaped, "\\u", *c.c, 4);
    else
      escaped.append(text.substr(0, c.length));
    text.remove_prefix(c.length);
  }
  return escaped;
}

void WriteJson(std::ostream& out, const Json& document) { out << document.dump(2) << '\n'; }

Json NumberOrNull(std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return nullptr;
  return *value;
}

}  // namespace tervane::cli
