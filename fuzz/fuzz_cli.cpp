// tervane-cli in process: the input is the command line after the program's
// name, each argument ended by a NUL as in /proc/<pid>/cmdline (the last one
// may lack it). The exit status must be one of the three, and
// standard error must hold exactly one line for a usage error, and
// otherwise nothing but the program's own notes, a line each.
//
// Part files are only ever read, and only from the current directory: an
// argument with a '/' is not run, so that no input can send the reader to
// a device or a special file elsewhere.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run_cli.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.find('/') != std::string_view::npos) return 0;

  const std::vector<std::string> args = tervane::fuzz::Split(input, '\0');
  std::vector<const char*> argv{"tervane-cli"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);

  std::ostringstream out;
  std::ostringstream err;
  const int status = tervane::cli::RunCli(static_cast<int>(argv.size() - 1), argv.data(), out, err);
  Check(status >= 0 && status <= 2, "the exit status is 0, 1 or 2");
  const std::string message = err.str();
  if (status == 2)
    Check(!message.empty() && message.find('\n') == message.size() - 1,
          "a usage error is one line on standard error");
  else
    Check(message.empty() || (message.starts_with("tervane-cli: ") && message.ends_with('\n')),
          "standard error holds only the program's notes unless the command line is wrong");
  return 0;
}
