#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tervane::test {

// The number a written text shows, read by the C library: the mantissa must
// be a plain decimal in full, and a last letter that is a prefix scales it.
// The prefixes are listed here rather than taken from the library so that a
// wrong table in it shows. Shared by the notation tests and fuzz_format.
inline std::optional<double> ShownNumber(const std::string& text) {
  constexpr std::string_view kOutputPrefixes = "yzafpn\xB5m kMGTPEZY";
  constexpr std::size_t kBlankPrefix = 8;
  std::string mantissa = text;
  int power = 0;
  const std::size_t prefix = text.empty() ? std::string_view::npos : kOutputPrefixes.find(text.back());
  if (prefix != std::string_view::npos && prefix != kBlankPrefix) {
    mantissa.pop_back();
    power = 3 * (static_cast<int>(prefix) - static_cast<int>(kBlankPrefix));
  }
  if (mantissa.empty() || mantissa.find_first_not_of("-+.0123456789e") != std::string::npos) return std::nullopt;
  const std::string scaled = power == 0 ? mantissa : mantissa + "e" + std::to_string(power);
  char* end = nullptr;
  const double shown = std::strtod(scaled.c_str(), &end);
  if (end != scaled.c_str() + scaled.size()) return std::nullopt;
  return shown;
}

}  // namespace tervane::test
