#include "parts/part_table.h"

#include <algorithm>
#include <utility>

#include "parts/part_order.h"

namespace tervane {

void CPartTable::Adopt(PartTexts texts, SortedNames names, std::size_t count) {
  m_texts = std::move(texts);
  m_names = std::move(names);
  m_count = count;
}

std::optional<PartRecord> CPartTable::Lookup(std::string_view name) const {
  const std::span<const SortedName> names = m_names.All();
  // Past the lines of `name`: the one before is its last, if it is there.
  const auto past = std::upper_bound(names.begin(), names.end(), name, [](std::string_view n, const SortedName& s) {
    return PartTableBefore(n, NameOf(s.name));
  });
  if (past == names.begin() || NameOf((past - 1)->name) != name) return std::nullopt;
  return m_texts.Record(m_names.PartOf(*(past - 1)), (past - 1)->name.data());
}

}  // namespace tervane
