#include "notation/eng_parse.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <limits>

#include "notation/prefixes.h"

namespace tervane {
namespace {

constexpr int kNotPrefix = -1;

struct CharClasses {
  std::array<bool, 256> valueChar{};
  std::array<signed char, 256> prefixPos{};  // position in g_szPrefixes
};

constexpr CharClasses MakeCharClasses() {
  CharClasses c;
  c.prefixPos.fill(kNotPrefix);
  for (unsigned char ch : std::string_view(g_szValueChars)) c.valueChar[ch] = true;
  for (int i = 0; i < kPrefixCount; ++i)
    c.prefixPos[static_cast<unsigned char>(g_szPrefixes[i])] = static_cast<signed char>(i);
  return c;
}

constexpr CharClasses kClasses = MakeCharClasses();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `s` that is a decimal number as "%lf"
// reads one: sign, digits with at most one full stop (at least one digit),
// then an exponent only when it is complete. Nothing hexadecimal, no
// infinity, no NaN. Returns 0 when no number starts here.
std::size_t DecimalLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && IsDigit(s[j])) {
      while (j < s.size() && IsDigit(s[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Converts a text that DecimalLength accepted in full. Out of the range of a
// double, it gives what strtod gives: an infinity for a huge magnitude, zero
// for a tiny one, the sign kept either way.
double ConvertDecimal(std::string_view number) {
  const bool negative = number.front() == '-';
  if (number.front() == '+' || negative) number.remove_prefix(1);
  double value = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                   std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // A mantissa of at most 34 characters is in range by itself, so the
    // exponent's sign tells overflow from underflow.
    const std::size_t e = number.find_first_of("eE");
    const bool overflow = number[e + 1] != '-';
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

// The characters a value came from: the number and the prefix applied to it.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The value of a text and, when `span` is given, the characters it came
// from. Field texts are read at every calculation; only a note asks.
double Parse(std::string_view text, Span* span) {
  text = text.substr(0, std::min(text.find('\0'), kParseWindow));

  std::size_t start = 0;
  while (start < text.size() && !kClasses.valueChar[static_cast<unsigned char>(text[start])])
    ++start;
  if (start == text.size()) return 0.0;

  // The first prefix character after the start wins; a micro sign counts
  // only when no character of g_szPrefixes occurs at all.
  std::size_t cut = text.size();
  std::size_t micro = text.size();
  int position = kBlankPrefix;
  for (std::size_t i = start; i < text.size(); ++i) {
    const int p = kClasses.prefixPos[static_cast<unsigned char>(text[i])];
    if (p != kNotPrefix) {
      cut = i;
      position = p;
      break;
    }
    if (text[i] == kMicroSign && micro == text.size()) micro = i;
  }
  if (cut == text.size() && micro != text.size()) {
    cut = micro;
    position = kMicroPrefix;
  }

  // The working text: the cut number and, for a prefix other than the blank,
  // the suffix "e<power>". 31 characters and "e-24" fit.
  char work[kParseWindow + 8];
  std::size_t length = cut - start;
  text.copy(work, length, start);
  const int power = 3 * (position - kBlankPrefix);
  if (power != 0) {
    work[length++] = 'e';
    length = static_cast<std::size_t>(std::to_chars(work + length, std::end(work), power).ptr - work);
  }

  const std::string_view working(work, length);
  const std::size_t numberLength = DecimalLength(working);
  if (span) {
    // The prefix applies only when the number runs up to it (and through
    // its suffix); a blank applies as a power of 0.
    const bool prefixApplied = numberLength > 0 && numberLength == length;
    *span = {start, prefixApplied ? std::min(cut + 1, text.size()) : start + numberLength};
  }
  return numberLength == 0 ? 0.0 : ConvertDecimal(working.substr(0, numberLength));
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

double ParseEngValue(std::string_view text) { return Parse(text, nullptr); }

EngReading ReadEngValue(std::string_view text) {
  Span span;
  const double value = Parse(text, &span);
  const auto unread = [](std::string_view part) { return !std::ranges::all_of(part, IsWhiteSpace); };
  return {value, unread(text.substr(0, span.begin)) || unread(text.substr(span.end))};
}

}  // namespace tervane
