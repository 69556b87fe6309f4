#include "parts/name_sort.h"

#include <limits>
#include <utility>

namespace tervane {
namespace {

// A position in a name where names differ: the rank of each character among
// the folded characters that stand there, and how many of those there are.
struct Column {
  std::size_t position;
  std::uint64_t kinds;
  std::array<std::uint8_t, 256> ranks;
};

constexpr unsigned kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;

using DigitCounts = std::vector<std::array<std::uint32_t, kBuckets>>;

// The positions where not every name has the same folded character.
std::vector<Column> Columns(const std::array<std::array<bool, 256>, kPartWordMax>& seen, std::size_t shortest) {
  std::vector<Column> columns;
  for (std::size_t i = 0; i < kPartWordMax; ++i) {
    std::array<bool, 256> folded{};
    folded[0] = i >= shortest;
    for (std::size_t c = 1; c < folded.size(); ++c) folded[FoldPartNameChar(static_cast<char>(c))] |= seen[i][c];
    Column column{i, 0, {}};
    std::array<std::uint8_t, 256> rankOfFolded{};
    for (std::size_t c = 0; c < folded.size(); ++c)
      if (folded[c]) rankOfFolded[c] = static_cast<std::uint8_t>(column.kinds++);
    if (column.kinds < 2) continue;
    for (std::size_t c = 0; c < folded.size(); ++c)
      column.ranks[c] = rankOfFolded[FoldPartNameChar(static_cast<char>(c))];
    columns.push_back(column);
  }
  return columns;
}

// The round of columns that ends before `end`: as many columns back as
// numbers of 64 bits hold. Its first column, and how many digits its
// numbers have.
std::pair<std::size_t, std::size_t> Round(std::span<const Column> columns, std::size_t end) {
  std::size_t begin = end;
  std::uint64_t product = 1;
  while (begin > 0 && product <= std::numeric_limits<std::uint64_t>::max() / columns[begin - 1].kinds)
    product *= columns[--begin].kinds;
  const auto bits = static_cast<std::size_t>(std::bit_width(product - 1));
  return {begin, (bits + kDigitBits - 1) / kDigitBits};
}

std::size_t Digit(std::uint64_t key, std::size_t d) { return (key >> (d * kDigitBits)) & (kBuckets - 1); }

// Gives each entry its number from `columns`, and counts the numbers' digits.
void Number(std::span<NameEntry> entries, std::span<const Column> columns, DigitCounts& counts) {
  for (std::array<std::uint32_t, kBuckets>& digit : counts) digit.fill(0);
  for (NameEntry& entry : entries) {
    std::uint64_t key = 0;
    for (const Column& column : columns)
      key = key * column.kinds + column.ranks[static_cast<unsigned char>(entry.name[column.position])];
    entry.key = key;
    for (std::size_t d = 0; d < counts.size(); ++d) ++counts[d][Digit(key, d)];
  }
}

// Moves the entries at `from` to `to` in the order of their numbers' digit
// `d`, keeping the order of those with the same digit; `starts` holds the
// digits' counts.
void SortByDigit(std::span<const NameEntry> from, NameEntry* to, std::size_t d,
                 std::array<std::uint32_t, kBuckets>& starts) {
  std::uint32_t start = 0;
  for (std::uint32_t& n : starts) start += std::exchange(n, start);
  for (const NameEntry& entry : from) to[starts[Digit(entry.key, d)]++] = entry;
}

}  // namespace

std::span<const NameEntry> NameSorter::Sort() {
  const std::size_t count = m_entries.size();
  const std::vector<Column> columns = Columns(m_seen, m_shortest);
  m_scratch = std::make_unique_for_overwrite<NameEntry[]>(count);
  NameEntry* from = m_entries.data();
  NameEntry* to = m_scratch.get();
  DigitCounts counts;
  for (std::size_t end = columns.size(); end > 0;) {
    const auto [begin, digits] = Round(columns, end);
    counts.resize(digits);
    Number({from, count}, std::span(columns).subspan(begin, end - begin), counts);
    for (std::size_t d = 0; d < digits; ++d) {
      // A digit that every number has alike needs no pass.
      if (counts[d][Digit(from->key, d)] == count) continue;
      SortByDigit({from, count}, to, d, counts[d]);
      std::swap(from, to);
    }
    end = begin;
  }
  return {from, count};
}

}  // namespace tervane
