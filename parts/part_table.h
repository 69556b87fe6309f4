#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "parts/part_record.h"

namespace tervane {

// Part records by name. Names compare exactly and case-sensitively; storing
// a name again replaces its figures. Nothing is ever removed.
class CPartTable {
 public:
  void SetAt(const PartRecord& record);
  const PartRecord* Lookup(std::string_view name) const;
  std::size_t GetCount() const { return m_records.size(); }

 private:
  std::unordered_map<std::string, PartRecord> m_records;
};

}  // namespace tervane
