// The conversion between the command line's UTF-8 and the core's
// Windows-1252. Expected characters are written as UTF-8 literals, apart
// from the code points the conversion table is written in.

#include <gtest/gtest.h>

#include <string>

#include "notation/cp1252.h"

namespace tervane {
namespace {

struct HeldCharacter {
  const char* utf8;
  unsigned char byte;
};

// Every character of the 0x80..0x9F block, and samples of the rest.
constexpr HeldCharacter kHeld[] = {
    {"€", 0x80}, {"‚", 0x82}, {"ƒ", 0x83}, {"„", 0x84}, {"…", 0x85}, {"†", 0x86}, {"‡", 0x87},
    {"ˆ", 0x88}, {"‰", 0x89}, {"Š", 0x8A}, {"‹", 0x8B}, {"Œ", 0x8C}, {"Ž", 0x8E}, {"‘", 0x91},
    {"’", 0x92}, {"“", 0x93}, {"”", 0x94}, {"•", 0x95}, {"–", 0x96}, {"—", 0x97}, {"˜", 0x98},
    {"™", 0x99}, {"š", 0x9A}, {"›", 0x9B}, {"œ", 0x9C}, {"ž", 0x9E}, {"Ÿ", 0x9F},
    {"\u00A0", 0xA0}, {"µ", 0xB5}, {"°", 0xB0}, {"å", 0xE5}, {"ÿ", 0xFF}, {"A", 0x41},
    {"~", 0x7E}, {"\x7F", 0x7F},
    // Bytes Windows-1252 leaves undefined: the control character of the same number.
    {"\u0081", 0x81}, {"\u008D", 0x8D}, {"\u008F", 0x8F}, {"\u0090", 0x90}, {"\u009D", 0x9D},
};

TEST(Cp1252, HeldCharactersBecomeTheirByteAndBack) {
  for (const auto& [utf8, byte] : kHeld) {
    const std::string single(1, static_cast<char>(byte));
    EXPECT_EQ(Utf8ToCp1252(utf8), single) << utf8;
    EXPECT_EQ(Cp1252ToUtf8(single), utf8) << int{byte};
  }
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

// For a terminal or a CSV file: every control character (C0, DEL, the C1
// ones at Windows-1252's undefined bytes) but the line feed is U+FFFD.
TEST(Cp1252, PrintableTextReplacesControlCharacters) {
  EXPECT_EQ(Cp1252ToPrintableUtf8("\x1B]0;\a\t\x7F\x9D\x80\xB5\r\n"), "�]0;����€µ�\n");
}

// Greek mu is the micro sign (which 0xB5 is written back as); any other
// character the code page lacks is a question mark.
TEST(Cp1252, WhatCannotBeHeldBecomesQuestionMarks) {
  const struct {
    const char* name;
    std::string utf8;
    std::string cp1252;
  } cases[] = {
      {"Greek mu", "2.2μ", "2.2\xB5"},
      {"character outside the code page", "4.7kΩ", "4.7k?"},
      {"arrow between text", "a→b", "a?b"},
      {"four-byte character is one", "x😀y", "x?y"},
      {"C1 control with a character at its byte", "\u0080", "?"},
      {"Latin Extended-A outside the code page", "Ā", "?"},
      {"lone continuation byte", "a\x80z", "a?z"},
      {"byte that never starts a sequence", "\xFF", "?"},
      {"overlong slash: C0 and its continuation", "\xC0\xAF", "??"},
      {"three-byte overlong form", "\xE0\x80\xAF", "???"},
      {"truncated sequence at the end is one", "\xE2\x82", "?"},
      {"truncated sequence before ASCII is one", "\xE2\x82" "A", "?A"},
      {"surrogate half", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"truncated four-byte sequence", "\xF0\x9F\x98" "!", "?!"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.name;
}

}  // namespace
}  // namespace tervane
