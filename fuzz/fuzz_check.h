#pragma once

#include <cstdio>
#include <cstdlib>

namespace tervane::fuzz {

// A property every input must keep: when it does not, the fuzzer stops
// with the input saved, as it does for a crash.
inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

}  // namespace tervane::fuzz
