#include "parts/part_table.h"

#include <algorithm>
#include <utility>

#include "parts/part_order.h"

namespace tervane {

void CPartTable::Adopt(PartTexts texts, SortedNames names) {
  m_texts = std::move(texts);
  m_names = std::move(names);
}

std::optional<PartRecord> CPartTable::Lookup(std::string_view name) const {
  // The last of the lines with exactly `name` among those alike but for case.
  const std::span<const SortedName> names = m_names.All();
  const auto alike = std::ranges::lower_bound(names, name, PartListBefore, NameOfSorted{});
  if (alike == names.end()) return std::nullopt;
  const std::span<const SortedName> exact = m_names.ByExactName(static_cast<std::size_t>(alike - names.begin()));
  const auto past = std::ranges::upper_bound(exact, name, {}, NameOfSorted{});
  if (past == exact.begin() || NameOf((past - 1)->name) != name) return std::nullopt;
  return m_texts.Record(m_names.PartOf(*(past - 1)), (past - 1)->name.data());
}

}  // namespace tervane
