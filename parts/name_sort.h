#pragma once

#include <algorithm>
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
                                                                               : std::countl_zero(bits)) /
           8;
  };
  std::array<std::uint64_t, 2> halves;
  std::memcpy(halves.data(), name.data(), sizeof halves);
  const std::uint64_t front = zeros(halves[0]);
  return front != 0 ? first(front) : 8 + first(zeros(halves[1]));
}

inline std::string_view NameOf(const PaddedName& name) { return {name.data(), NameLength(name)}; }

// The name of one part line, the position of the line's record, and the
// number that orders the name while it is sorted.
struct NameEntry {
  PaddedName name;
  std::uint32_t record;
  std::uint64_t key;
};

// Brings the names of a file's part lines into list order. Only the
// positions in a name where the names differ count, and at each of them only
// the characters that stand there: a name is turned into a number, the ranks
// of its folded characters at those positions being the digits of a mixed
// radix, and the numbers are sorted by a stable radix sort, 11 bits a pass,
// so that names that compare equal keep the file's order. 100 000 numbered
// names thus take three passes, where a pass for each position in a name
// took seven. Positions whose digits would not fit 64 bits are sorted in
// rounds, the last positions first.
class NameSorter {
 public:
  void Reserve(std::size_t count) { m_entries.reserve(count); }

  void Add(std::string_view name, std::uint32_t record) {
    NameEntry& entry = m_entries.emplace_back();
    CopyWord(entry.name.data(), name);
    entry.record = record;
    for (std::size_t i = 0; i < name.size(); ++i) m_seen[i][static_cast<unsigned char>(name[i])] = true;
    m_shortest = std::min(m_shortest, name.size());
  }

  // The names in list order; valid until the sorter changes.
  std::span<const NameEntry> Sort();

 private:
  std::vector<NameEntry> m_entries;  // in file order
  std::unique_ptr<NameEntry[]> m_scratch;
  // Which characters stand at each position of a name (folded when the
  // sort starts, rather than a name at a time), and the shortest name's
  // length: the zero padding stands at every position from it on.
  std::array<std::array<bool, 256>, kPartWordMax> m_seen{};
  std::size_t m_shortest = kPartWordMax;
};

}  // namespace tervane
