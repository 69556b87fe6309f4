#include "cli/part_file.h"

#include <filesystem>
#include <system_error>

#include "cli/command.h"
#include "cli/native_text.h"

namespace tervane::cli {
namespace {

// TERVANE_PART_LIBRARY_DIR is where the build installs the shipped library.
std::string InstalledPartFile() { return std::string(TERVANE_PART_LIBRARY_DIR "/") + std::string(kPartFileName); }

}  // namespace

std::string PartFileOption::Path() const {
  if (option && option->count() > 0) return given;
  std::error_code error;
  const std::filesystem::file_type type =
      std::filesystem::symlink_status(std::filesystem::path(kPartFileName), error).type();
  return type == std::filesystem::file_type::not_found ? InstalledPartFile() : std::string(kPartFileName);
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
  PartLibrary library;
  if (!LoadPartLibrary(*file, library)) throw UsageError("cannot open part file '" + path + "'");
  if (library.m_wideEncoding != WideEncoding::kNone)
    throw UsageError("part file '" + path + "' is " +
                     (library.m_wideEncoding == WideEncoding::kUtf16 ? "UTF-16" : "UTF-32") +
                     " text: save it as plain text");
  return library;
}

}  // namespace tervane::cli
