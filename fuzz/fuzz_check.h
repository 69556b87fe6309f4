#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::fuzz {

// A property every input must keep: when it does not, the fuzzer stops
// with the input saved, as it does for a crash.
inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

// The pieces of `input` between `separator`s, the last one perhaps without.
inline std::vector<std::string> Split(std::string_view input, char separator) {
  std::vector<std::string> pieces;
  for (std::size_t start = 0, end = 0; start < input.size(); start = end + 1) {
    end = std::min(input.find(separator, start), input.size());
    pieces.emplace_back(input.substr(start, end - start));
  }
  return pieces;
}

}  // namespace tervane::fuzz
