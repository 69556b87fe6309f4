#pragma once

#include <string>

namespace tervane {

// Every number the calculator shows has this many significant digits.
inline constexpr int kShownDigits = 4;

// Writes a value with `digits` significant digits (at least 1) and the SI
// prefix that puts the mantissa between about 1 and 1000: "4.7k", "3n",
// "999.5µ" (the micro sign as the byte 0xB5). Zero and NaN are "0"; values
// beyond yocto..yotta are in exponent notation with at least three exponent
// digits ("1e+030"); an infinity is written "1e+999", which reads back as one.
// The text never exceeds digits + 7 characters for digits >= 3.
std::string FormatEngValue(double value, int digits);

// Writes a value with `decimals` digits after the point ("-3.50"), with a
// point whatever the process locale, and never a negative zero: what
// rounds to zero is written unsigned ("0.00" for -0.001). For finite values.
std::string FormatFixed(double value, int decimals);

}  // namespace tervane
