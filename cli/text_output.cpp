#include "cli/text_output.h"

#include <cmath>

#include "notation/cp1252.h"

namespace tervane::cli {

void WriteTerminalText(std::ostream& out, std::string_view cp1252) {
  const std::string text = Cp1252ToUtf8(cp1252);
  std::string lines;
  lines.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  if (lines.empty() || lines.back() != '\n') lines += '\n';
  out << lines;
}

void WriteJson(std::ostream& out, const Json& document) { out << document.dump(2) << '\n'; }

Json NumberOrNull(std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return nullptr;
  return *value;
}

}  // namespace tervane::cli
