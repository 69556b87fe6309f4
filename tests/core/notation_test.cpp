// Engineering notation: reading field text and writing numbers back.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "form/figure_text.h"
#include "fuzz/shown_number.h"
#include "notation/delimited_text.h"
#include "notation/eng_format.h"
#include "notation/eng_parse.h"
#include "notation/words.h"

namespace tervane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The micro sign of Windows-1252 text, in a literal of its own so that no
// following character is taken into the hex escape.
#define MICRO "\xB5"

// The double that a correctly rounded decimal reader gives for `text`.
double Decimal(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// ---------------------------------------------------------------------------
// ParseEngValue

struct ParseCase {
  std::string text;
  double value;  // what a correctly rounded read of the suffixed text gives
  bool partUnread = false;  // ReadEngValue: a character other than a blank is not part of the value
};

TEST(ParseEngValue, ReadsFieldTexts) {
  const bool U = true;
  const ParseCase cases[] = {
      {"4.7k", 4700}, {"3n", 3e-9}, {"400f", 400e-15}, {"20.0", 20}, {"-10m", -0.01},
      {"2.2u", 2.2e-6}, {"2.2" MICRO, 2.2e-6}, {"+2.2" MICRO, 2.2e-6},
      // The first character of "yzafpnum kMGTPEZY" is the prefix, the blank
      // included; the first micro sign counts only when there is none.
      {"2.2" MICRO " ", 2.2, U}, {"2.2" MICRO "m", 2.2, U}, {"2" MICRO "5" MICRO, 2e-6, U}, {"1 k", 1, U},
      {" 5k", 0, U}, {"1 ", 1}, {"1k ", 1000}, {"1E3", 1e18, U}, {"-1E3", -1e18, U}, {"1e3", 1000}, {"1K", 1, U},
      {"4k7", 4000, U}, {"1meg", 1e-3, U}, {"10,5k", 10, U}, {"1e3k", 1000, U}, {"1e3E", 1000, U}, {"47ohm", 47, U},
      {"4,7k", 4, U}, {"1.5.3k", 1.5, U},
      // Characters that cannot start a value are skipped; value characters
      // that start no number give 0.
      {"x5k", 5000, U}, {"R=4.7k", 4700, U}, {"\t47", 47}, {"\xE9" "5k", 5000, U}, {"k", 0, U}, {"", 0},
      {"abc", 0, U}, {MICRO "5", 0, U}, {"d5", 0, U}, {"D5", 0, U}, {".", 0, U}, {"-", 0, U}, {"+", 0, U},
      {"+-5", 0, U},
      // The decimal grammar: a leading plus, no hexadecimal, infinity or NaN.
      {"+5k", 5000}, {"-.5m", -0.0005}, {"5.", 5}, {"1e+3", 1000}, {"25e-1", 2.5},
      {"0x10", 0, U}, {"0X1P3", 0, U}, {"-INF", 0, U}, {"+INFINITY", 0, U}, {"-NAN", 0, U},
      // Only the first 31 characters are looked at.
      {"1." + std::string(30, '0') + "k", 1, U}, {"1." + std::string(29, '0') + "k", 1, U},
      {"1." + std::string(28, '0') + "k", 1000}, {"1" + std::string(29, '0') + "y", 1e5},
      // Beyond the range of a double, and exact down to the last subnormal.
      {"1e400", kInf}, {"-1e400", -kInf}, {"1e400k", kInf, U}, {"1e-400", 0}, {"0.1", 0.1},
      {"123456789012345678", 123456789012345678.0},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
      // A NUL ends the text.
      {std::string("5\0k", 3), 5, U}, {std::string("\0" "5", 2), 0, U}, {std::string("12\0" "34", 5), 12, U},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(ParseEngValue(c.text), c.value) << "\"" << c.text << "\"";
    const EngReading reading = ReadEngValue(c.text);
    EXPECT_EQ(reading.value, c.value) << "\"" << c.text << "\"";
    EXPECT_EQ(reading.partUnread, c.partUnread) << "\"" << c.text << "\"";
  }
  // A negative number too small for a double is a zero that keeps its sign.
  EXPECT_TRUE(std::signbit(ParseEngValue("-1e-400")));
}

// ---------------------------------------------------------------------------
// FormatEngValue

struct FormatCase {
  double value;
  std::string text;
};

TEST(FormatEngValue, WritesFourDigitsAndAPrefix) {
  const FormatCase cases[] = {
      {0.0, "0"}, {-0.0, "0"}, {kNaN, "0"}, {-kNaN, "0"}, {1, "1"}, {88.0903, "88.09"},
      {4700, "4.7k"}, {12345.678, "12.35k"}, {-1234567, "-1.235M"}, {2.2e-6, "2.2" MICRO},
      {3e-9, "3n"}, {4e-13, "400f"}, {-0.02, "-20m"}, {5.5e-23, "55y"},
      // Strict bounds at 0.9995 and 999.5, one factor of 1000 at a time.
      {999.4, "999.4"}, {999.5, "999.5"}, {999.6, "0.9996k"}, {-999.6, "-0.9996k"},
      {999.96, "1k"}, {0.9995, "0.9995"}, {0.99949, "999.5m"}, {0.0009996, "0.9996m"},
      {0.0009995, "999.5" MICRO}, {1.0005e-9, "1.001n"}, {1.2345e-5, "12.35" MICRO},
      {2.5005e21, "2.501Z"},
      // Beyond the prefixes: exponent notation with three exponent digits.
      {5e26, "500Y"}, {1e-24, "1y"}, {9.99e-25, "9.99e-025"}, {1e27, "1e+027"},
      {-1e30, "-1e+030"}, {1e-30, "1e-030"}, {-1.23456e30, "-1.235e+030"}, {1e300, "1e+300"},
      {std::numeric_limits<double>::max(), "1.798e+308"},
      {std::numeric_limits<double>::denorm_min(), "4.941e-324"},
      {kInf, "1e+999"}, {-kInf, "-1e+999"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(FormatEngValue(c.value, 4), c.text) << std::hexfloat << c.value;
  // An infinity reads back as one.
  EXPECT_EQ(ParseEngValue(FormatEngValue(-kInf, 4)), -kInf);
}

// Fixed decimals (decibels, shares) never say a negative zero: a gain a
// hair under 1 is "0.00dB", not "-0.00dB".
TEST(FormatFixed, WritesNoNegativeZero) {
  for (const auto& [value, decimals, text] :
       {std::tuple{-0.001, 2, "0.00"}, {-0.0, 1, "0.0"}, {-0.049, 1, "0.0"}, {-0.051, 1, "-0.1"}, {-1e-300, 0, "0"},
        {3.14159, 2, "3.14"}, {99.96, 1, "100.0"}, {-129.604, 2, "-129.60"}, {1e6, 0, "1000000"}})
    EXPECT_EQ(FormatFixed(value, decimals), text) << value;
  EXPECT_EQ(FigureText(20 * std::log10(0.99999), "dB", FigureKind::kDecibel), "0.00dB");
}

// ---------------------------------------------------------------------------
// Round trip: what the formatter writes, the reader reads back as the number
// the text shows.

// Values either side of every prefix's scaling bounds, and a spread of
// mantissas over every decade from far below to far above the prefixes.
std::vector<double> SweepValues() {
  std::vector<double> values;
  for (int power = -27; power <= 27; power += 3) {
    for (const char* bound : {"0.9995e", "999.5e", "0.99995e", "999.95e", "1e"}) {
      double value = Decimal(bound + std::to_string(power));
      for (int step = 0; step < 3; ++step) value = std::nextafter(value, 0.0);
      for (int step = 0; step < 7; ++step, value = std::nextafter(value, kInf)) values.push_back(value);
    }
  }
  for (int decade = -40; decade <= 40; ++decade)
    for (double mantissa : {1.0, 1.23456789, 4.99995, 9.87654321}) values.push_back(-mantissa * std::pow(10.0, decade));
  return values;
}

TEST(FormatEngValue, ReadsBackAsTheNumberShown) {
  // The program writes four digits; the rule holds for any count from three.
  for (int digits : {3, 4, 5, 10, 17}) {
    for (double value : SweepValues()) {
      const std::string text = FormatEngValue(value, digits);
      SCOPED_TRACE(testing::Message() << std::hexfloat << value << " " << digits << " \"" << text << "\"");
      ASSERT_LE(text.size(), static_cast<std::size_t>(digits + 7));
      const std::optional<double> shown = test::ShownNumber(text);
      ASSERT_TRUE(shown.has_value());
      EXPECT_EQ(ParseEngValue(text), *shown);
      // Half a unit of the last digit, plus the roundings of the scaling.
      EXPECT_LE(std::fabs(*shown - value), (5 * std::pow(10.0, -digits) + 1e-14) * std::fabs(value));
    }
  }
}

// ---------------------------------------------------------------------------
// ScanWords

// Up to `most` words of `text`, as ScanWords finds them.
std::vector<std::string> Words(std::string_view text, std::size_t most) {
  std::vector<std::string_view> found(most);
  found.resize(ScanWords(text, found));
  return {found.begin(), found.end()};
}

TEST(DelimitedField, QuotesWhatWouldSplitTheLine) {
  struct Case {
    std::string_view text;
    char separator;
    std::string_view field;
  };
  for (const Case& c : std::vector<Case>{{"OP27", ',', "OP27"}, {"a,b", ',', "\"a,b\""}, {"a,b", '\t', "a,b"},
                                         {"a\tb", '\t', "\"a\tb\""}, {"say \"hi\"", '\t', "\"say \"\"hi\"\"\""},
                                         {"two\nlines", ',', "\"two\nlines\""}, {"cr\r", '\t', "\"cr\r\""},
                                         {"\xb5V", ',', "\xb5V"}, {"", ',', ""}})
    EXPECT_EQ(DelimitedField(c.text, c.separator), c.field) << c.text;
}

TEST(ScanWords, SplitsAtTheCLocalesBlanksUpToANulOrTheRoomGiven) {
  struct Case {
    std::string text;
    std::size_t most;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"  one two three four five", 4, {"one", "two", "three", "four"}}, {"one", 0, {}}, {"", 4, {}},
      {"a\tb\nc\vd\fe\rf ", 8, {"a", "b", "c", "d", "e", "f"}},
      // Bytes that are blanks elsewhere, or carry the top bit of TAB and CR.
      {"\x01\x1F\x7F\x85\x89\x8D\xA0\xB5 z", 4, {"\x01\x1F\x7F\x85\x89\x8D\xA0\xB5", "z"}},
      {std::string("ab\0 cd", 6), 4, {"ab"}}, {std::string("\v\0cd", 4), 4, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Words(c.text, c.most), c.words) << c.text;
}

}  // namespace
}  // namespace tervane
