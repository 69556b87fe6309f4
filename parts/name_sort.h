#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "parts/part_order.h"
#include "parts/part_record.h"

namespace tervane {

// A name in a field of its own, padded with zeros. Names hold no NUL, so
// comparing whole fields compares the names.
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
                                                                               : std::countl_zero(bits)) / 8;
  };
  std::array<std::uint64_t, 2> halves;
  std::memcpy(halves.data(), name.data(), sizeof halves);
  const std::uint64_t front = zeros(halves[0]);
  return front != 0 ? first(front) : 8 + first(zeros(halves[1]));
}

inline std::string_view NameOf(const PaddedName& name) { return {name.data(), NameLength(name)}; }

// The name of one part line and the position of the line's record.
struct NameEntry {
  PaddedName name;
  std::uint32_t record;
};

// Brings the names of a file into list order with a radix sort, last
// character first: each pass is stable, so names that compare equal keep
// the file's order, and a name's zero padding puts it before the longer
// names it begins.
class NameSorter {
 public:
  void Reserve(std::size_t count) { m_entries.reserve(count); }

  void Add(std::string_view name, std::uint32_t record) {
    NameEntry& entry = m_entries.emplace_back();
    CopyWord(entry.name.data(), name);
    entry.record = record;
    for (std::size_t i = 0; i < name.size(); ++i) ++m_counts[i][static_cast<unsigned char>(name[i])];
    ++m_lengths[name.size()];
  }

  // The names in list order; valid until the sorter changes.
  std::span<const NameEntry> Sort();

 private:
  std::vector<NameEntry> m_entries;  // in file order
  std::unique_ptr<NameEntry[]> m_scratch;
  // How often each character stands at each position of a name (folded
  // when the sort starts, rather than a name at a time), and how many names
  // have each length.
  std::array<std::array<std::uint32_t, 256>, kPartWordMax> m_counts{};
  std::array<std::uint32_t, kPartFieldSize> m_lengths{};
};

}  // namespace tervane
