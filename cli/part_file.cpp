#include "cli/part_file.h"

#include <filesystem>
#include <ostream>

#include "cli/command.h"
#include "cli/native_text.h"
#include "cli/text_output.h"
#include "parts/file_check.h"

namespace tervane::cli {
namespace {

// TERVANE_PART_LIBRARY_DIR is where the build installs the shipped library.
std::string InstalledPartFile() { return std::string(TERVANE_PART_LIBRARY_DIR "/") + std::string(kPartFileName); }

}  // namespace

std::string PartFileOption::Path() const {
  if (option && option->count() > 0) return given;
  return DefaultPartFile(TERVANE_PART_LIBRARY_DIR).string();
}

void AddPartFileOption(CLI::App& app, PartFileOption& parts, const std::string& description) {
  parts.option = app.add_option("--parts", parts.given,
                                description + " (default: " + std::string(kPartFileName) +
                                    " in the current folder, else " + InstalledPartFile() + ")")
                     ->type_name("FILE");
}

PartLibrary LoadPartFile(const std::string& path) {
  const std::optional<std::filesystem::path> file = PathFromUtf8(path);
  if (!file) throw UsageError("cannot open part file: its name is not valid UTF-8");
  if (const std::string reason = NotAFileReason(*file); !reason.empty())
    throw UsageError("cannot open part file '" + path + "': " + reason);
  PartLibrary library;
  if (!LoadPartLibrary(*file, library)) throw UsageError("cannot open part file '" + path + "'");
  if (library.m_wideEncoding != WideEncoding::kNone)
    throw UsageError("part file '" + path + "': " + PartFileNote(library));
  return library;
}

void NotePartFile(const PartLibrary& library, const std::string& path, std::ostream& err) {
  const std::string note = PartFileNote(library);
  if (!note.empty()) err << "tervane-cli: part file '" << EscapedText(path) << "': " << note << '\n';
}

}  // namespace tervane::cli
