#include "cli/part_file.h"

#include "cli/command.h"
#include "cli/native_text.h"

namespace tervane::cli {

std::string DefaultPartFile() { return std::string(kPartFileName); }

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
