#include "notation/words.h"

namespace tervane {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::size_t ScanWords(std::string_view text, std::span<std::string_view> words) {
  text = text.substr(0, text.find('\0'));
  std::size_t count = 0;
  std::size_t pos = 0;
  while (count < words.size()) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos == text.size()) break;
    const std::size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos])) ++pos;
    words[count++] = text.substr(start, pos - start);
  }
  return count;
}

}  // namespace tervane
