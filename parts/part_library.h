#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "parts/part_order.h"
#include "parts/part_table.h"

namespace tervane {

// Looked for in the current directory at start-up.
inline constexpr std::string_view kPartFileName = "tervane.txt";

// A longer line is taken in pieces of this many characters, each piece a
// line of its own.
inline constexpr std::size_t kPartLineMax = 62;

// A file that starts with the byte order mark of UTF-16 or UTF-32 (as an
// editor's "Unicode" saves it) holds no line of single-byte text: it is not
// read, and only its encoding is kept, to say why it holds no part.
enum class WideEncoding { kNone, kUtf16, kUtf32 };

struct PartLibrary {
  CPartTable m_partTable;
  // The names in display order (PartListBefore), once for every line that
  // gave one; a name on several lines selects the last line's figures.
  std::vector<std::string> m_partList;
  WideEncoding m_wideEncoding = WideEncoding::kNone;
};

// Reads part lines from any bytes into `library`, replacing what it held:
// "/" in the first column makes a comment; otherwise the first four words
// are name, voltage noise, current noise and 1/f corner, a fifth and a
// sixth, when given, the gain-bandwidth and the current noise's 1/f corner,
// and a line with fewer than four words, or with one of those six longer
// than a field holds, is skipped. What editors write in UTF-8 keeps its
// value: a UTF-8 byte order mark at the start is skipped, and in the
// figures the UTF-8 micro sign and Greek mu are the micro sign's byte.
void ReadPartLibrary(std::istream& in, PartLibrary& library);

// Reads the part file. False, with the library left as it was, when the
// file cannot be opened (missing, unreadable, or not a file at all).
bool LoadPartLibrary(const std::filesystem::path& path, PartLibrary& library);

}  // namespace tervane
