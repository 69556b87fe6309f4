#pragma once

#include <string_view>

namespace tervane {

// A character as the part list compares it: letters without regard to case.
constexpr unsigned char FoldPartNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return static_cast<unsigned char>(u - ((static_cast<unsigned char>(u - 'a') < 26u) << 5));
}

// The display order of the part list: letters compare without regard to
// case; names that compare equal keep the file's order.
bool PartListBefore(std::string_view a, std::string_view b);

}  // namespace tervane
