#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "parts/part_record.h"

namespace tervane {

// A name in a field of its own, padded with zeros. Names hold no NUL, so
// comparing whole fields compares the names.
inline constexpr std::size_t kPartFieldSize = kPartWordMax + 1;
using PaddedName = std::array<char, kPartFieldSize>;

// Where the first zero of a padded name is, found eight bytes at a time
// rather than by a call for each of a library's names.
inline std::size_t NameLength(const PaddedName& name) {
  constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7F;
  // The top bit of each zero byte: adding kLowBits carries into the top
  // bit of every byte with a low bit set, and the byte's own top bit is
  // taken too.
  const auto zeros = [](std::uint64_t x) { return ~(((x & kLowBits) + kLowBits) | x) & ~kLowBits; };
  const auto first = [](std::uint64_t bits) {
    return static_cast<std::size_t>(std::endian::native == std::endian::little ? std::countr_zero(bits)
                                                                               : std::countl_zero(bits)) /
           8;
  };
  std::array<std::uint64_t, 2> halves;
  std::memcpy(halves.data(), name.data(), sizeof halves);
  const std::uint64_t front = zeros(halves[0]);
  return front != 0 ? first(front) : 8 + first(zeros(halves[1]));
}

inline std::string_view NameOf(const PaddedName& name) { return {name.data(), NameLength(name)}; }

// For each length of a name, a mask of its bytes: all bits of the first
// `length`, none of the rest.
inline constexpr std::array<std::array<unsigned char, kPartFieldSize>, kPartFieldSize> kNameMasks = [] {
  std::array<std::array<unsigned char, kPartFieldSize>, kPartFieldSize> masks{};
  for (std::size_t length = 0; length < masks.size(); ++length)
    for (std::size_t i = 0; i < length; ++i) masks[length][i] = 0xFF;
  return masks;
}();

// `name`, of up to kPartWordMax characters, padded with zeros: its 16 bytes
// and its length's mask, which the compiler takes 16 bytes at once, where a
// call to memcpy cost more than the rest of a line. The kPartFieldSize bytes
// from the name's start must be readable.
inline PaddedName PadName(std::string_view name) {
  PaddedName padded;
  std::memcpy(padded.data(), name.data(), padded.size());
  for (std::size_t i = 0; i < padded.size(); ++i)
    padded[i] = static_cast<char>(padded[i] & kNameMasks[name.size()][i]);
  return padded;
}

// The figures of a file's parts one after another in one block of memory,
// each part known by its offset there: where each of its figures starts and
// its size, then its line from the first figure on, each word ending in a
// zero (what lay between them, blanks, stays). A part line is thus stored
// with one move of its bytes; its name is the sort's.
class PartTexts {
 public:
  // A part's head: where each of its figures starts (one not given at the
  // zero after the first), and its size. A part takes kHead bytes more than its line at most.
  static constexpr std::size_t kSizeAt = kPartFigureFields.size();
  static constexpr std::size_t kHead = kSizeAt + 1;
  // The bytes of a part line, from its first figure on, that are moved at
  // once (a piece of a line holds fewer), and the room that the next part
  // needs.
  static constexpr std::size_t kTextMove = 64;
  static constexpr std::size_t kRoom = kHead + kTextMove;

  std::size_t Size() const { return m_size; }

  // Makes room for `capacity` bytes in all, moving what is held.
  void Reserve(std::size_t capacity);
  // Whether the next part has its room.
  bool HasRoom() const { return m_capacity - m_size >= kRoom; }

  // Where the next part's line goes, from its first figure on, kTextMove
  // bytes of room: the line is moved there before it is checked, and kept
  // by Add.
  char* NextText() { return m_bytes.get() + m_size + kHead; }

  // Adds the part whose line was moved to NextText(): `figures` where the
  // line had them, each of the size that it has where it was moved; one
  // kNotGiven among the optional ones gives none. Returns the part's offset.
  std::size_t Add(std::span<const std::string_view> figures) {
    char* const part = m_bytes.get() + m_size;
    const char* const line = figures.front().data();
    std::memset(part, static_cast<int>(kHead + figures.front().size()), kPartFigureFields.size());
    std::size_t end = 0;
    for (std::size_t i = 0; i < figures.size(); ++i) {
      const std::size_t start = kHead + static_cast<std::size_t>(figures[i].data() - line);
      end = start + figures[i].size();
      part[end] = '\0';
      if (i < kRequiredFigures || figures[i] != kNotGiven) part[i] = static_cast<char>(start);
    }
    part[kSizeAt] = static_cast<char>(end + 1);
    m_size += end + 1;
    return static_cast<std::size_t>(part - m_bytes.get());
  }

  // The part at `part`, named `name`.
  PartRecord Record(std::size_t part, const char* name) const;

 private:
  std::unique_ptr<char[]> m_bytes;
  std::size_t m_size = 0;
  std::size_t m_capacity = 0;
};

}  // namespace tervane
