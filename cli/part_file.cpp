#include "cli/part_file.h"

#include <ostream>

#include "cli/command.h"
#include "cli/native_text.h"
#include "cli/text_output.h"
#include "parts/file_check.h"

namespace tervane::cli {

std::string DefaultPartFile() { return std::string(kPartFileName); }

PartLibrary LoadPartFile(const std::string& path) {
  const std::optional<std::filesystem::path> file = PathFromUtf8(path);
  if (!file) throw UsageError("cannot open part file: its name is not valid UTF-8");
  if (const std::string reason = NotAFileReason(*file); !reason.empty())
    throw UsageError("cannot open part file '" + path + "': " + reason);
  PartLibrary library;
  if (!LoadPartLibrary(*file, library)) throw UsageError("cannot open part file '" + path + "'");
  if (library.m_wideEncoding != WideEncoding::kNone)
    throw UsageError("part file '" + path + "' is " + std::string(NameOf(library.m_wideEncoding)) +
                     " text: save it as plain text");
  return library;
}

void NoteSkippedLines(const PartLibrary& library, const std::string& path, std::ostream& err) {
  const std::string note = SkippedLinesNote(library);
  if (!note.empty()) err << "tervane-cli: part file '" << EscapedText(path) << "': " << note << '\n';
}

}  // namespace tervane::cli
