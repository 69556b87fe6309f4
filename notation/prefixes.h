#pragma once

// The SI prefixes of engineering notation, from yocto (position 0) to yotta
// (position 16). Position i stands for 10^(3 * (i - 8)); the blank at
// position 8 is the prefix of 10^0. Text is single-byte Windows-1252, so the
// micro sign is the byte 0xB5.
namespace tervane {

// Characters at which a value text may begin: digits, full stop, signs, the
// exponent letters, every prefix (the blank included) and the micro sign.
inline constexpr char g_szValueChars[] = "0123456789.-+dDeEyzafpnum kMGTPEZY\xB5";

// Input accepts the letter u for micro ...
inline constexpr char g_szPrefixes[] = "yzafpnum kMGTPEZY";

// ... output always writes the micro sign.
inline constexpr char g_szPrefixesMicro[] = "yzafpn\xB5m kMGTPEZY";

inline constexpr int kPrefixCount = 17;
inline constexpr int kBlankPrefix = 8;
inline constexpr int kMicroPrefix = 6;
inline constexpr char kMicroSign = '\xB5';

}  // namespace tervane
