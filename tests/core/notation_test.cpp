// Engineering notation: reading field text and writing numbers back.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "notation/eng_format.h"
#include "notation/eng_parse.h"
#include "notation/prefixes.h"

namespace tervane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The micro sign of Windows-1252 text, kept in its own literal so that no
// following character is taken into the hex escape.
#define MICRO "\xB5"

// The double that a correctly rounded decimal reader gives for `text`.
double Decimal(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// ---------------------------------------------------------------------------
// ParseEngValue

struct ParseCase {
  const char* name;
  std::string text;
  double value;
};

std::ostream& operator<<(std::ostream& os, const ParseCase& c) { return os << c.name; }

std::string ParseCaseName(const testing::TestParamInfo<ParseCase>& info) { return info.param.name; }

class ParseEngValueTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseEngValueTest, ReadsTheValueTheTextHolds) {
  const ParseCase& c = GetParam();
  const double got = ParseEngValue(c.text);
  // Every value below is what a correctly rounded decimal read of the
  // (possibly suffixed) text gives, so the comparison is exact.
  EXPECT_EQ(got, c.value) << "text \"" << c.text << "\"";
}

const std::string kThirtyZeros(30, '0');

// Field texts and what they read as, one or more per rule of the reader.
INSTANTIATE_TEST_SUITE_P(
    FieldTexts, ParseEngValueTest,
    testing::Values(
        ParseCase{"Kilo", "4.7k", 4700},
        ParseCase{"Nano", "3n", 3e-9},
        ParseCase{"Femto", "400f", 400e-15},
        ParseCase{"LetterU", "2.2u", 2.2e-6},
        ParseCase{"MicroSign", "2.2" MICRO, 2.2e-6},
        ParseCase{"MicroSignThenBlank", "2.2" MICRO " ", 2.2},
        ParseCase{"MicroSignThenMilli", "2.2" MICRO "m", 2.2},
        ParseCase{"UpperEIsExa", "1E3", 1e18},
        ParseCase{"LowerEIsExponent", "1e3", 1000},
        ParseCase{"UpperKIsNoPrefix", "1K", 1},
        ParseCase{"BlankIsPrefixOfOne", "1 k", 1},
        ParseCase{"BlankFirst", " 5k", 0},
        ParseCase{"PrefixAlone", "k", 0},
        ParseCase{"Empty", "", 0},
        ParseCase{"AttoStartsLetters", "abc", 0},
        ParseCase{"LeadingJunkSkipped", "x5k", 5000},
        ParseCase{"LabelSkipped", "R=4.7k", 4700},
        ParseCase{"TabSkipped", "\t47", 47},
        ParseCase{"HighByteSkipped", "\xE9" "5k", 5000},
        ParseCase{"MicroSignFirst", MICRO "5", 0},
        ParseCase{"AfterPrefixDropped", "4k7", 4000},
        ParseCase{"ExponentThenPrefix", "1e3k", 1000},
        ParseCase{"ExponentThenExa", "1e3E", 1000},
        ParseCase{"OhmCutAtMilli", "47ohm", 47},
        ParseCase{"CommaStops", "4,7k", 4},
        ParseCase{"SecondPointStops", "1.5.3k", 1.5},
        ParseCase{"NegativeMilli", "-10m", -0.01},
        ParseCase{"NegativeExa", "-1E3", -1e18},
        ParseCase{"NoPrefix", "20.0", 20},
        ParseCase{"LeadingPlus", "+5k", 5000},
        ParseCase{"LeadingPlusMicro", "+2.2" MICRO, 2.2e-6},
        ParseCase{"PointFirst", "-.5m", -0.0005},
        ParseCase{"TrailingPoint", "5.", 5},
        ParseCase{"PointAlone", ".", 0},
        ParseCase{"MinusAlone", "-", 0},
        ParseCase{"PlusAlone", "+", 0},
        ParseCase{"TwoSigns", "+-5", 0},
        ParseCase{"ExponentLetterFirst", "d5", 0},
        ParseCase{"ExponentWithSign", "1e+3", 1000},
        ParseCase{"NegativeExponent", "25e-1", 2.5},
        // Nothing is read as hexadecimal, infinity or NaN.
        ParseCase{"HexIsZero", "0x10", 0},
        ParseCase{"HexFloatIsZero", "0X1P3", 0},
        ParseCase{"InfIsZero", "-INF", 0},
        ParseCase{"InfinityIsZero", "+INFINITY", 0},
        ParseCase{"NanIsZero", "-NAN", 0},
        // Only the first 31 characters are looked at.
        ParseCase{"PrefixBeyondWindow", "1." + kThirtyZeros + "k", 1},
        ParseCase{"PrefixJustBeyondWindow", "1." + std::string(29, '0') + "k", 1},
        ParseCase{"PrefixLastInWindow", "1." + std::string(28, '0') + "k", 1000},
        ParseCase{"LongSuffixLastInWindow", "1" + std::string(29, '0') + "y", 1e5},
        // Numbers beyond the range of a double.
        ParseCase{"Overflow", "1e400", kInf},
        ParseCase{"NegativeOverflow", "-1e400", -kInf},
        ParseCase{"OverflowBeforePrefix", "1e400k", kInf},
        ParseCase{"Underflow", "1e-400", 0},
        ParseCase{"NegativeUnderflow", "-1e-400", 0},
        // Decimal reading is exact, down to the smallest subnormal.
        ParseCase{"OneTenth", "0.1", 0.1},
        ParseCase{"ManyDigits", "123456789012345678", 123456789012345678.0},
        ParseCase{"Largest", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        ParseCase{"SmallestNormal", "2.2250738585072014e-308", std::numeric_limits<double>::min()},
        ParseCase{"Subnormal", "1e-310", 1e-310},
        ParseCase{"SmallestSubnormal", "4.9406564584124654e-324",
                  std::numeric_limits<double>::denorm_min()},
        // A NUL ends the text.
        ParseCase{"NulBeforePrefix", std::string("5\0k", 3), 5},
        ParseCase{"NulFirst", std::string("\0" "5", 2), 0},
        ParseCase{"NulInNumber", std::string("12\0" "34", 5), 12}),
    ParseCaseName);

// Each of the seventeen prefixes scales by its own power of ten.
TEST(ParseEngValuePrefixes, EveryPrefixScalesByItsPower) {
  for (int i = 0; i < kPrefixCount; ++i) {
    const int power = 3 * (i - kBlankPrefix);
    const double expected = Decimal("1e" + std::to_string(power));
    const std::string text = std::string("1") + g_szPrefixes[i];
    EXPECT_EQ(ParseEngValue(text), expected) << "text \"" << text << "\"";
    const std::string micro = std::string("7") + g_szPrefixesMicro[i];
    EXPECT_EQ(ParseEngValue(micro), Decimal("7e" + std::to_string(power)))
        << "text \"" << micro << "\"";
  }
}

TEST(ParseEngValueZero, NegativeUnderflowKeepsItsSign) {
  // An underflowing negative number is a zero; it still compares equal to 0,
  // but a reader that went through a positive path would lose the sign.
  EXPECT_TRUE(std::signbit(ParseEngValue("-1e-400")));
  EXPECT_FALSE(std::signbit(ParseEngValue("1e-400")));
}

// ---------------------------------------------------------------------------
// FormatEngValue

struct FormatCase {
  const char* name;
  double value;
  std::string text;
};

std::ostream& operator<<(std::ostream& os, const FormatCase& c) { return os << c.name; }

std::string FormatCaseName(const testing::TestParamInfo<FormatCase>& info) {
  return info.param.name;
}

class FormatEngValueTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatEngValueTest, WritesFourSignificantDigitsAndAPrefix) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatEngValue(c.value, kShownDigits), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatEngValueTest,
    testing::Values(
        FormatCase{"Zero", 0.0, "0"},
        FormatCase{"NegativeZero", -0.0, "0"},
        FormatCase{"NaN", kNaN, "0"},
        FormatCase{"NegativeNaN", -kNaN, "0"},
        FormatCase{"One", 1, "1"},
        FormatCase{"Rounded", 88.0903, "88.09"},
        FormatCase{"BelowUpperBound", 999.4, "999.4"},
        FormatCase{"AtUpperBound", 999.5, "999.5"},
        FormatCase{"AboveUpperBound", 999.6, "0.9996k"},
        FormatCase{"RoundsUpToOne", 999.96, "1k"},
        FormatCase{"Thousand", 1000, "1k"},
        FormatCase{"Kilo", 4700, "4.7k"},
        FormatCase{"KiloRounded", 12345.678, "12.35k"},
        FormatCase{"NegativeMega", -1234567, "-1.235M"},
        FormatCase{"NegativeAboveUpperBound", -999.6, "-0.9996k"},
        FormatCase{"AtLowerBound", 0.9995, "0.9995"},
        FormatCase{"BelowLowerBound", 0.99949, "999.5m"},
        FormatCase{"JustAboveLowerBoundMilli", 0.0009996, "0.9996m"},
        FormatCase{"ScaledBelowLowerBound", 0.0009995, "999.5" MICRO},
        FormatCase{"Milli", 0.001, "1m"},
        FormatCase{"MicroSign", 2.2e-6, "2.2" MICRO},
        FormatCase{"Nano", 3e-9, "3n"},
        FormatCase{"Femto", 4e-13, "400f"},
        FormatCase{"NegativeMilli", -0.02, "-20m"},
        FormatCase{"Yocto", 5.5e-23, "55y"},
        FormatCase{"LowestPrefix", 1e-24, "1y"},
        FormatCase{"HighestPrefix", 5e26, "500Y"},
        FormatCase{"BelowRange", 9.99e-25, "9.99e-025"},
        FormatCase{"BelowRangePower", 1e-25, "1e-025"},
        FormatCase{"AboveRange", 1e27, "1e+027"},
        FormatCase{"FarAboveRange", 1e30, "1e+030"},
        FormatCase{"NegativeAboveRange", -1e30, "-1e+030"},
        FormatCase{"FarBelowRange", 1e-30, "1e-030"},
        FormatCase{"NegativeLongest", -1.23456e30, "-1.235e+030"},
        FormatCase{"ThreeDigitExponent", 1e300, "1e+300"},
        FormatCase{"Largest", std::numeric_limits<double>::max(), "1.798e+308"},
        FormatCase{"SmallestSubnormal", std::numeric_limits<double>::denorm_min(), "4.941e-324"},
        FormatCase{"Infinity", kInf, "1e+999"},
        FormatCase{"NegativeInfinity", -kInf, "-1e+999"}),
    FormatCaseName);

TEST(FormatEngValuePowers, EveryPowerOfTenShowsOneTenOrHundredAndItsPrefix) {
  const char* const kMantissa[] = {"1", "10", "100"};
  for (int power = -24; power <= 26; ++power) {
    const double value = Decimal("1e" + std::to_string(power));
    const int group = (power + 24) / 3;  // prefix position, 0 = yocto
    std::string expected = kMantissa[(power + 24) % 3];
    if (group != kBlankPrefix) expected += g_szPrefixesMicro[group];
    EXPECT_EQ(FormatEngValue(value, kShownDigits), expected) << "10^" << power;
  }
}

TEST(FormatEngValueInfinity, ReadsBackAsInfinity) {
  EXPECT_EQ(ParseEngValue(FormatEngValue(kInf, kShownDigits)), kInf);
  EXPECT_EQ(ParseEngValue(FormatEngValue(-kInf, kShownDigits)), -kInf);
}

// ---------------------------------------------------------------------------
// Round trip: what the formatter writes, the reader reads back as the number
// the text shows.

// A deterministic spread of finite doubles: every decade from far below to
// far above the prefix range with pseudo-random mantissas and signs, raw bit
// patterns over the whole exponent range, and the values either side of the
// scaling bounds of every prefix.
std::vector<double> SweepValues() {
  std::vector<double> values;
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  for (int decade = -40; decade <= 40; ++decade) {
    for (int k = 0; k < 40; ++k) {
      const double mantissa = 1.0 + 9.0 * static_cast<double>(next() >> 11) * 0x1.0p-53;
      const double value = mantissa * std::pow(10.0, decade);
      values.push_back((next() & 1) ? -value : value);
    }
  }
  for (int k = 0; k < 4000; ++k) {
    const std::uint64_t bits = next();
    double value;
    static_assert(sizeof value == sizeof bits);
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  for (int power = -27; power <= 27; power += 3) {
    for (const char* bound : {"0.9995e", "999.5e", "0.99995e", "999.95e", "1e"}) {
      double value = Decimal(bound + std::to_string(power));
      for (int step = 0; step < 3; ++step) value = std::nextafter(value, 0.0);
      for (int step = 0; step < 7; ++step) {
        values.push_back(value);
        values.push_back(-value);
        value = std::nextafter(value, kInf);
      }
    }
  }
  return values;
}

struct ShownNumber {
  std::string mantissa;  // the text before the prefix
  int power = 0;         // of the prefix, 0 when there is none
  bool prefixed = false;
};

// Splits a written text into its decimal part and its prefix.
ShownNumber SplitShown(const std::string& text) {
  ShownNumber shown{text, 0, false};
  if (text.empty()) return shown;
  const char last = text.back();
  for (int i = 0; i < kPrefixCount; ++i) {
    if (i != kBlankPrefix && g_szPrefixesMicro[i] == last) {
      shown.mantissa = text.substr(0, text.size() - 1);
      shown.power = 3 * (i - kBlankPrefix);
      shown.prefixed = true;
    }
  }
  return shown;
}

// Checks one written text: it reads back as the number it shows, that number
// is the value to `digits` significant digits, and a plain mantissa lies
// within the scaling bounds.
void ExpectReadsBackAsShown(double value, int digits) {
  const std::string text = FormatEngValue(value, digits);
  SCOPED_TRACE(testing::Message() << "value " << std::hexfloat << value << " digits " << digits
                                  << " text \"" << text << "\"");
  ASSERT_FALSE(text.empty());
  const ShownNumber shown = SplitShown(text);
  // The number the text shows, read by the C library from the decimal part
  // with the prefix's power as an exponent.
  double reference;
  if (shown.prefixed) {
    ASSERT_EQ(shown.mantissa.find_first_not_of("-.0123456789"), std::string::npos)
        << "a prefixed mantissa is plain decimal";
    reference = Decimal(shown.mantissa + "e" + std::to_string(shown.power));
  } else {
    ASSERT_EQ(text.find_first_not_of("-.0123456789e+"), std::string::npos);
    reference = Decimal(text);
  }
  EXPECT_EQ(ParseEngValue(text), reference);
  // Rounded to `digits` digits: within half a unit of the last digit, plus
  // the few roundings of the scaling by 1000 that precede the writing.
  EXPECT_LE(std::fabs(reference - value),
            (5 * std::pow(10.0, -digits) + 1e-14) * std::fabs(value));
  if (text.find('e') == std::string::npos) {
    const double step = std::pow(10.0, -digits);
    const double lower = 1 - 5 * step;
    const double mantissa = std::fabs(Decimal(shown.mantissa));
    // The bound itself may be shown, and its decimal text may read back a
    // unit in the last place either side of the computed bound.
    EXPECT_GE(mantissa, lower * (1 - 1e-15));
    EXPECT_LE(mantissa, 1000 * lower * (1 + 1e-15));
  }
}

TEST(FormatEngValueRoundTrip, ReadsBackAsTheNumberShown) {
  for (double value : SweepValues()) ExpectReadsBackAsShown(value, kShownDigits);
}

TEST(FormatEngValueRoundTrip, OtherDigitCountsReadBackToo) {
  // Only four digits are used by the program; the rule holds for any count
  // from three on, where the mantissa is always written in plain decimal.
  for (int digits : {3, 5, 6, 10, 17})
    for (double value : SweepValues()) ExpectReadsBackAsShown(value, digits);
}

TEST(FormatEngValueLength, NeverLongerThanDigitsPlusSeven) {
  const std::vector<double> values = SweepValues();
  for (int digits = 3; digits <= 17; ++digits) {
    for (double value : values) {
      const std::string text = FormatEngValue(value, digits);
      EXPECT_LE(text.size(), static_cast<std::size_t>(digits + 7))
          << "value " << std::hexfloat << value << " digits " << digits << " text \"" << text
          << "\"";
    }
  }
}

}  // namespace
}  // namespace tervane
