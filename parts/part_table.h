#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "parts/part_record.h"

namespace tervane {

// Part records by name, as one part file gives them. Names compare exactly
// and case-sensitively; a name on several lines has its last line's figures.
// A record that Lookup gives stays valid until the table next changes.
class CPartTable {
 public:
  // Takes a whole file's records, replacing what the table held. `current`
  // holds, for every name, the position in `records` of its last record, in
  // PartTableBefore order.
  void Adopt(std::vector<PartRecord> records, std::vector<std::uint32_t> current);

  const PartRecord* Lookup(std::string_view name) const;
  std::size_t GetCount() const { return m_current.size(); }

 private:
  // The place of `name` in m_current: where it is, or where it would go.
  std::vector<std::uint32_t>::const_iterator Find(std::string_view name) const;

  std::vector<PartRecord> m_records;
  // The record that Lookup finds for each name, in PartTableBefore order; a
  // file's earlier records of a name stay behind in m_records unused.
  std::vector<std::uint32_t> m_current;
};

}  // namespace tervane
