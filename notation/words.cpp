#include "notation/words.h"

#include <array>

namespace tervane {
namespace {

enum class CharKind : unsigned char { kWord, kSpace, kEnd };

// White space as the C locale's isspace has it; a NUL ends the text.
constexpr std::array<CharKind, 256> kCharKinds = [] {
  std::array<CharKind, 256> kinds{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) kinds[c] = CharKind::kSpace;
  kinds[0] = CharKind::kEnd;
  return kinds;
}();

CharKind KindOf(char c) { return kCharKinds[static_cast<unsigned char>(c)]; }

}  // namespace

bool ContinuesWord(char c) { return KindOf(c) == CharKind::kWord; }

std::size_t ScanWords(std::string_view text, std::span<std::string_view> words) {
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t count = 0;
  while (count < words.size()) {
    while (p != end && KindOf(*p) == CharKind::kSpace) ++p;
    if (p == end || KindOf(*p) == CharKind::kEnd) break;
    const char* const start = p;
    while (p != end && KindOf(*p) == CharKind::kWord) ++p;
    words[count++] = std::string_view(start, static_cast<std::size_t>(p - start));
  }
  return count;
}

}  // namespace tervane
