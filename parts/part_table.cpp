#include "parts/part_table.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "parts/part_order.h"

namespace tervane {

void CPartTable::Adopt(PartTexts texts, SortedNames names) {
  m_texts = std::move(texts);
  m_names = std::move(names);
}

std::optional<PartRecord> CPartTable::Lookup(std::string_view name) const {
  // The last of the lines with exactly `name` among those alike but for case.
  const NameByKey nameOf(m_names);
  const std::span<const std::uint64_t> order = m_names.Order();
  const auto alike = std::ranges::lower_bound(order, name, PartListBefore, nameOf);
  if (alike == order.end()) return std::nullopt;
  const std::span<const std::uint64_t> exact = m_names.ByExactName(static_cast<std::size_t>(alike - order.begin()));
  const auto past = std::ranges::upper_bound(exact, name, {}, nameOf);
  if (past == exact.begin() || nameOf(*(past - 1)) != name) return std::nullopt;
  const NamedPart& found = m_names.Of(*(past - 1));
  return m_texts.Record(found.part, found.name.data());
}

}  // namespace tervane
