#include "parts/part_order.h"

#include <algorithm>

namespace tervane {

bool PartListBefore(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return FoldPartNameChar(x) < FoldPartNameChar(y);
  });
}

}  // namespace tervane
