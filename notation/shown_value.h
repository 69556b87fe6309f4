#pragma once

#include <string>

namespace tervane {

// A value as every field, report line and table shows it: kShownDigits
// significant digits and an SI prefix ("8.323n"); NaN is "0", as the
// notation writes it.
std::string ShownValue(double value);

// An infinity is written "1e+999" by the notation so that a parser reads one
// back; where a front end has a sign for it, a reader is shown that instead.
enum class ShownInfinity { kNone, kPlus, kMinus };
ShownInfinity ShownInfinityOf(double value);

}  // namespace tervane
