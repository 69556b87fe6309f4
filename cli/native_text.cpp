#include "cli/native_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
// windows.h first: shellapi.h builds on its types.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <vector>

#include "cli/command.h"
#include "cli/run_cli.h"
#endif

namespace tervane::cli {

#ifdef _WIN32
namespace {

std::optional<std::wstring> Utf8ToWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (wideSize == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wideSize);
  return wide;
}

std::optional<std::string> WideToUtf8(const wchar_t* wide) {
  if (*wide == L'\0') return std::string();
  // The length -1 counts the terminating null in.
  const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size == 0) return std::nullopt;
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();
  return utf8;
}

std::vector<std::string> Utf8Arguments() {
  int argc = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
  if (!argv) throw UsageError("cannot read the command line");
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) {
    std::optional<std::string> argument = WideToUtf8(argv.get()[i]);
    if (!argument)
      throw UsageError("argument " + std::to_string(i) +
                       " is not valid Unicode (it holds a lone surrogate) and cannot be read as UTF-8");
    arguments.push_back(std::move(*argument));
  }
  return arguments;
}

bool IsConsole(FILE* stream) {
  DWORD mode = 0;
  return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}

// For the life of a run. The console's code page belongs to the shell too,
// so it is put back at the end.
class Utf8Console {
 public:
  Utf8Console() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (!IsConsole(stdout) && !IsConsole(stderr)) return;
    const UINT previous = GetConsoleOutputCP();
    if (!SetConsoleOutputCP(CP_UTF8)) throw UsageError("cannot switch the console to UTF-8 output");
    m_previousCodePage = previous;
  }
  ~Utf8Console() {
    if (m_previousCodePage == 0) return;
    std::fflush(stdout);
    std::fflush(stderr);
    SetConsoleOutputCP(m_previousCodePage);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT m_previousCodePage = 0;
};

}  // namespace

std::optional<std::filesystem::path> PathFromUtf8(const std::string& utf8) {
  std::optional<std::wstring> wide = Utf8ToWide(utf8);
  if (!wide) return std::nullopt;
  return std::filesystem::path(std::move(*wide));
}

int RunCliOnWideCommandLine(std::ostream& out, std::ostream& err) {
  try {
    const Utf8Console console;
    const std::vector<std::string> arguments = Utf8Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    return RunCli(static_cast<int>(arguments.size()), argv.data(), out, err);
  } catch (const UsageError& e) {
    err << "tervane-cli: " << e.what() << '\n';
    return kExitUsage;
  }
}

#else

std::optional<std::filesystem::path> PathFromUtf8(const std::string& utf8) { return std::filesystem::path(utf8); }

#endif

}  // namespace tervane::cli
