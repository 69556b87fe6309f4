// tervane-cli: a command-line front end on the calculator's engine, for
// scripts and checks. Each subcommand fills the form or dialog state the
// desktop windows fill, calls the same core, and prints what it shows.

#include <iostream>

#ifdef _WIN32
#include "cli/native_text.h"

int main() { return tervane::cli::RunCliOnWideCommandLine(std::cout, std::cerr); }
#else
#include "cli/run_cli.h"

int main(int argc, char** argv) { return tervane::cli::RunCli(argc, argv, std::cout, std::cerr); }
#endif
