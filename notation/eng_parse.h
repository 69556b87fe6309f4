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

}  // namespace tervane
