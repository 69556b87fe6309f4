#include "parts/part_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "parts/part_order.h"

namespace tervane {
namespace {

std::string_view NameOf(const PartRecord& record) {
  return {record.szPartName, strnlen(record.szPartName, kPartFieldSize)};
}

}  // namespace

std::vector<std::uint32_t>::const_iterator CPartTable::Find(std::string_view name) const {
  return std::lower_bound(m_current.begin(), m_current.end(), name, [this](std::uint32_t at, std::string_view n) {
    return PartTableBefore(NameOf(m_records[at]), n);
  });
}

void CPartTable::Adopt(std::vector<PartRecord> records, std::vector<std::uint32_t> current) {
  m_records = std::move(records);
  m_current = std::move(current);
}

const PartRecord* CPartTable::Lookup(std::string_view name) const {
  const auto place = Find(name);
  if (place == m_current.end() || NameOf(m_records[*place]) != name) return nullptr;
  return &m_records[*place];
}

}  // namespace tervane
