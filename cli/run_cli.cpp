#include "cli/run_cli.h"

#include <array>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/command.h"
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

// Usage errors get exactly one line on stderr.
int UsageFailure(std::ostream& err, std::string message) {
  for (char& c : message)
    if (c == '\n' || c == '\r') c = ' ';
  err << kProgram << ": " << message << '\n';
  return kExitUsage;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app("Noise of one op-amp gain stage: Tervane's engine on the command line", kProgram);
  app.set_version_flag("--version", std::string(kProgram) + " " + TERVANE_VERSION);
  app.require_subcommand(1);
  const std::array commands{AddCalcCommand(app),  AddCornerCommand(app),   AddPartsCommand(app),
                            AddRankCommand(app), AddSpectrumCommand(app)};
  app.footer(kMainFooter);  // after the subcommands, which would inherit it

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {  // --help, --version
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    return UsageFailure(err, e.what());
  }

  int status = kExitOk;
  try {
    for (const Command& command : commands)
      if (command.app->parsed()) status = command.run(out);
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
