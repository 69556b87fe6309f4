#include "parts/part_library.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

#include "notation/words.h"

namespace tervane {
namespace {

unsigned char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// The first eight folded characters as one number, so that most comparisons
// of the sort are a single integer comparison.
std::uint64_t SortKey(std::string_view name) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) key = key << 8 | (i < name.size() ? FoldCase(name[i]) : 0u);
  return key;
}

void SortPartList(std::vector<std::string>& list) {
  struct Entry {
    std::uint64_t key;
    std::uint32_t index;
  };
  std::vector<Entry> entries(list.size());
  for (std::size_t i = 0; i < list.size(); ++i)
    entries[i] = {SortKey(list[i]), static_cast<std::uint32_t>(i)};
  // Equal names keep the file's order: the index breaks every tie.
  std::sort(entries.begin(), entries.end(), [&list](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    if (PartListBefore(list[a.index], list[b.index])) return true;
    if (PartListBefore(list[b.index], list[a.index])) return false;
    return a.index < b.index;
  });
  std::vector<std::string> sorted;
  sorted.reserve(list.size());
  for (const Entry& e : entries) sorted.push_back(std::move(list[e.index]));
  list = std::move(sorted);
}

void CopyField(char (&field)[kPartFieldSize], std::string_view word) {
  std::memcpy(field, word.data(), word.size());
  field[word.size()] = '\0';
}

// One line (or one piece of a long line) of the file.
void AddPartLine(std::string_view line, PartLibrary& library) {
  if (!line.empty() && line.front() == '/') return;

  std::array<std::string_view, 4> words;
  if (ScanWords(line, words) < words.size()) return;
  // A word that does not fit its field would be stored cut, a different
  // name or a different number: the line is skipped instead.
  for (std::string_view word : words)
    if (word.size() > kPartWordMax) return;

  PartRecord record;
  CopyField(record.szPartName, words[0]);
  CopyField(record.szNoiseVoltage, words[1]);
  CopyField(record.szNoiseCurrent, words[2]);
  CopyField(record.szCornerFreq, words[3]);
  library.m_partTable.SetAt(record);
  library.m_partList.emplace_back(words[0]);
}

// Cuts a byte stream into lines of at most kPartLineMax characters, as a
// text-mode reader sees them: LF or CR LF ends a line, a lone CR is an
// ordinary character. The bytes go through in runs between line ends, not
// one at a time, so that even a debug build reads a huge file quickly.
class LineSplitter {
 public:
  explicit LineSplitter(PartLibrary& library) : m_library(library) {}

  void Feed(std::string_view bytes) {
    if (bytes.empty()) return;
    // A CR that ended the previous block is ordinary unless an LF follows.
    if (m_pendingCr && bytes.front() != '\n') Append("\r");
    m_pendingCr = false;
    for (;;) {
      const std::size_t lf = bytes.find('\n');
      std::string_view text = bytes.substr(0, lf);
      if (!text.empty() && text.back() == '\r') {
        // Before an LF it belongs to the line end; at the end of the block
        // the next block decides.
        text.remove_suffix(1);
        m_pendingCr = lf == std::string_view::npos;
      }
      Append(text);
      if (lf == std::string_view::npos) return;
      EndLine();
      bytes.remove_prefix(lf + 1);
    }
  }

  void Finish() {
    if (m_pendingCr) Append("\r");
    if (m_length > 0) EndLine();
  }

 private:
  // Fills the current piece, handing each full one on as a line.
  void Append(std::string_view text) {
    while (!text.empty()) {
      const std::size_t count = std::min(text.size(), kPartLineMax - m_length);
      text.copy(m_line.data() + m_length, count);
      m_length += count;
      text.remove_prefix(count);
      if (m_length == kPartLineMax) EndLine();
    }
  }

  void EndLine() {
    AddPartLine(std::string_view(m_line.data(), m_length), m_library);
    m_length = 0;
  }

  PartLibrary& m_library;
  std::array<char, kPartLineMax> m_line{};
  std::size_t m_length = 0;
  bool m_pendingCr = false;
};

}  // namespace

bool PartListBefore(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return FoldCase(x) < FoldCase(y); });
}

void ReadPartLibrary(std::istream& in, PartLibrary& library) {
  LineSplitter splitter(library);
  std::array<char, 1 << 16> block;
  while (in.read(block.data(), block.size()) || in.gcount() > 0)
    splitter.Feed(std::string_view(block.data(), static_cast<std::size_t>(in.gcount())));
  splitter.Finish();
  SortPartList(library.m_partList);
}

bool LoadPartLibrary(const std::filesystem::path& path, PartLibrary& library) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  ReadPartLibrary(in, library);
  return true;
}

}  // namespace tervane
