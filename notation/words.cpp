#include "notation/words.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// Where the word at `p` ends: at the first blank or NUL, both below '!'.
// Eight bytes at a time are passed over while none of them is that low (the
// lowest such byte is found exactly by the borrow trick), as a part file's
// lines have it.
const char* WordEnd(const char* p, const char* const end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    while (end - p >= 8) {
      std::uint64_t bytes;
      std::memcpy(&bytes, p, sizeof bytes);
      const std::uint64_t low = (bytes - kOnes * '!') & ~bytes & kHighBits;
      if (low == 0) {
        p += 8;
        continue;
      }
      p += std::countr_zero(low) / 8;
      if (KindOf(*p) != CharKind::kWord) return p;
      ++p;  // a control character, part of the word
    }
  }
  while (p != end && KindOf(*p) == CharKind::kWord) ++p;
  return p;
}

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
    p = WordEnd(p, end);
    words[count++] = std::string_view(start, static_cast<std::size_t>(p - start));
  }
  return count;
}

}  // namespace tervane
