#pragma once

#include <iosfwd>
#include <string>

#include "parts/part_library.h"

namespace tervane::cli {

// The default of every --parts option: the desktop program's file, looked
// for in the current directory.
std::string DefaultPartFile();

// Reads the part file named on the command line. A file that cannot be
// opened, or one saved as UTF-16 or UTF-32, is a UsageError here: the user
// asked for its parts by name.
PartLibrary LoadPartFile(const std::string& path);

// One line on `err` that counts the lines of the part file `path` that gave
// no part, by why; nothing when every line was a part, a comment or blank.
void NoteSkippedLines(const PartLibrary& library, const std::string& path, std::ostream& err);

}  // namespace tervane::cli
