#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "parts/part_order.h"
#include "parts/part_texts.h"

namespace tervane {

// The name of a part, and the number that orders it while it is sorted
// above the part's offset in the file's PartTexts: sorting the names
// carries their parts along and needs nothing but the names' own bytes.
struct SortedName {
  PaddedName name;
  std::uint64_t key;
};

// A sorted name as text.
struct NameOfSorted {
  std::string_view operator()(const SortedName& sorted) const { return NameOf(sorted.name); }
};

// A file's names in list order, and the bits of a key that hold the part.
struct SortedNames {
  // A run of the list whose names compare equal but for case: where it
  // starts and ends there, and where its names start in `exact`.
  struct AlikeRun {
    std::size_t start;
    std::size_t end;
    std::size_t exact;
  };

  std::unique_ptr<SortedName[]> names;
  std::size_t count = 0;
  std::uint64_t partMask = 0;
  // The runs, and their names by exact name, each name's lines in file
  // order, so that a name among thousands alike is found as fast as any
  // other.
  std::vector<AlikeRun> alike;
  std::vector<SortedName> exact;
  std::size_t different = 0;  // names

  std::span<const SortedName> All() const { return {names.get(), count}; }
  std::size_t PartOf(const SortedName& name) const { return name.key & partMask; }
  // The names of the list from `start` on that compare equal but for case,
  // by exact name: those of a run from its start, or the one name there.
  std::span<const SortedName> ByExactName(std::size_t start) const;
};

// Brings the names of a file's part lines into list order. Only the
// positions in a name where the names differ count, and at each of them only
// the range of folded characters that stand there: a name is turned into a
// number, its folded characters' places in those ranges being the digits of
// a mixed radix, and the numbers are sorted by a stable radix sort, at most
// 11 bits a pass, so that names that compare equal keep the file's order.
// 100 000 numbered names thus take three passes, where a pass for each
// position in a name took seven. Positions whose digits would not fit a key
// beside the part are sorted in rounds, the last positions first.
class NameSorter {
 public:
  std::size_t Size() const { return m_count; }
  bool Full() const { return m_count == m_capacity; }
  // Makes room for `capacity` names in all, moving what is held.
  void Reserve(std::size_t capacity);

  // Adds `name`, whose kPartFieldSize bytes from its start may be read, of
  // the part at `part` in its PartTexts, noting at each position the least
  // and the greatest of the names' characters: a loop of the same steps for
  // each byte, which the compiler does 16 bytes at a time. A name's padding
  // is no character: one less than each byte, the padding is the greatest.
  void Add(std::string_view name, std::size_t part) {
    const PaddedName padded = PadName(name);
    m_names[m_count++] = {padded, part};
    for (std::size_t i = 0; i < padded.size(); ++i) {
      const auto c = static_cast<unsigned char>(padded[i]);
      m_leastLessOne[i] = std::min(m_leastLessOne[i], static_cast<unsigned char>(c - 1));
      m_greatest[i] = std::max(m_greatest[i], c);
    }
    m_shortest = std::min(m_shortest, name.size());
  }

  // The names in list order, their parts' offsets in the lowest `partBits`
  // bits of their keys (their numbers above); the sorter gives them up.
  SortedNames Sort(std::size_t partBits);

 private:
  std::unique_ptr<SortedName[]> m_names;  // in file order
  std::size_t m_count = 0;
  std::size_t m_capacity = 0;
  // One less than the least character at each position (0xFF where none
  // has one), the greatest, and the shortest name's length: from it on,
  // some names have padding. A few operations on 16 bytes a name, where
  // marking the character at each position, a store each, took as long as
  // the rest of the sort; the characters are folded once, at the sort.
  std::array<unsigned char, kPartFieldSize> m_leastLessOne = [] {
    std::array<unsigned char, kPartFieldSize> least{};
    least.fill(0xFF);
    return least;
  }();
  std::array<unsigned char, kPartFieldSize> m_greatest{};
  std::size_t m_shortest = kPartWordMax;
};

}  // namespace tervane
