#include "parts/name_sort.h"

#include <utility>

namespace tervane {
namespace {

// FoldPartNameChar as a table: a load instead of its arithmetic, for every
// name in every pass.
constexpr std::array<unsigned char, 256> kFolded = [] {
  std::array<unsigned char, 256> folded{};
  for (std::size_t c = 0; c < folded.size(); ++c) folded[c] = FoldPartNameChar(static_cast<char>(c));
  return folded;
}();

unsigned char Folded(char c) { return kFolded[static_cast<unsigned char>(c)]; }

}  // namespace

std::span<const NameEntry> NameSorter::Sort() {
  const std::size_t count = m_entries.size();
  // The padding: every name shorter than a position has a zero there.
  std::uint32_t ended = 0;
  for (std::size_t i = 0; i < kPartWordMax; ++i) m_counts[i][0] += ended += m_lengths[i];
  for (std::array<std::uint32_t, 256>& counts : m_counts)
    for (std::size_t c = 0; c < counts.size(); ++c) {
      if (kFolded[c] != c) counts[kFolded[c]] += std::exchange(counts[c], 0);
    }

  m_scratch = std::make_unique_for_overwrite<NameEntry[]>(count);
  NameEntry* from = m_entries.data();
  NameEntry* to = m_scratch.get();
  for (std::size_t i = kPartWordMax; i-- > 0;) {
    std::array<std::uint32_t, 256>& starts = m_counts[i];
    // A position where every name has the same character needs no pass.
    if (count == 0 || starts[Folded(from->name[i])] == count) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& n : starts) start += std::exchange(n, start);
    for (const NameEntry* entry = from; entry != from + count; ++entry)
      to[starts[Folded(entry->name[i])]++] = *entry;
    std::swap(from, to);
  }
  return {from, count};
}

}  // namespace tervane
