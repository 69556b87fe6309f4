#include "notation/delimited_text.h"

namespace tervane {

std::string DelimitedField(std::string_view text, char separator) {
  const char special[] = {separator, '"', '\r', '\n'};
  if (text.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos)
    return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace tervane
