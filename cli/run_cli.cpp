#include "cli/run_cli.h"

#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/option_checks.h"
#include "cli/text_output.h"
#include "cli/version.h"

namespace tervane::cli {
namespace {

constexpr const char* kProgram = "tervane-cli";

constexpr const char* kMainFooter =
    "Text arguments are UTF-8; the output is UTF-8 unless a format says otherwise.\n"
    "Run 'tervane-cli COMMAND --help' for a command's options.\n"
    "\n"
    "Exit status: 0 done; 1 the report is the error text, or \"Input error\" is shown\n"
    "(the output is still printed); 2 usage error, with one line on stderr.";

// Usage errors get exactly one line on stderr, in UTF-8, whatever the user
// text in it holds.
int UsageFailure(std::ostream& err, std::string_view message) {
  err << kProgram << ": " << EscapedText(message) << '\n';
  return kExitUsage;
}

const std::array kCommands{&kCalcCommand,  &kChainCommand, &kCornerCommand,   &kFitCommand,
                           &kPartsCommand, &kRankCommand,  &kSpectrumCommand};

// The subcommand CLI11 will take: the first argument that names one, before
// any "--". The application's own options take no values, so nothing else
// can stand in the way.
const CommandEntry* NamedCommand(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    for (const CommandEntry* command : kCommands)
      if (arg == command->name) return command;
  }
  return nullptr;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app("Noise of one op-amp gain stage: Tervane's engine on the command line", kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + TERVANE_VERSION);
  app.require_subcommand(1);
  // Every command is listed, but only the one the line names gets its
  // options: setting up all of them would be most of a run's work.
  const CommandEntry* named = NamedCommand(argc, argv);
  Command command;
  for (const CommandEntry* entry : kCommands) {
    CLI::App* sub = app.add_subcommand(entry->name, entry->description);
    if (entry == named) command = entry->addOptions(sub);
  }
  app.footer(kMainFooter);  // after the subcommands, which would inherit it

  int status = kExitOk;
  try {
    const std::vector<std::string> args = CheckedArguments(argc, argv, command.app);
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
    if (command.app != nullptr && command.app->parsed()) status = command.run(out, err);
  } catch (const CLI::Success& e) {  // --help, --version: written, and checked below like any output
    status = app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    return UsageFailure(err, e.what());
  } catch (const UsageError& e) {
    return UsageFailure(err, e.what());
  }

  out.flush();
  if (!out) {
    err << kProgram << ": cannot write the output\n";
    return kExitUsage;
  }
  return status;
}

}  // namespace tervane::cli
