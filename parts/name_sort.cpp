#include "parts/name_sort.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <utility>
#include <vector>

namespace tervane {
namespace {

// A position in a name where names differ: for each character, its rank
// there, and how many ranks there are. A name's padding, where some names
// have it, ranks first; a character by its folded character's place in the
// range of those that stand there.
struct Column {
  std::size_t position;
  std::uint64_t kinds;
  std::array<std::uint16_t, 256> ranks;
};

// A radix sort takes a pass for each digit of the numbers: a round's
// numbers are cut into as few digits as digits of at most kMostDigitBits
// make, all of the same width.
constexpr std::size_t kMostDigitBits = 11;

struct Digits {
  std::size_t shift;  // where the number starts in a key
  std::size_t width;
  std::size_t count;

  std::size_t Buckets() const { return std::size_t{1} << width; }
  std::size_t Of(std::uint64_t key, std::size_t d) const { return (key >> (shift + d * width)) & (Buckets() - 1); }
};

Digits DigitsOf(std::size_t bits, std::size_t shift) {
  const std::size_t count = (bits + kMostDigitBits - 1) / kMostDigitBits;
  return {shift, (bits + count - 1) / count, count};
}

// How many numbers in a round have each digit, digit by digit.
using DigitCounts = std::vector<std::vector<std::uint32_t>>;

using Characters = std::array<unsigned char, kPartFieldSize>;

// The least and the greatest folded character at each position, from one
// less than the least character there (0xFF where no name has one) and the
// greatest: the folds of every character between them, a range that holds
// the folds of the names' own.
std::pair<Characters, Characters> FoldedRanges(const Characters& leastLessOne, const Characters& greatest) {
  Characters least;
  least.fill(0xFF);
  Characters most{};
  for (std::size_t i = 0; i < kPartFieldSize; ++i)
    for (unsigned c = leastLessOne[i] + 1U; c <= greatest[i]; ++c) {
      least[i] = std::min(least[i], FoldPartNameChar(static_cast<char>(c)));
      most[i] = std::max(most[i], FoldPartNameChar(static_cast<char>(c)));
    }
  return {least, most};
}

// The positions where names differ, from the least and the greatest folded
// character at each position (no character there at all where `least` is
// greater) and the shortest name's length.
std::vector<Column> Columns(std::span<const unsigned char> least, std::span<const unsigned char> greatest,
                            std::size_t shortest) {
  std::vector<Column> columns;
  for (std::size_t i = 0; i < kPartWordMax && least[i] <= greatest[i]; ++i) {
    const std::uint64_t padding = i >= shortest ? 1 : 0;
    if (least[i] == greatest[i] && padding == 0) continue;
    Column column{i, padding + greatest[i] - least[i] + 1, {}};
    for (std::size_t c = 1; c < column.ranks.size(); ++c) {
      const unsigned char folded = std::clamp(FoldPartNameChar(static_cast<char>(c)), least[i], greatest[i]);
      column.ranks[c] = static_cast<std::uint16_t>(padding + folded - least[i]);
    }
    columns.push_back(column);
  }
  return columns;
}

// The round of columns that ends before `end`: as many columns back as
// numbers of `bits` bits hold, and at least one. Its first column, and how
// many bits its numbers have.
std::pair<std::size_t, std::size_t> Round(std::span<const Column> columns, std::size_t end, std::size_t bits) {
  const std::uint64_t most = bits >= 64 ? std::numeric_limits<std::uint64_t>::max() : (std::uint64_t{1} << bits) - 1;
  std::size_t begin = end - 1;
  std::uint64_t product = columns[begin].kinds;
  while (begin > 0 && product <= most / columns[begin - 1].kinds) product *= columns[--begin].kinds;
  return {begin, static_cast<std::size_t>(std::bit_width(product - 1))};
}

// A column of a round, with what each character standing there adds to a
// name's number: its rank times the column's place in the mixed radix, so
// that a number is a sum rather than a chain of multiplications.
struct Place {
  std::size_t position;
  std::array<std::uint64_t, 256> values;
};

std::vector<Place> Places(std::span<const Column> round) {
  std::vector<Place> places(round.size());
  std::uint64_t weight = 1;
  for (std::size_t j = round.size(); j-- > 0;) {
    places[j].position = round[j].position;
    for (std::size_t c = 0; c < places[j].values.size(); ++c) places[j].values[c] = round[j].ranks[c] * weight;
    weight *= round[j].kinds;
  }
  return places;
}

// Gives each name its number from `places`, above its part's offset, and
// counts the numbers' digits.
void Number(std::span<SortedName> names, std::span<const Place> places, const Digits& digits, DigitCounts& counts) {
  counts.assign(digits.count, std::vector<std::uint32_t>(digits.Buckets()));
  const std::uint64_t part = (std::uint64_t{1} << digits.shift) - 1;
  for (SortedName& name : names) {
    std::uint64_t number = 0;
    for (const Place& place : places) number += place.values[static_cast<unsigned char>(name.name[place.position])];
    name.key = (number << digits.shift) | (name.key & part);
    for (std::size_t d = 0; d < digits.count; ++d) ++counts[d][digits.Of(name.key, d)];
  }
}

// Moves the names at `from` to `to` in the order of their numbers' digit
// `d`, keeping the order of those with the same digit; `starts` holds the
// digits' counts.
void SortByDigit(std::span<const SortedName> from, SortedName* to, const Digits& digits, std::size_t d,
                 std::vector<std::uint32_t>& starts) {
  std::uint32_t start = 0;
  for (std::uint32_t& n : starts) start += std::exchange(n, start);
  for (const SortedName& name : from) to[starts[digits.Of(name.key, d)]++] = name;
}

bool SameFolded(const PaddedName& a, const PaddedName& b) {
  return std::ranges::equal(a, b, {}, FoldPartNameChar, FoldPartNameChar);
}

// Finds the runs of names that compare equal but for case in `sorted`, whose
// keys hold their last round's numbers above `partBits`: a run's numbers are
// equal, and where an earlier round sorted other positions, equal numbers
// are names alike there only, so that neighbours are compared too.
void FindAlike(SortedNames& sorted, std::size_t partBits) {
  const std::span<const SortedName> names = sorted.All();
  sorted.different = names.size();
  const auto sameNumber = [&](std::size_t i, std::size_t j) { return ((names[i].key ^ names[j].key) >> partBits) == 0; };
  // Most libraries have no two names alike: looked for first without a
  // branch.
  std::size_t sameNumbers = 0;
  for (std::size_t i = 1; i < names.size(); ++i) sameNumbers += sameNumber(i - 1, i) ? 1 : 0;
  if (sameNumbers == 0) return;
  const NameOfSorted nameOf;
  for (std::size_t start = 0, end = 1; start < names.size(); start = end++) {
    while (end < names.size() && sameNumber(end - 1, end) && SameFolded(names[end - 1].name, names[end].name)) ++end;
    if (end - start == 1) continue;
    const std::size_t exact = sorted.exact.size();
    sorted.alike.push_back({start, end, exact});
    sorted.exact.insert(sorted.exact.end(), names.begin() + start, names.begin() + end);
    const std::span<SortedName> run(sorted.exact.begin() + exact, sorted.exact.end());
    std::ranges::stable_sort(run, {}, nameOf);
    for (std::size_t i = 1; i < run.size(); ++i) sorted.different -= nameOf(run[i]) == nameOf(run[i - 1]) ? 1 : 0;
  }
}

}  // namespace

std::span<const SortedName> SortedNames::ByExactName(std::size_t start) const {
  const auto run = std::ranges::lower_bound(alike, start, {}, &AlikeRun::start);
  if (run == alike.end() || run->start != start) return All().subspan(start, 1);
  return std::span(exact).subspan(run->exact, run->end - run->start);
}

void NameSorter::Reserve(std::size_t capacity) {
  if (capacity <= m_capacity) return;
  std::unique_ptr<SortedName[]> larger = std::make_unique_for_overwrite<SortedName[]>(capacity);
  std::copy_n(m_names.get(), m_count, larger.get());
  m_names = std::move(larger);
  m_capacity = capacity;
}

SortedNames NameSorter::Sort(std::size_t partBits) {
  const auto [least, greatest] = FoldedRanges(m_leastLessOne, m_greatest);
  const std::vector<Column> columns = Columns(least, greatest, m_shortest);
  const std::size_t count = std::exchange(m_count, 0);
  m_capacity = 0;
  std::unique_ptr<SortedName[]> from = std::move(m_names);
  std::unique_ptr<SortedName[]> to;
  DigitCounts counts;
  for (std::size_t end = columns.size(); end > 0;) {
    const auto [begin, bits] = Round(columns, end, 64 - partBits);
    const Digits digits = DigitsOf(bits, partBits);
    Number({from.get(), count}, Places(std::span(columns).subspan(begin, end - begin)), digits, counts);
    for (std::size_t d = 0; d < digits.count; ++d) {
      // A digit that every number has alike needs no pass.
      if (counts[d][digits.Of(from[0].key, d)] == count) continue;
      if (!to) to = std::make_unique_for_overwrite<SortedName[]>(count);
      SortByDigit({from.get(), count}, to.get(), digits, d, counts[d]);
      std::swap(from, to);
    }
    end = begin;
  }
  SortedNames sorted;
  sorted.names = std::move(from);
  sorted.count = count;
  sorted.partMask = (std::uint64_t{1} << partBits) - 1;
  FindAlike(sorted, partBits);
  return sorted;
}

}  // namespace tervane
