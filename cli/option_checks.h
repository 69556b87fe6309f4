#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "noise/weighting.h"

// What CLI11 would take silently and the command line refuses: an option
// that swallows the next option as its value, a byte that is not UTF-8, a
// number that is no number.
namespace tervane::cli {

// The arguments as CLI11 is to parse them, after these checks, each a
// UsageError naming the option: a value is valid UTF-8; an option of
// `command` that takes values is followed by as many that do not begin with
// '-' (such a value is written --option=VALUE). "--option=" is rewritten as
// the option and an empty value, which CLI11 would otherwise look for in the
// next argument.
std::vector<std::string> CheckedArguments(int argc, const char* const* argv, const CLI::App* command);

// The option's text read whole as a number from `low` to `high`: a finite
// decimal number, or with `whole` digits alone, so that neither NaN nor a
// negative count that wraps around gets through.
CLI::Validator NumberInRange(double low, double high, bool whole = false);

// --weighting: one of the weightings' option words (kWeightingNames), "none"
// by default; `word` must outlive the parse.
void AddWeightingOption(CLI::App& app, std::string& word, const std::string& description);

// The weighting an option word picks.
Weighting WeightingOfOption(std::string_view word);

}  // namespace tervane::cli
