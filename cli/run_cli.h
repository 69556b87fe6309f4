#pragma once

#include <iosfwd>

namespace tervane::cli {

// tervane-cli on one command line (argv[0] is the program's name): writes
// the command's output to `out` and a usage error, as one line, to `err`,
// and returns the exit status. It never ends the process, so that tests and
// fuzzers can run it in theirs.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tervane::cli
