#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "parts/name_sort.h"
#include "parts/part_record.h"
#include "parts/part_texts.h"

namespace tervane {

// Part records by name, as one part file gives them. Names compare exactly
// and case-sensitively; a name on several lines has its last line's figures.
// A record that Lookup gives stays valid until the table next changes.
class CPartTable {
 public:
  // Takes a whole file's parts, replacing what the table held: `names`, the
  // names of every part line in PartTableBefore order, each name's lines in
  // file order, and `count` of them different.
  void Adopt(PartTexts texts, SortedNames names, std::size_t count);

  std::optional<PartRecord> Lookup(std::string_view name) const;
  std::size_t GetCount() const { return m_count; }

 private:
  PartTexts m_texts;
  SortedNames m_names;
  std::size_t m_count = 0;
};

}  // namespace tervane
