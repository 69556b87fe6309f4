// FormatEngValue on any double: eight bytes are the value's bits, an
// optional ninth picks the digit count (3 to 24; without it 4, the only
// count the program writes).
//
// What every text must satisfy:
// - at most digits + 7 characters, which for 24 digits is 31: every text
//   fits the original 32-byte field buffers and the reader's window;
// - it reads back as the number it shows: ParseEngValue gives what a
//   correctly rounded read of its mantissa, scaled by its prefix, gives;
// - it is read whole: the main window never says a written-back field is
//   read in part;
// - that number is the value rounded to `digits` significant digits;
// - reading, writing and reading again gives the same number. The text
//   itself need not come back unchanged: a number on a scaling bound may be
//   written with either prefix ("999.5" or "0.9995k"). This holds up to 14
//   digits: a double keeps 15 decimal digits, and the scaling by powers of
//   1000 costs a little of that.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <optional>

#include "fuzz/fuzz_check.h"
#include "fuzz/shown_number.h"
#include "notation/eng_format.h"
#include "notation/eng_parse.h"

namespace {

using tervane::fuzz::Check;

constexpr int kMinDigits = 3;
constexpr int kMaxDigits = 24;
constexpr int kMaxStableDigits = 14;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  double value;
  if (size < sizeof value) return 0;
  std::memcpy(&value, data, sizeof value);
  const int digits = size > sizeof value
                         ? kMinDigits + data[sizeof value] % (kMaxDigits - kMinDigits + 1)
                         : tervane::kShownDigits;

  const std::string text = tervane::FormatEngValue(value, digits);
  Check(!text.empty() && text.size() <= static_cast<std::size_t>(digits + 7), "length within digits + 7");

  const std::optional<double> number = tervane::test::ShownNumber(text);
  Check(number.has_value(), "the text is a decimal number, perhaps with a prefix");
  const double shown = *number;
  const double read = tervane::ParseEngValue(text);
  Check(read == shown, "the text reads back as the number it shows");
  Check(!tervane::ReadEngValue(text).partUnread, "the whole text is read");
  if (std::isfinite(value) && std::isfinite(shown)) {
    // Half a unit of the last digit, a little for the scaling, and the
    // spacing of subnormals, where the nearest double may lie further off.
    const double tolerance = (5 * std::pow(10.0, -digits) + 1e-14) * std::fabs(value) +
                             std::numeric_limits<double>::denorm_min();
    Check(std::fabs(shown - value) <= tolerance, "the number shown is the value rounded");
  }

  if (digits <= kMaxStableDigits) {
    const std::string again = tervane::FormatEngValue(read, digits);
    Check(tervane::ParseEngValue(again) == read, "rewriting the number read shows the same number");
  }
  return 0;
}
