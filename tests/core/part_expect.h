#pragma once

// Expectations on a loaded part library, shared by the tests that read part
// files.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "parts/part_library.h"

namespace tervane {

inline PartLibrary ReadBytes(const std::string& bytes) {
  PartLibrary library;
  std::istringstream in(bytes);
  ReadPartLibrary(in, library);
  return library;
}

// The part list as strings.
inline std::vector<std::string> ListOf(const PartLibrary& library) {
  const PartList list = library.m_partTable.List();
  return {list.begin(), list.end()};
}

// A part as "name voltage current corner" and its optional words as a line
// gives them, or "name (missing)".
inline std::string PartText(const PartLibrary& library, std::string_view name) {
  const std::optional<PartRecord> record = library.m_partTable.Lookup(name);
  if (!record) return std::string(name) + " (missing)";
  std::string text = std::string(record->szPartName) + " " + record->szNoiseVoltage + " " + record->szNoiseCurrent +
                     " " + record->szCornerFreq;
  for (const std::string_view word : OptionalWords(*record)) text.append(" ").append(word);
  return text;
}

// The list in display order, and the whole table as "name voltage current
// corner" texts.
inline void ExpectParts(const PartLibrary& library, const std::vector<std::string>& list,
                        const std::vector<std::string>& parts) {
  EXPECT_EQ(ListOf(library), list);
  EXPECT_EQ(library.m_partTable.GetCount(), parts.size());
  for (const std::string& part : parts) EXPECT_EQ(PartText(library, part.substr(0, part.find(' '))), part);
}

}  // namespace tervane
