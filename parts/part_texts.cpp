#include "parts/part_texts.h"

#include <algorithm>

namespace tervane {

void PartTexts::Reserve(std::size_t capacity) {
  if (capacity <= m_capacity) return;
  std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(capacity);
  std::copy_n(m_bytes.get(), m_size, larger.get());
  m_bytes = std::move(larger);
  m_capacity = capacity;
}

PartRecord PartTexts::Record(std::size_t part, const char* name) const {
  const char* const bytes = m_bytes.get() + part;
  PartRecord record;
  record.szPartName = name;
  for (std::size_t i = 0; i < kPartFigureFields.size(); ++i)
    record.*kPartFigureFields[i] = bytes + static_cast<unsigned char>(bytes[i]);
  return record;
}

}  // namespace tervane
