#include "parts/name_sort.h"

#include <utility>

namespace tervane {

std::span<const NameEntry> NameSorter::Sort() {
  const std::size_t count = m_entries.size();
  // The padding: every name shorter than a position has a zero there.
  std::uint32_t ended = 0;
  for (std::size_t i = 0; i < kPartWordMax; ++i) m_counts[i][0] += ended += m_lengths[i];

  m_scratch = std::make_unique_for_overwrite<NameEntry[]>(count);
  NameEntry* from = m_entries.data();
  NameEntry* to = m_scratch.get();
  for (std::size_t i = kPartWordMax; i-- > 0;) {
    std::array<std::uint32_t, 256>& starts = m_counts[i];
    // A position where every name has the same character needs no pass.
    if (count == 0 || starts[FoldPartNameChar(from->name[i])] == count) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& n : starts) start += std::exchange(n, start);
    for (const NameEntry* entry = from; entry != from + count; ++entry)
      to[starts[FoldPartNameChar(entry->name[i])]++] = *entry;
    std::swap(from, to);
  }
  return {from, count};
}

}  // namespace tervane
