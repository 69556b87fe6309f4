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

// Where a part's figures start, a byte each, put together in a number and
// stored at once: stored a byte at a time and read back, they kept every
// line waiting.
constexpr std::uint64_t kEveryByte = 0x0101010101010101;

std::size_t PartTexts::Add(std::span<const std::string_view> words) {
  char* const part = m_bytes.get() + m_size;
  const char* const line = words.front().data();
  const std::size_t noFigure = kHead + words.front().size();
  part[noFigure] = '\0';
  std::uint64_t starts = kEveryByte * noFigure;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::size_t start = kHead + static_cast<std::size_t>(words[i].data() - line);
    part[start + words[i].size()] = '\0';
    if (i > kRequiredFigures && words[i] == kNotGiven) continue;
    const std::size_t shift = 8 * (i - 1);
    starts = (starts & ~(std::uint64_t{0xFF} << shift)) | (std::uint64_t{start} << shift);
  }
  std::memcpy(part, &starts, sizeof starts);
  const std::string_view last = words.back();
  const std::size_t size = kHead + static_cast<std::size_t>(last.data() - line) + last.size() + 1;
  part[kSizeAt] = static_cast<char>(size);
  m_size += size;
  return static_cast<std::size_t>(part - m_bytes.get());
}

PartRecord PartTexts::Record(std::size_t part) const {
  const char* const bytes = m_bytes.get() + part;
  std::uint64_t starts;
  std::memcpy(&starts, bytes, sizeof starts);
  PartRecord record;
  record.szPartName = bytes + kHead;
  for (std::size_t i = 0; i < kPartFigureFields.size(); ++i) record.*kPartFigureFields[i] = bytes + ((starts >> (8 * i)) & 0xFF);
  return record;
}

}  // namespace tervane
