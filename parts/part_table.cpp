#include "parts/part_table.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "parts/part_order.h"

namespace tervane {
namespace {

// How many different names the keys `alike` of `names` are, names that
// compare equal but for case.
std::size_t DifferentNames(std::span<const std::uint64_t> alike, const SortedNames& names) {
  if (alike.size() == 1) return 1;
  std::vector<std::string_view> different(alike.size());
  std::ranges::transform(alike, different.begin(), NameByKey(names));
  std::ranges::sort(different);
  return static_cast<std::size_t>(std::ranges::distance(different.begin(), std::ranges::unique(different).begin()));
}

}  // namespace

void CPartTable::Adopt(PartTexts texts, SortedNames names) {
  m_texts = std::move(texts);
  m_names = std::move(names);
}

std::optional<PartRecord> CPartTable::Lookup(std::string_view name) const {
  // The names that compare equal but for case stand together, each in file
  // order: the last of them that is `name` exactly has its last line.
  const NameByKey nameOf(m_names);
  const auto alike = std::ranges::equal_range(m_names.Order(), name, PartListBefore, nameOf) | std::views::reverse;
  const auto last = std::ranges::find(alike, name, nameOf);
  if (last == alike.end()) return std::nullopt;
  const NamedPart& found = m_names.Of(*last);
  return m_texts.Record(found.part, found.name.data());
}

std::size_t CPartTable::GetCount() const {
  const std::span<const std::uint64_t> order = m_names.Order();
  const NameByKey nameOf(m_names);
  std::size_t count = 0;
  for (auto first = order.begin(); first != order.end();) {
    const auto past = std::ranges::upper_bound(first, order.end(), nameOf(*first), PartListBefore, nameOf);
    count += DifferentNames({first, past}, m_names);
    first = past;
  }
  return count;
}

}  // namespace tervane
