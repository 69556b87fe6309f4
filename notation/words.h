#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace tervane {

// Splits off the first words of a text as "%s" reads them: white space (the
// C locale's) is skipped, a word runs to the next white space, and a NUL ends
// the text. Fills at most words.size() entries and returns how many it found.
std::size_t ScanWords(std::string_view text, std::span<std::string_view> words);

enum class CharKind : unsigned char { kWord, kSpace, kEnd };

// White space as the C locale's isspace has it; a NUL ends the text.
inline constexpr std::array<CharKind, 256> kCharKinds = [] {
  std::array<CharKind, 256> kinds{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) kinds[c] = CharKind::kSpace;
  kinds[0] = CharKind::kEnd;
  return kinds;
}();

constexpr CharKind KindOf(char c) { return kCharKinds[static_cast<unsigned char>(c)]; }

// Whether a word that reaches `c` would run on through it: false for white
// space and a NUL. Asked of every line of a part file, hence inline.
constexpr bool ContinuesWord(char c) { return KindOf(c) == CharKind::kWord; }

}  // namespace tervane
