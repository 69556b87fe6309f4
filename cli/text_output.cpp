#include "cli/text_output.h"

#include <cmath>

#include "notation/cp1252.h"

namespace tervane::cli {

namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

void WriteTerminalText(std::ostream& out, std::string_view cp1252) {
  const std::string text = Cp1252ToUtf8(cp1252);
  std::string lines;
  lines.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '\r' && next == '\n') continue;
    // C0 and DEL are one byte of UTF-8, C1 two: C2 80..C2 9F.
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool c1 = byte == 0xC2 && static_cast<unsigned char>(next) < 0xA0;
    if (byte != '\n' && ((byte < 0x80 && IsControl(byte)) || c1)) {
      lines += kReplacement;
      i += c1 ? 1 : 0;
    } else {
      lines += text[i];
    }
  }
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  out << lines;
}

std::string EscapedText(std::string_view text) {
  std::string escaped;
  while (!text.empty()) {
    const Utf8Char c = DecodeUtf8Char(text);
    if (!c.c)
      for (std::size_t i = 0; i < c.length; ++i) AppendHex(escaped, "\\x", static_cast<unsigned char>(text[i]), 2);
    else if (*c.c < 0x80 && IsControl(*c.c))
      AppendHex(escaped, "\\x", *c.c, 2);
    else if (IsControl(*c.c))
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
