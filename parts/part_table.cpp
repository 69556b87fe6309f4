#include "parts/part_table.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "parts/part_order.h"

namespace tervane {
namespace {

// How many different names `alike`, names that compare equal but for case,
// are.
std::size_t DifferentNames(std::span<const SortedName> alike) {
  if (alike.size() == 1) return 1;
  std::vector<std::string_view> names(alike.size());
  std::ranges::transform(alike, names.begin(), NameOfSorted{});
  std::ranges::sort(names);
  return static_cast<std::size_t>(std::ranges::distance(names.begin(), std::ranges::unique(names).begin()));
}

}  // namespace

void CPartTable::Adopt(PartTexts texts, SortedNames names) {
  m_texts = std::move(texts);
  m_names = std::move(names);
}

std::optional<PartRecord> CPartTable::Lookup(std::string_view name) const {
  // The names that compare equal but for case stand together, each in file
  // order: the last of them that is `name` exactly has its last line.
  const std::span<const SortedName> names = m_names.All();
  const auto alike = std::ranges::equal_range(names, name, PartListBefore, NameOfSorted{});
  const auto last = std::ranges::find(alike | std::views::reverse, name, NameOfSorted{});
  if (last == std::ranges::end(alike | std::views::reverse)) return std::nullopt;
  return m_texts.Record(m_names.PartOf(*last), last->name.data());
}

std::size_t CPartTable::GetCount() const {
  const std::span<const SortedName> names = m_names.All();
  std::size_t count = 0;
  for (auto first = names.begin(); first != names.end();) {
    const auto past = std::ranges::upper_bound(first, names.end(), NameOf(first->name), PartListBefore, NameOfSorted{});
    count += DifferentNames({first, past});
    first = past;
  }
  return count;
}

}  // namespace tervane
