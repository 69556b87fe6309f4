#include "notation/eng_format.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <cmath>

#include "notation/prefixes.h"

namespace tervane {
namespace {

// "%.*g" in the C locale, whatever the process locale, with the exponent
// widened to at least three digits ("1e+30" becomes "1e+030").
void AppendGeneral(std::string& out, double value, int digits) {
  char text[400];  // %g of a double at any precision up to 340 fits
  const auto written = std::to_chars(text, std::end(text), value, std::chars_format::general,
                                     std::min(digits, 340));
  const std::string_view s(text, static_cast<std::size_t>(written.ptr - text));
  const std::size_t e = s.find('e');
  if (e == std::string_view::npos) {
    out.append(s);
    return;
  }
  const std::string_view expDigits = s.substr(e + 2);  // after "e+" or "e-"
  out.append(s.substr(0, e + 2));
  out.append(expDigits.size() < 3 ? 3 - expDigits.size() : 0, '0');
  out.append(expDigits);
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  char text[400];  // the widest double, 309 digits, and any decimals asked of it
  const auto written =
      std::to_chars(text, std::end(text), value, std::chars_format::fixed, std::clamp(decimals, 0, 60));
  std::string out(text, written.ptr);
  if (out.find_first_not_of("-0.") == std::string::npos && out.front() == '-') out.erase(0, 1);
  return out;
}

std::string FormatEngValue(double value, int digits) {
  if (value == 0 || std::isnan(value)) return "0";
  if (std::isinf(value)) return value < 0 ? "-1e+999" : "1e+999";
  digits = std::max(digits, 1);

  double magnitude = std::fabs(value);
  const double step = std::pow(10.0, -digits);
  const double lower = 1 - 5 * step;
  const double upper = 1000 * lower;

  // One factor of 1000 at a time and strict comparisons: a value written
  // just at a bound may land on either side of it, and that is intended.
  int position = kBlankPrefix;
  while (magnitude > upper && position < kPrefixCount - 1) {
    magnitude /= 1000;
    ++position;
  }
  while (magnitude < lower && position > 0) {
    magnitude *= 1000;
    --position;
  }

  std::string out;
  if (magnitude > upper || magnitude < lower) {
    AppendGeneral(out, value, digits);
    return out;
  }
  AppendGeneral(out, value < 0 ? -magnitude : magnitude, digits);
  if (position != kBlankPrefix) out += g_szPrefixesMicro[position];
  return out;
}

}  // namespace tervane
