// ParseEngValue and ReadEngValue on any bytes. The text sits in a heap block of exactly its
// length with nothing after it, so AddressSanitizer stops any read past the
// end (a reader that expected a terminating zero would make one).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "notation/eng_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> text(new char[size]);
  std::memcpy(text.get(), data, size);
  const double value = tervane::ParseEngValue(std::string_view(text.get(), size));
  // The decimal grammar has no NaN, and nothing in the reading makes one.
  tervane::fuzz::Check(!std::isnan(value), "a field never reads as NaN");
  const tervane::EngReading reading = tervane::ReadEngValue(std::string_view(text.get(), size));
  tervane::fuzz::Check(reading.value == value, "the reading that says what it leaves unread reads the same");
  return 0;
}
