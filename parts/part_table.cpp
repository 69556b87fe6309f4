#include "parts/part_table.h"

namespace tervane {

void CPartTable::SetAt(const PartRecord& record) { m_records[record.szPartName] = record; }

const PartRecord* CPartTable::Lookup(std::string_view name) const {
  const auto it = m_records.find(std::string(name));
  return it == m_records.end() ? nullptr : &it->second;
}

}  // namespace tervane
