#pragma once

#include <iosfwd>
#include <string>

#include <CLI/CLI.hpp>

#include "parts/part_library.h"

namespace tervane::cli {

// The --parts option of a command, and the file the command reads without
// it.
struct PartFileOption {
  std::string given;
  CLI::Option* option = nullptr;

  // The file --parts names; without it the one the desktop program reads
  // (DefaultPartFile), the installed library when the folder has none.
  std::string Path() const;
};

// Registers --parts on `app`, its help saying where the command looks
// without it; `parts` must outlive the parse.
void AddPartFileOption(CLI::App& app, PartFileOption& parts, const std::string& description);

// Reads the part file named on the command line. A file that cannot be
// opened, or one saved as UTF-16 or UTF-32, is a UsageError here: the user
// asked for its parts by name.
PartLibrary LoadPartFile(const std::string& path);

// One line on `err` with what the part file `path` holds that gave no part
// (PartFileNote): its CR-only line ends, the lines it skipped by why;
// nothing when every line was a part, a comment or blank.
void NotePartFile(const PartLibrary& library, const std::string& path, std::ostream& err);

}  // namespace tervane::cli
