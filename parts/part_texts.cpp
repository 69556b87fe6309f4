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

std::size_t PartTexts::Add(std::span<const std::string_view> figures) {
  char* const part = m_bytes.get() + m_size;
  const char* const line = figures.front().data();
  std::memset(part, static_cast<int>(kHead + figures.front().size()), kPartFigureFields.size());
  std::size_t end = 0;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const std::size_t start = kHead + static_cast<std::size_t>(figures[i].data() - line);
    end = start + figures[i].size();
    part[end] = '\0';
    if (i < kRequiredFigures || figures[i] != kNotGiven) part[i] = static_cast<char>(start);
  }
  part[kSizeAt] = static_cast<char>(end + 1);
  m_size += end + 1;
  return static_cast<std::size_t>(part - m_bytes.get());
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
