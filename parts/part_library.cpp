#include "parts/part_library.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "notation/words.h"
#include "parts/file_check.h"
#include "parts/name_sort.h"

namespace tervane {
namespace {

// The file is read this many bytes at a time.
constexpr std::size_t kBlock = std::size_t{1} << 16;

// A part line takes at least 7 bytes: four words of a character and the
// blanks between them; its part takes at most PartTexts::kHead bytes more.
// Reserving for as many parts as the file, or its first block, can hold
// means a usual library is read without ever moving what was stored, and a
// huge file, which may be nearly all comments or zeros, costs no more up
// front than one block's worth (0.4 MB); a larger library grows with the
// parts it really has (see Grow).
std::size_t MostPartLines(std::size_t bytes) { return std::min(bytes, kBlock) / 7 + 1; }
std::size_t MostPartBytes(std::size_t bytes) {
  return MostPartLines(bytes) * PartTexts::kHead + std::min(bytes, kBlock) + PartTexts::kTextMove;
}

// The words of a part line that are read: the name and the figures.
constexpr std::size_t kFigureWords = 1 + kPartFigureFields.size();

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

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Turns the UTF-8 micro sign (C2 B5) and Greek mu (CE BC) of the `size`
// bytes at `word` into the Windows-1252 micro sign, which the notation reads
// as micro: read byte by byte, "2.2" followed by either would be 2.2, a
// factor of a million off. In place, each byte written no later than it is
// read; returns the word's new size.
std::size_t SingleByteMicro(char* word, std::size_t size) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < size; ++i, ++n) {
    const char next = i + 1 < size ? word[i + 1] : '\0';
    const bool micro = (word[i] == '\xC2' && next == '\xB5') || (word[i] == '\xCE' && next == '\xBC');
    word[n] = micro ? '\xB5' : word[i];
    i += micro ? 1 : 0;
  }
  return n;
}

// Turns the bytes of a part file into the table and the list.
class PartFileReader {
 public:
  // `expectedBytes`, when known, lets the storage be reserved once.
  PartFileReader(PartLibrary& library, std::size_t expectedBytes) : m_library(library), m_expectedBytes(expectedBytes) {
    m_texts.Reserve(MostPartBytes(expectedBytes));
    m_names.Reserve(MostPartLines(expectedBytes));
  }

  // Takes every line that ends in `bytes`, which start `offset` bytes into
  // the file and are followed by PartTexts::kTextMove bytes that may be
  // read, and the last line too at the end of the file; returns what is
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

  // The table, its names sorted into the list's order.
  void Finish() {
    SortedNames sorted = m_names.Sort(static_cast<std::size_t>(std::bit_width(m_texts.Size())));
    m_library.m_partTable.Adopt(std::move(m_texts), std::move(sorted));
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
    // A word longer than a name or figure may be would be kept cut, a
    // different name or a different number: the line is skipped instead.
    if (words[0].size() > kPartWordMax) return Skip(SkipReason::kNameTooLong);

    // The line is moved at once, from its figures on, to where the part's
    // text goes, and read there from then on.
    if (!m_texts.HasRoom() || m_names.Full()) Grow();
    const std::span<std::string_view> figures = words.subspan(1, count - 1);
    char* const text = m_texts.NextText();
    const char* const line = figures.front().data();
    std::memcpy(text, line, PartTexts::kTextMove);
    // The figures stay where the line has them; one that changes there keeps
    // its place and takes its new size.
    if (AnyHighByte(piece))
      for (std::string_view& figure : figures)
        figure = {figure.data(), SingleByteMicro(text + (figure.data() - line), figure.size())};
    std::size_t longest = 0;  // of the figures, as the bits of their sizes
    for (const std::string_view figure : figures) longest |= figure.size();
    if (longest > kPartWordMax) return Skip(SkipReason::kFigureTooLong);
    m_names.Add(words[0], m_texts.Add(figures));
  }

  void Skip(SkipReason reason) {
    SkippedLines& skipped = m_skipped[static_cast<std::size_t>(reason)];
    if (skipped.count++ == 0) skipped.firstLine = m_lineNumber;
  }

  // Full storage grows to what the whole file will hold at the rate of
  // parts read so far, so that a large library moves its parts once rather
  // than at every doubling: at least to twice what it has, and at most to
  // four times that or 8 MiB of parts (some 200 000), whichever is more,
  // whatever the rest of the file turns out to be.
  void Grow() {
    constexpr double kMostProjected = 1 << 23;
    double scale = 2;
    if (m_bytesRead > 0 && m_expectedBytes > m_bytesRead) {
      const double whole = 1.05 * static_cast<double>(m_expectedBytes) / static_cast<double>(m_bytesRead);
      const double most = std::max(4.0, kMostProjected / static_cast<double>(m_texts.Size() + 1));
      scale = std::clamp(whole, 2.0, most);
    }
    m_texts.Reserve(static_cast<std::size_t>(scale * static_cast<double>(m_texts.Size())) + PartTexts::kRoom);
    m_names.Reserve(static_cast<std::size_t>(scale * static_cast<double>(m_names.Size())) + 1);
  }

  PartLibrary& m_library;
  std::size_t m_expectedBytes;
  std::size_t m_bytesRead = 0;  // up to the end of the line being read
  PartTexts m_texts;            // one part for every part line, in file order
  NameSorter m_names;
  // A line's words: a member, so that they are not set up again for every
  // line (144 bytes, cleared by a slow string instruction).
  std::array<std::string_view, kFigureWords> m_words;
  std::size_t m_lineNumber = 1;  // of the line being read
  bool m_pieceTaken = false;     // the line being read has given its piece
  bool m_lineFeedSeen = false;
  bool m_crSeen = false;
  std::array<SkippedLines, kSkipReasonTexts.size()> m_skipped{};
};

void ReadParts(std::istream& in, PartLibrary& library, std::size_t expectedBytes) {
  PartFileReader reader(library, expectedBytes);
  // Room for a block behind the unfinished start of a line, and for the
  // bytes that a part line's figures are moved with.
  std::vector<char> buffer(kBlock + kPartLineMax + PartTexts::kTextMove);
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
    const std::size_t parts = library.m_partTable.List().size();
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
