// ReadPartLibrary on any bytes as the part file. Whatever the file holds,
// the list and the table must agree: every list entry has its record, the
// table holds no record without an entry, the list is in display order,
// and every field is a word of at most 15 characters with its terminator.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "parts/part_library.h"

namespace {

using tervane::fuzz::Check;

bool IsWordField(const char* field) {
  const std::size_t length = std::strlen(field);
  if (length == 0 || length > tervane::kPartWordMax) return false;
  for (std::size_t i = 0; i < length; ++i)
    if (std::isspace(static_cast<unsigned char>(field[i]))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  tervane::PartLibrary library;
  tervane::ReadPartLibrary(in, library);

  const tervane::PartList list = library.m_partTable.List();
  std::set<std::string> names;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::optional<tervane::PartRecord> record = library.m_partTable.Lookup(list[i]);
    Check(record.has_value(), "every list entry has its record");
    Check(IsWordField(record->szPartName) && IsWordField(record->szNoiseVoltage) &&
              IsWordField(record->szNoiseCurrent) && IsWordField(record->szCornerFreq),
          "every field is a word of at most 15 characters");
    for (const tervane::PartField field : tervane::kOptionalPartFields)
      Check(((*record).*field)[0] == '\0' ||
                (IsWordField((*record).*field) && std::string_view((*record).*field) != tervane::kNotGiven),
            "the optional fields are empty, where a line gives none or \"-\", or words");
    Check(list[i] == record->szPartName, "the record carries the entry's name");
    Check(i == 0 || !tervane::PartListBefore(list[i], list[i - 1]), "the list is in display order");
    names.emplace(list[i]);
  }
  Check(names.size() == library.m_partTable.GetCount(), "no record without a list entry");
  return 0;
}
