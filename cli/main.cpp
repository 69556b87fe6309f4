// tervane-cli: a command-line front end on the calculator's engine, for
// scripts and checks. Each subcommand fills the form or dialog state the
// desktop windows fill, calls the same core, and prints what it shows.

#include <iostream>

#include "cli/run_cli.h"

int main(int argc, char** argv) { return tervane::cli::RunCli(argc, argv, std::cout, std::cerr); }
