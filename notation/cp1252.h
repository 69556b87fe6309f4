#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text crosses the program's edges here: the core works in single-byte
// Windows-1252; the command line, the terminal, JSON and the widgets in
// UTF-8 or UTF-16.
namespace tervane {

// Every character that Windows-1252 holds becomes its byte, the Greek small
// letter mu (U+03BC) becomes the micro sign 0xB5 as U+00B5 does, and every
// other character, and every ill-formed UTF-8 sequence (each maximal
// ill-formed part of one), becomes '?', the substitute Windows itself uses.
std::string Utf8ToCp1252(std::string_view utf8);

struct Utf8Char {
  std::optional<char32_t> c;  // nothing for an ill-formed sequence
  std::size_t length;         // bytes it takes, at least 1
};

// One character, or one maximal ill-formed part, from the start of a
// non-empty `utf8` (well-formed sequences as the Unicode standard's table
// 3-7 lists them: no overlong forms, no surrogates, nothing above U+10FFFF).
Utf8Char DecodeUtf8Char(std::string_view utf8);

// Each byte becomes its character. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters
// of the same number, as Windows maps them, so they read back unchanged.
std::string Cp1252ToUtf8(std::string_view cp1252);

// C0, DEL and C1: the characters a terminal acts on rather than shows.
constexpr bool IsControlChar(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Cp1252ToUtf8 for text a terminal shows or a CSV file holds, where a
// control character would act rather than be read (a part name may hold an
// escape sequence that recolours a terminal or sets its title, or a BEL):
// every control character but the line feed (C0, DEL and C1) becomes
// U+FFFD, the replacement character.
std::string Cp1252ToPrintableUtf8(std::string_view cp1252);

// The character of one byte, as Cp1252ToUtf8 maps it; every one lies below
// U+10000.
char32_t Cp1252Char(unsigned char byte);

// A text saved by an editor as "Unicode" starts with the byte order mark of
// UTF-16 or UTF-32; the program reads neither, and says which it is.
enum class WideEncoding { kNone, kUtf16, kUtf32 };
WideEncoding WideEncodingOf(std::string_view bytes);
std::string_view NameOf(WideEncoding encoding);  // "UTF-16", "UTF-32"

// Text whose lines end in a CR alone, as old Macintosh editors wrote it, has
// no line feed to end a line; the circuit and part file readers say so in
// these words.
inline constexpr std::string_view kCrOnlyLineEnds = "its lines end in CR only (old Mac text), not in LF or CR LF";

}  // namespace tervane
