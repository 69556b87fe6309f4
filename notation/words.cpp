#include "notation/words.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tervane {
namespace {

// The top bit of every byte of `bytes` that is below '!': blanks and NULs
// are, with the other control characters. Exact for each byte (no borrow
// crosses a byte), so that a line's few blanks are visited and its word
// characters passed over eight at a time.
std::uint64_t LowBytes(std::uint64_t bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  return ~((bytes | kHighBits) - kOnes * '!') & ~bytes & kHighBits;
}

// Cuts a text into words at the bytes below '!' it is shown, in order.
class WordCutter {
 public:
  WordCutter(const char* text, std::span<std::string_view> words) : m_start(text), m_words(words) {}

  // Takes the byte at `p`; false once the text or the room for words ends.
  bool Take(const char* p) {
    const CharKind kind = KindOf(*p);
    if (kind == CharKind::kWord) return true;  // a control character, part of the word
    if (p != m_start) m_words[m_count++] = std::string_view(m_start, p);
    m_start = p + 1;
    m_ended = kind == CharKind::kEnd;
    return !m_ended && m_count < m_words.size();
  }

  // Takes the bytes of `low` (LowBytes of the eight at `p`) in order.
  bool TakeLow(const char* p, std::uint64_t low) {
    for (; low != 0; low &= low - 1)
      if (!Take(p + std::countr_zero(low) / 8)) return false;
    return true;
  }

  // The last word runs to the end of a text that had room for it and no NUL.
  void Finish(const char* end) {
    if (end != m_start) m_words[m_count++] = std::string_view(m_start, end);
  }

  std::size_t Count() const { return m_count; }

 private:
  const char* m_start;  // of the word being read, or just past the last blank
  std::span<std::string_view> m_words;
  std::size_t m_count = 0;
  bool m_ended = false;
};

std::uint64_t EightAt(const char* p) {
  std::uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return bytes;
}

// Takes every byte below '!' of the text, in order; false when the text
// or the room for words ended before the text's last byte. Eight bytes at
// a time on little-endian machines, where the lowest bit found is the
// first byte; the last eight overlap the ones before, their first bits
// taken off.
bool TakeAll(WordCutter& cutter, std::string_view text) {
  const char* const p = text.data();
  const std::size_t size = text.size();
  if (std::endian::native != std::endian::little || size < 8) {
    for (const char& c : text)
      if (!cutter.Take(&c)) return false;
    return true;
  }
  std::size_t at = 0;
  for (; at + 8 <= size; at += 8)
    if (!cutter.TakeLow(p + at, LowBytes(EightAt(p + at)))) return false;
  if (at == size) return true;
  const std::size_t seen = at - (size - 8);
  return cutter.TakeLow(p + size - 8, LowBytes(EightAt(p + size - 8)) & (~std::uint64_t{0} << (8 * seen)));
}

}  // namespace

std::size_t ScanWords(std::string_view text, std::span<std::string_view> words) {
  WordCutter cutter(text.data(), words);
  if (!words.empty() && TakeAll(cutter, text)) cutter.Finish(text.data() + text.size());
  return cutter.Count();
}

}  // namespace tervane
