#include "notation/shown_value.h"

#include <cmath>

#include "notation/eng_format.h"

namespace tervane {

std::string ShownValue(double value) { return FormatEngValue(value, kShownDigits); }

ShownInfinity ShownInfinityOf(double value) {
  if (!std::isinf(value)) return ShownInfinity::kNone;
  return value > 0 ? ShownInfinity::kPlus : ShownInfinity::kMinus;
}

}  // namespace tervane
