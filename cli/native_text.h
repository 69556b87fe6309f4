#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

// The program's text is UTF-8; here it crosses to the operating system's own
// form. Windows takes UTF-16 for command lines and file names and shows a
// console's output in a code page, so each is converted there, and a text
// that cannot be converted is refused rather than changed.
namespace tervane::cli {

// The file a UTF-8 file name names: on Windows its UTF-16 form, so that a
// file in a folder of any name opens; elsewhere its bytes. Empty when the
// name is not valid UTF-8 on Windows.
std::optional<std::filesystem::path> PathFromUtf8(const std::string& utf8);

#ifdef _WIN32
// RunCli on the process's command line, taken as UTF-16 and passed on as
// UTF-8 (main's argv is in the ANSI code page, which drops every character
// it lacks), with standard output and error passing their bytes as they are
// ("\n" stays "\n" in a file or a pipe) and a console showing them as UTF-8.
// An argument holding a lone surrogate, which UTF-8 cannot hold, is a usage
// error, as is a console that cannot be switched to UTF-8.
int RunCliOnWideCommandLine(std::ostream& out, std::ostream& err);
#endif

}  // namespace tervane::cli
