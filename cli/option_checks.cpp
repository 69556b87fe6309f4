#include "cli/option_checks.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "cli/command.h"
#include "form/figure_text.h"
#include "notation/cp1252.h"
#include "notation/csv.h"

namespace tervane::cli {
namespace {

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    const Utf8Char c = DecodeUtf8Char(text);
    if (!c.c) return false;
    text.remove_prefix(c.length);
  }
  return true;
}

void CheckUtf8(std::string_view value, const std::string& what) {
  if (!IsUtf8(value)) throw UsageError(what + ": '" + std::string(value) + "' is not valid UTF-8");
}

const CLI::Option* ValueOption(const CLI::App* command, std::string_view name) {
  if (command == nullptr) return nullptr;
  for (const CLI::Option* option : command->get_options())
    if (option->get_items_expected_min() > 0 && option->check_lname(std::string(name))) return option;
  return nullptr;
}

}  // namespace

std::vector<std::string> CheckedArguments(int argc, const char* const* argv, const CLI::App* command) {
  std::vector<std::string> args(argv, argv + argc);
  bool optionsEnd = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string arg = args[i];
    optionsEnd = optionsEnd || arg == "--";
    const std::size_t equals = arg.find('=');
    const CLI::Option* option = !optionsEnd && arg.starts_with("--")
                                    ? ValueOption(command, std::string_view(arg).substr(2, equals - 2))
                                    : nullptr;
    if (option == nullptr) {
      CheckUtf8(arg, "argument " + std::to_string(i));
      continue;
    }
    const std::string name = arg.substr(0, equals);
    auto wanted = static_cast<std::size_t>(option->get_items_expected_min());
    if (equals != std::string::npos) {
      CheckUtf8(std::string_view(arg).substr(equals + 1), name);
      if (equals + 1 == arg.size()) {
        args[i] = name;
        args.insert(args.begin() + static_cast<std::ptrdiff_t>(++i), std::string());
      }
      --wanted;
    }
    for (; wanted > 0 && i + 1 < args.size(); --wanted) {
      const std::string& value = args[++i];
      if (value.starts_with('-'))
        throw UsageError(name + ": '" + value + "' is taken for no value; write " + name +
                         "=VALUE for a value that begins with '-'");
      CheckUtf8(value, name);
    }
  }
  return args;
}

CLI::Validator NumberInRange(double low, double high, bool whole) {
  auto text = [whole](double bound) {
    return whole ? std::to_string(static_cast<unsigned long long>(bound)) : CsvNumber(bound);
  };
  const std::string range = text(low) + " to " + text(high);
  return CLI::Validator(
      [low, high, whole, range](std::string& text) -> std::string {
        const char* end = text.data() + text.size();
        double value = 0;
        std::from_chars_result read{};
        if (whole) {
          unsigned long long count = 0;
          read = std::from_chars(text.data(), end, count);
          value = static_cast<double>(count);
        } else {
          read = std::from_chars(text.data(), end, value);
        }
        if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value) || value < low || value > high)
          return "'" + text + "' is not a " + (whole ? "whole " : "") + "number from " + range;
        return {};
      },
      "", "NumberInRange");
}

}  // namespace tervane::cli

namespace tervane::cli {

void AddWeightingOption(CLI::App& app, std::string& word, const std::string& description) {
  std::vector<std::string> words;
  for (const WeightingNames& names : kWeightingNames) words.emplace_back(names.option);
  app.add_option("--weighting", word, description)->check(CLI::IsMember(words))->capture_default_str();
}

Weighting WeightingOfOption(std::string_view word) {
  for (const Weighting w : kWeightings)
    if (NamesOf(w).option == word) return w;
  return Weighting::kNone;  // the option's check admits no other word
}

}  // namespace tervane::cli
