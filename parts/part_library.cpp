#include "parts/part_library.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <system_error>
#include <utility>

#include "notation/words.h"
#include "parts/file_check.h"
#include "parts/name_sort.h"

namespace tervane {
namespace {

// Names equal but for case differ at most in the bit that tells a letter's
// case: told apart by any other bit, as most neighbours in the list are,
// they need no folding.
bool SameFolded(const PaddedName& a, const PaddedName& b) {
  constexpr std::uint64_t kCaseBits = 0x2020202020202020;
  std::array<std::uint64_t, 2> x;
  std::array<std::uint64_t, 2> y;
  std::memcpy(x.data(), a.data(), sizeof x);
  std::memcpy(y.data(), b.data(), sizeof y);
  if (((x[0] ^ y[0]) | (x[1] ^ y[1])) & ~kCaseBits) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldPartNameChar(a[i]) != FoldPartNameChar(b[i])) return false;
  return true;
}

// The file is read this many bytes at a time.
constexpr std::size_t kBlock = std::size_t{1} << 16;

// A part line takes at least 7 bytes: four words of a character and the
// blanks between them. Reserving for as many lines as the file, or its
// first block, can hold means a usual library is read without ever moving
// what was stored, and a huge file, which may be nearly all comments or
// zeros, costs no more up front than one block's worth (1.3 MB); a larger
// library grows with the parts it really has (see Grow).
std::size_t MostPartLines(std::size_t bytes) { return std::min(bytes, kBlock) / 7 + 1; }

// For every name the position of its last record, in PartTableBefore order,
// from the names in list order: there the names that compare equal but for
// case stand together, in file order.
std::vector<std::uint32_t> CurrentRecords(std::span<const NameEntry> sorted) {
  std::vector<std::uint32_t> current;
  current.reserve(sorted.size());
  std::vector<NameEntry> group;
  for (std::size_t begin = 0, end = 0; begin < sorted.size(); begin = end) {
    end = begin + 1;
    while (end < sorted.size() && SameFolded(sorted[begin].name, sorted[end].name)) ++end;
    if (end - begin == 1) {
      current.push_back(sorted[begin].record);
      continue;
    }
    const std::span<const NameEntry> alike = sorted.subspan(begin, end - begin);
    group.assign(alike.begin(), alike.end());
    std::stable_sort(group.begin(), group.end(),
                     [](const NameEntry& a, const NameEntry& b) { return NameOf(a.name) < NameOf(b.name); });
    for (std::size_t i = 0; i < group.size(); ++i)
      if (i + 1 == group.size() || group[i].name != group[i + 1].name) current.push_back(group[i].record);
  }
  return current;
}

using WordBuffer = std::array<char, kPartLineMax>;

// The words of a part line that are read: the name, three figures and the
// optional ones.
constexpr std::size_t kFigureWords = 4 + kOptionalPartFields.size();

// How many of the `count` words of a part line are figures: a remark after
// the four (as files written before the gain-bandwidth and current corner
// had) starts with a word that does not start as a number does, and the
// words from it on are no figures.
std::size_t FiguresBeforeRemark(std::span<const std::string_view> words, std::size_t count) {
  for (std::size_t i = 4; i < count; ++i) {
    const char c = words[i].front();
    if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-')) return i;
  }
  return count;
}

// Whether any byte of `text` is beyond ASCII, as a UTF-8 micro sign's are:
// a line without one has no micro sign to read. Eight bytes at a time, the
// last eight overlapping the ones before.
bool AnyHighByte(std::string_view text) {
  const auto eight = [&text](std::size_t at) {
    std::uint64_t bytes;
    std::memcpy(&bytes, text.data() + at, sizeof bytes);
    return bytes;
  };
  std::uint64_t any = 0;
  if (text.size() < 8) {
    for (const char c : text) any |= static_cast<unsigned char>(c);
  } else {
    for (std::size_t at = 0; at + 8 < text.size(); at += 8) any |= eight(at);
    any |= eight(text.size() - 8);
  }
  return (any & 0x8080808080808080) != 0;
}

// A new record is a copy of this one: the compiler clears a record in
// place with a string instruction that takes longer to start than the
// nine moves of a copy.
constexpr PartRecord kEmptyRecord{};

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// `word` with the UTF-8 micro sign (C2 B5) and Greek mu (CE BC) as the
// Windows-1252 micro sign, which the notation reads as micro: read byte by
// byte, "2.2" followed by either would be 2.2, a factor of a million off.
// `buffer` holds a word that changes.
std::string_view SingleByteMicro(std::string_view word, WordBuffer& buffer) {
  std::size_t n = 0;
  bool changed = false;
  for (std::size_t i = 0; i < word.size(); ++i, ++n) {
    const char next = i + 1 < word.size() ? word[i + 1] : '\0';
    const bool micro = (word[i] == '\xC2' && next == '\xB5') || (word[i] == '\xCE' && next == '\xBC');
    buffer[n] = micro ? '\xB5' : word[i];
    i += micro ? 1 : 0;
    changed = changed || micro;
  }
  return changed ? std::string_view(buffer.data(), n) : word;
}

// Turns the bytes of a part file into the table and the list.
class PartFileReader {
 public:
  // `expectedBytes`, when known, lets the storage be reserved once.
  PartFileReader(PartLibrary& library, std::size_t expectedBytes) : m_library(library), m_expectedBytes(expectedBytes) {
    Reserve(MostPartLines(expectedBytes));
  }

  // Takes every line that ends in `bytes`, which start `offset` bytes into
  // the file, and the last one too at the end of the file; returns what is
  // left for the next block.
  std::string_view Feed(std::string_view bytes, std::size_t offset, bool atEnd) {
    const char* const start = bytes.data();
    NoteLineEnds(bytes);
    while (const void* found = std::memchr(bytes.data(), '\n', bytes.size())) {
      const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
      std::string_view line = bytes.substr(0, length);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      m_bytesRead = offset + static_cast<std::size_t>(static_cast<const char*>(found) + 1 - start);
      EndLine(line);
      bytes.remove_prefix(length + 1);
    }
    if (atEnd) {
      if (!bytes.empty()) EndLine(bytes);  // a CR at the very end is an ordinary character
      return {};
    }
    // The first piece of an unfinished line is final once a character
    // follows it, whatever line end comes; the rest of the line is not read.
    if (!m_pieceTaken && bytes.size() > kPartLineMax) {
      AddPiece(bytes.substr(0, kPartLineMax), bytes[kPartLineMax]);
      m_pieceTaken = true;
    }
    if (m_pieceTaken) bytes.remove_prefix(bytes.size());
    return bytes;
  }

  void Finish() {
    const std::span<const NameEntry> sorted = m_names.Sort();
    std::vector<std::string> list;
    list.reserve(sorted.size());
    // A name's fixed 15 bytes, cut to the name: a copy of a fixed length is
    // two moves, one of the name's own length a call.
    for (const NameEntry& entry : sorted)
      list.emplace_back(entry.name.data(), kPartWordMax).resize(NameLength(entry.name));
    m_library.m_partList = std::move(list);
    m_library.m_partTable.Adopt(std::move(m_records), CurrentRecords(sorted));
    m_library.m_skippedLines = m_skipped;
    m_library.m_crOnlyLineEnds = !m_lineFeedSeen && m_crSeen;
  }

 private:
  // Whether the file has a line feed, or else a CR: a file of CR-only line
  // ends is one line. Blocks after the first line feed are not searched.
  void NoteLineEnds(std::string_view bytes) {
    if (m_lineFeedSeen) return;
    m_lineFeedSeen = bytes.find('\n') != std::string_view::npos;
    if (!m_lineFeedSeen) m_crSeen = m_crSeen || bytes.find('\r') != std::string_view::npos;
  }

  // A line without its line end: its first piece, unless that was taken
  // before the line's end came.
  void EndLine(std::string_view line) {
    if (!m_pieceTaken) AddPiece(line.substr(0, kPartLineMax), line.size() > kPartLineMax ? line[kPartLineMax] : '\n');
    m_pieceTaken = false;
    ++m_lineNumber;
  }

  // `next` is the character of the line after the piece, a line feed when
  // the line ends with it.
  void AddPiece(std::string_view piece, char next) {
    if (!piece.empty() && piece.front() == '/') return;

    // Four words are a part; a fifth to a ninth, when there, are its
    // gain-bandwidth, current-noise corner, the inputs' current-noise
    // correlation and their common-mode and differential capacitances, "-"
    // where one is not given.
    std::span<std::string_view> words = m_words;
    std::size_t count = ScanWords(piece, words);
    if (count == 0 && next == '\n') return;  // a blank line
    if (count < 4) return Skip(SkipReason::kTooFewWords);
    count = FiguresBeforeRemark(words, count);
    // A last word that reaches the end of the piece and goes on would be
    // read cut short, a different number.
    const std::string_view last = words[count - 1];
    if (last.data() + last.size() == piece.data() + piece.size() && ContinuesWord(next))
      return Skip(SkipReason::kFigureCut);
    std::array<WordBuffer, kFigureWords - 1> figures;
    if (AnyHighByte(piece))
      for (std::size_t i = 1; i < count; ++i) words[i] = SingleByteMicro(words[i], figures[i - 1]);
    // A word that does not fit its field would be stored cut, a different
    // name or a different number: the line is skipped instead.
    if (words[0].size() > kPartWordMax) return Skip(SkipReason::kNameTooLong);
    for (std::size_t i = 1; i < count; ++i)
      if (words[i].size() > kPartWordMax) return Skip(SkipReason::kFigureTooLong);

    if (m_records.size() == m_records.capacity()) Grow();
    PartRecord& record = m_records.emplace_back(kEmptyRecord);
    CopyWord(record.szPartName, words[0]);
    CopyWord(record.szNoiseVoltage, words[1]);
    CopyWord(record.szNoiseCurrent, words[2]);
    CopyWord(record.szCornerFreq, words[3]);
    for (std::size_t i = 4; i < count; ++i)
      if (words[i] != kNotGiven) CopyWord(record.*kOptionalPartFields[i - 4], words[i]);
    m_names.Add(words[0], static_cast<std::uint32_t>(m_records.size() - 1));
  }

  void Skip(SkipReason reason) {
    SkippedLines& skipped = m_skipped[static_cast<std::size_t>(reason)];
    if (skipped.count++ == 0) skipped.firstLine = m_lineNumber;
  }

  void Reserve(std::size_t parts) {
    m_records.reserve(parts);
    m_names.Reserve(parts);
  }

  // Full storage grows to what the whole file will hold at the rate of
  // parts read so far, so that a large library moves its parts once rather
  // than at every doubling: at least to twice what it has, and at most to
  // four times that or 2^17 parts (19 MB), whichever is more, whatever the
  // rest of the file turns out to be.
  void Grow() {
    constexpr double kMostProjected = 1 << 17;
    const std::size_t have = m_records.size();
    std::size_t wanted = 2 * have + 1;
    if (m_bytesRead > 0 && m_expectedBytes > m_bytesRead) {
      const double rate = static_cast<double>(have) / static_cast<double>(m_bytesRead);
      const double whole = rate * static_cast<double>(m_expectedBytes) * 1.05;
      const double most = std::max(4.0 * have + 1, kMostProjected);
      wanted = static_cast<std::size_t>(std::clamp(whole, static_cast<double>(wanted), most));
    }
    Reserve(wanted);
  }

  PartLibrary& m_library;
  std::size_t m_expectedBytes;
  std::size_t m_bytesRead = 0;        // up to the end of the line being read
  std::vector<PartRecord> m_records;  // one for every part line, in file order
  // A line's words: a member, so that they are not set up again for every
  // line (112 bytes, cleared by a slow string instruction).
  std::array<std::string_view, kFigureWords> m_words;
  NameSorter m_names;
  std::size_t m_lineNumber = 1;  // of the line being read
  bool m_pieceTaken = false;     // the line being read has given its piece
  bool m_lineFeedSeen = false;
  bool m_crSeen = false;
  std::array<SkippedLines, kSkipReasonTexts.size()> m_skipped{};
};

void ReadParts(std::istream& in, PartLibrary& library, std::size_t expectedBytes) {
  PartFileReader reader(library, expectedBytes);
  // Room for a block behind the unfinished start of a line.
  std::vector<char> buffer(kBlock + kPartLineMax);
  std::size_t kept = 0;
  std::size_t bytesRead = 0;
  for (;;) {
    in.read(buffer.data() + kept, kBlock);
    const auto got = static_cast<std::size_t>(in.gcount());
    std::string_view block(buffer.data(), kept + got);
    if (bytesRead == 0) {
      library.m_wideEncoding = WideEncodingOf(block);
      if (library.m_wideEncoding != WideEncoding::kNone) break;
      if (block.starts_with(kUtf8ByteOrderMark)) block.remove_prefix(kUtf8ByteOrderMark.size());
    }
    const std::size_t offset = bytesRead + got - block.size();
    bytesRead += got;
    const bool atEnd = got < kBlock;
    const std::string_view rest = reader.Feed(block, offset, atEnd);
    if (atEnd) break;
    std::memmove(buffer.data(), rest.data(), rest.size());
    kept = rest.size();
  }
  reader.Finish();
}

}  // namespace

void ReadPartLibrary(std::istream& in, PartLibrary& library) { ReadParts(in, library, 0); }

std::filesystem::path DefaultPartFile(const std::filesystem::path& installedDir) {
  const std::filesystem::path here(kPartFileName);
  std::error_code error;
  const std::filesystem::file_type type = std::filesystem::symlink_status(here, error).type();
  return type == std::filesystem::file_type::not_found ? installedDir / kPartFileName : here;
}

bool LoadPartLibrary(const std::filesystem::path& path, PartLibrary& library) {
  if (!NotAFileReason(path).empty()) return false;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  ReadParts(in, library, ec ? 0 : static_cast<std::size_t>(size));
  return true;
}

std::string PartFileNote(const PartLibrary& library) {
  if (library.m_wideEncoding != WideEncoding::kNone)
    return "it is " + std::string(NameOf(library.m_wideEncoding)) + " text: save it as plain text";
  std::string note;
  if (library.m_crOnlyLineEnds) {
    const std::size_t parts = library.m_partList.size();
    note = std::string(kCrOnlyLineEnds) + ": it was read as one line, giving " + std::to_string(parts) +
           (parts == 1 ? " part" : " parts");
  }
  std::size_t total = 0;
  std::string reasons;
  for (std::size_t i = 0; i < kSkipReasonTexts.size(); ++i) {
    const SkippedLines& skipped = library.m_skippedLines[i];
    if (skipped.count == 0) continue;
    total += skipped.count;
    reasons += (reasons.empty() ? "" : ", ") + std::to_string(skipped.count) + " " + std::string(kSkipReasonTexts[i]) +
               (skipped.count == 1 ? " (line " : " (first at line ") + std::to_string(skipped.firstLine) + ")";
  }
  if (total == 0) return note;
  return note + (note.empty() ? "" : "; ") + std::to_string(total) + (total == 1 ? " line" : " lines") +
         " skipped: " + reasons;
}

}  // namespace tervane
