#pragma once

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

}  // namespace tervane::cli
