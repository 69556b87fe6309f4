#include "random_text.h"

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::uitest {
namespace {

constexpr int kHuge = 100000;

// Appends one piece of a script to `text`.
using Piece = std::function<void(std::mt19937&, QString&)>;

void AppendCodePoint(QString& text, char32_t c) {
  if (c < 0x10000) {
    text += QChar(static_cast<char16_t>(c));
  } else {
    text += QChar(QChar::highSurrogate(c));
    text += QChar(QChar::lowSurrogate(c));
  }
}

// A code point of one of `ranges`, each [first, last].
Piece FromRanges(std::initializer_list<std::pair<char32_t, char32_t>> ranges) {
  return [all = std::vector(ranges)](std::mt19937& rng, QString& text) {
    const auto& [first, last] = all[static_cast<std::size_t>(Between(rng, 0, static_cast<int>(all.size()) - 1))];
    AppendCodePoint(text, static_cast<char32_t>(Between(rng, static_cast<int>(first), static_cast<int>(last))));
  };
}

// One of the characters of `chars`.
Piece OneOf(std::u16string all) {
  return [all = std::move(all)](std::mt19937& rng, QString& text) {
    text += QChar(all[static_cast<std::size_t>(Between(rng, 0, static_cast<int>(all.size()) - 1))]);
  };
}

const std::array<Piece, 12>& Scripts() {
  static const std::array<Piece, 12> scripts{
      OneOf(u"0123456789.+-eEkKMGTmunpfaC \u00B5\u03BC"),  // what the fields read
      FromRanges({{0x20, 0x7E}}),                          // printable ASCII
      FromRanges({{0xA0, 0xFF}}),                          // Latin-1
      OneOf(u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018\u2019"
            u"\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178"),  // Windows-1252
      FromRanges({{0x0370, 0x03FF}}),                                                      // Greek
      FromRanges({{0x4E00, 0x9FFF}, {0x3040, 0x30FF}, {0xAC00, 0xD7A3}}),                  // CJK, kana, Hangul
      FromRanges({{0x1F300, 0x1FAFF}, {0x10000, 0x10FFFF}}),                               // emoji and the other planes
      FromRanges({{0x00, 0x1F}, {0x7F, 0x9F}}),                                            // control characters
      FromRanges({{0xD800, 0xDFFF}}),                                                      // lone surrogates
      FromRanges({{0x05D0, 0x05EA}, {0x0621, 0x064A}, {0x200E, 0x200F}, {0x202A, 0x202E}}),  // RTL
      FromRanges({{0x0300, 0x036F}, {0x200B, 0x200D}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF}}),  // marks
      // oddities: a swapped pair, NUL, separators, the non-characters
      OneOf({0xDC00, 0xD800, 0x0000, 0xFFFD, 0xFFFE, 0xFFFF, 0x2028, 0x2029, u'\t', u'\r', u'\n'}),
  };
  return scripts;
}

// Long texts spread evenly over the orders of magnitude, hundreds as often
// as thousands.
int RandomLength(std::mt19937& rng) {
  constexpr double kLongest = 3000;
  constexpr double kShortestLong = 17;
  const int roll = Between(rng, 0, 999);
  if (roll < 80) return 0;
  if (roll < 640) return Between(rng, 1, 16);
  if (roll < 999) {
    const double exponent = std::uniform_real_distribution<double>(std::log(kShortestLong), std::log(kLongest))(rng);
    return static_cast<int>(std::exp(exponent));
  }
  return kHuge;
}

}  // namespace

bool Chance(std::mt19937& rng, int percent) { return Between(rng, 0, 99) < percent; }

int Between(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

QString RandomText(std::mt19937& rng) { return RandomText(rng, kHuge); }

// Runs of one script at a time, as typing in one language does, with a
// second script mixed in now and then.
QString RandomText(std::mt19937& rng, int most) {
  const int length = std::min(RandomLength(rng), most);
  QString text;
  text.reserve(length + 1);
  const auto pick = [&rng] { return Between(rng, 0, static_cast<int>(Scripts().size()) - 1); };
  int script = pick();
  while (text.size() < length) {
    if (Chance(rng, 5)) script = pick();
    Scripts()[static_cast<std::size_t>(script)](rng, text);
  }
  return text;
}

}  // namespace tervane::uitest
