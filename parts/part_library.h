#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>

#include "notation/cp1252.h"
#include "parts/part_order.h"
#include "parts/part_table.h"

namespace tervane {

// Looked for in the current directory at start-up.
inline constexpr std::string_view kPartFileName = "tervane.txt";

// The part file both programs read when none is named: tervane.txt in the
// current folder whenever the folder holds anything of that name (one that
// cannot be read is said, not passed over), else the one in `installedDir`,
// the library installed with the program.
std::filesystem::path DefaultPartFile(const std::filesystem::path& installedDir);

// Only this many characters of a line are read; the rest of a longer line
// is never a part of its own (a comment's stays comment, a part line's is
// dropped as a remark after the figures is).
inline constexpr std::size_t kPartLineMax = 62;

// Why a line that is neither blank nor a comment gave no part.
enum class SkipReason : unsigned char {
  kNameTooLong,    // a name longer than its field
  kFigureTooLong,  // a figure longer than its field
  kFigureCut,      // the last figure runs on past the characters read
  kTooFewWords,
};

// By SkipReason, the reasons as both front ends say them.
inline constexpr std::array<std::string_view, 4> kSkipReasonTexts{
    "too long a name", "too long a figure", "figure cut at the 62nd character", "too few words"};

// The lines skipped for one reason.
struct SkippedLines {
  std::size_t count = 0;
  std::size_t firstLine = 0;  // counted from 1; 0 while none was skipped
};

struct PartLibrary {
  // Its List() is the part list; a name on several lines selects the last
  // line's figures.
  CPartTable m_partTable;
  // A file in UTF-16 or UTF-32 holds no line of single-byte text: it is not
  // read, and only its encoding is kept, to say why it holds no part.
  WideEncoding m_wideEncoding = WideEncoding::kNone;
  std::array<SkippedLines, kSkipReasonTexts.size()> m_skippedLines{};  // by SkipReason
  // The file has a CR and no line feed (kCrOnlyLineEnds): it was read as
  // one line, so that it gave a part at most.
  bool m_crOnlyLineEnds = false;
};

// Reads part lines from any bytes into `library`, replacing what it held:
// "/" in the first column makes a comment; otherwise the first four words
// are name, voltage noise, current noise and 1/f corner, a fifth, sixth and
// seventh, when given, the gain-bandwidth, the current noise's 1/f corner
// and the correlation of the two inputs' current noise, and a line with
// fewer than four words, or with one of those seven longer
// than a field holds, is skipped and counted by its reason; a blank line is
// neither. What editors write in UTF-8 keeps its value: a UTF-8 byte order
// mark at the start is skipped, and in the figures the UTF-8 micro sign and
// Greek mu are the micro sign's byte.
void ReadPartLibrary(std::istream& in, PartLibrary& library);

// Reads the part file. False, with the library left as it was, when the
// file cannot be opened (missing, unreadable, or not a file at all).
bool LoadPartLibrary(const std::filesystem::path& path, PartLibrary& library);

// What the library says of its file, for a note beside the list: why a
// file in UTF-16 or UTF-32 holds no part ("it is UTF-16 text: save it as
// plain text"), that its lines end in CR only and what the one line it was
// read as gave ("...: it was read as one line, giving 1 part"), and the
// lines it skipped ("3 lines skipped: 2 too few words (first at line 5), 1
// too long a name (line 3)"), joined by "; "; empty when there is nothing
// to say.
std::string PartFileNote(const PartLibrary& library);

}  // namespace tervane
