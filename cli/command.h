#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>

#include <CLI/CLI.hpp>

namespace tervane::cli {

// Exit status of every command.
enum ExitStatus : int {
  kExitOk = 0,
  kExitInputError = 1,  // the report is the error text, or "Input error" is shown
  kExitUsage = 2,       // the command line cannot be carried out
};

// A command line that parses but cannot be carried out (an unknown part, a
// part file that cannot be read, ...). main prints it as one line on stderr
// and exits with kExitUsage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A subcommand registered on the application, and what runs it once the
// command line has been parsed into its options. Run writes to `out`, and a
// note on its input to `err`, and returns the exit status, or throws
// UsageError.
struct Command {
  CLI::App* app = nullptr;
  std::function<int(std::ostream& out, std::ostream& err)> run;
};

// A subcommand's name and one-line description, and how to give its
// registered app the options and the footer.
struct CommandEntry {
  const char* name;
  const char* description;
  Command (*addOptions)(CLI::App* app);
};

extern const CommandEntry kCalcCommand;
extern const CommandEntry kChainCommand;
extern const CommandEntry kCornerCommand;
extern const CommandEntry kFitCommand;
extern const CommandEntry kPartsCommand;
extern const CommandEntry kRankCommand;
extern const CommandEntry kSpectrumCommand;

}  // namespace tervane::cli
