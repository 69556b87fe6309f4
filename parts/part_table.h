#pragma once

#include <cstddef>
#include <optional>
#include <ranges>
#include <span>
#include <string_view>

#include "parts/name_sort.h"
#include "parts/part_record.h"
#include "parts/part_texts.h"

namespace tervane {

// A file's part names in display order (PartListBefore), once for every line
// that gave one: the table's own names, seen as text, so that loading a
// library makes no second copy of them.
using PartList = std::ranges::transform_view<std::span<const SortedName>, NameOfSorted>;

// Part records by name, as one part file gives them. Names compare exactly
// and case-sensitively; a name on several lines has its last line's figures.
// A record that Lookup gives, and the list, stay valid until the table next
// changes.
class CPartTable {
 public:
  // Takes a whole file's parts, replacing what the table held: `names`, the
  // names of every part line in PartListBefore order, those that compare
  // equal there in file order.
  void Adopt(PartTexts texts, SortedNames names);

  std::optional<PartRecord> Lookup(std::string_view name) const;
  // How many different names the table holds.
  std::size_t GetCount() const { return m_names.different; }
  PartList List() const { return PartList(m_names.All(), NameOfSorted{}); }

 private:
  PartTexts m_texts;
  SortedNames m_names;
};

}  // namespace tervane
