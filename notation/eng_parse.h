#pragma once

#include <cstddef>
#include <string_view>

namespace tervane {

// Only this many leading characters of a field are ever looked at.
inline constexpr std::size_t kParseWindow = 31;

// Reads a field's text in engineering notation ("4.7k", "3n", "400f") as a
// number. Never fails: text without a readable number is 0. The leniency is
// deliberate and fixed: characters that cannot start a value are skipped, the
// text is cut at the first prefix character, and as much of a decimal number
// as possible is read from what is left. A NUL ends the text, as it would a
// C string.
double ParseEngValue(std::string_view text);

// What ParseEngValue reads a text as, and whether that leaves some of it
// unread: a character other than white space that is not part of the
// number or of the prefix applied to it (one skipped before the value, one
// after the prefix as in "4k7", one between the number and a prefix that
// then does not apply as in "10,5k", one past the characters looked at, or
// a whole text that reads as 0 for want of a number).
struct EngReading {
  double value = 0;
  bool partUnread = false;
};
EngReading ReadEngValue(std::string_view text);

}  // namespace tervane
