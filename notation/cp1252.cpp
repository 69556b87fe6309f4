#include "notation/cp1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tervane {
namespace {

constexpr char kSubstitute = '?';

// The characters of the bytes 0x80..0x9F; the undefined bytes keep the
// control character of their own number.
constexpr std::array<char32_t, 32> kHighControlBlock{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

constexpr char32_t kGreekMu = 0x03BC;
constexpr char kMicroSignByte = '\xB5';

std::optional<char> ByteOfChar(char32_t c) {
  if (c == kGreekMu) return kMicroSignByte;
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControlBlock.size(); ++i)
    if (kHighControlBlock[i] == c) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {  // every character of Windows-1252 lies below U+10000
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

Utf8Char DecodeUtf8Char(std::string_view in) {
  const auto lead = static_cast<unsigned char>(in[0]);
  if (lead < 0x80) return {lead, 1};

  std::size_t length = 0;
  unsigned char secondLow = 0x80;
  unsigned char secondHigh = 0xBF;
  char32_t c = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return {std::nullopt, 1};
  }

  for (std::size_t i = 1; i < length; ++i) {
    if (i >= in.size()) return {std::nullopt, i};
    const auto byte = static_cast<unsigned char>(in[i]);
    const unsigned char low = i == 1 ? secondLow : 0x80;
    const unsigned char high = i == 1 ? secondHigh : 0xBF;
    if (byte < low || byte > high) return {std::nullopt, i};
    c = (c << 6) | (byte & 0x3F);
  }
  return {c, length};
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Utf8Char d = DecodeUtf8Char(utf8);
    const std::optional<char> byte = d.c ? ByteOfChar(*d.c) : std::nullopt;
    out += byte.value_or(kSubstitute);
    utf8.remove_prefix(d.length);
  }
  return out;
}

char32_t Cp1252Char(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControlBlock[byte - 0x80];
  return byte;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() * 2);
  for (char byte : cp1252) AppendUtf8(out, Cp1252Char(static_cast<unsigned char>(byte)));
  return out;
}

WideEncoding WideEncodingOf(std::string_view bytes) {
  using namespace std::string_view_literals;
  // UTF-32 little-endian starts as UTF-16 little-endian does.
  if (bytes.starts_with("\xFF\xFE\0\0"sv) || bytes.starts_with("\0\0\xFE\xFF"sv)) return WideEncoding::kUtf32;
  if (bytes.starts_with("\xFF\xFE"sv) || bytes.starts_with("\xFE\xFF"sv)) return WideEncoding::kUtf16;
  return WideEncoding::kNone;
}

std::string_view NameOf(WideEncoding encoding) {
  return encoding == WideEncoding::kUtf32 ? "UTF-32" : encoding == WideEncoding::kUtf16 ? "UTF-16" : "";
}

std::string Cp1252ToPrintableUtf8(std::string_view cp1252) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(cp1252.size() * 2);
  for (char byte : cp1252) {
    const char32_t c = Cp1252Char(static_cast<unsigned char>(byte));
    AppendUtf8(out, c != '\n' && IsControlChar(c) ? kReplacement : c);
  }
  return out;
}

}  // namespace tervane
