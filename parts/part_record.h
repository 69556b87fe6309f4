#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

namespace tervane {

// Each field holds up to 15 characters and a terminating zero.
inline constexpr std::size_t kPartFieldSize = 16;
inline constexpr std::size_t kPartWordMax = kPartFieldSize - 1;

// One op amp of the part library, its figures kept as the file's text
// (engineering notation, read as numbers only when a calculation runs).
struct PartRecord {
  char szPartName[kPartFieldSize] = {};
  char szNoiseVoltage[kPartFieldSize] = {};  // V/rtHz
  char szNoiseCurrent[kPartFieldSize] = {};  // A/rtHz
  char szCornerFreq[kPartFieldSize] = {};    // Hz
  // Empty when the line gives none.
  char szGainBandwidth[kPartFieldSize] = {};  // GBW, Hz
  char szCurrentCorner[kPartFieldSize] = {};  // fci, the current noise's 1/f corner, Hz
  char szInCorrelation[kPartFieldSize] = {};  // c, the correlation of the two inputs' current noise
  char szCommonModeCapacitance[kPartFieldSize] = {};    // Ccm, each input to ground, F
  char szDifferentialCapacitance[kPartFieldSize] = {};  // Cdiff, between the inputs, F
};

// The optional figures in the order a line gives them, words 5 to 9, each
// only after the one before; a word kNotGiven in its place gives none.
using PartField = char (PartRecord::*)[kPartFieldSize];
inline constexpr std::array<PartField, 5> kOptionalPartFields{
    &PartRecord::szGainBandwidth, &PartRecord::szCurrentCorner, &PartRecord::szInCorrelation,
    &PartRecord::szCommonModeCapacitance, &PartRecord::szDifferentialCapacitance};
inline constexpr std::string_view kNotGiven = "-";

// The optional figures as a line gives them: up to the last one given,
// kNotGiven for each before it that is not.
inline std::vector<std::string_view> OptionalWords(const PartRecord& record) {
  std::vector<std::string_view> words;
  std::size_t given = 0;
  for (const PartField field : kOptionalPartFields) {
    words.push_back((record.*field)[0] != '\0' ? std::string_view(record.*field) : kNotGiven);
    if ((record.*field)[0] != '\0') given = words.size();
  }
  words.resize(given);
  return words;
}

template <std::size_t N>
inline void MoveBytes(char* to, const char* from) {
  std::memcpy(to, from, N);
}

// Copies a word of 1 to kPartWordMax characters into a zeroed field with two
// overlapping moves of a fixed size: a library's words are a few characters
// long, and a call to memcpy for each cost more than the rest of a line.
inline void CopyWord(char* field, std::string_view word) {
  const char* from = word.data();
  const std::size_t n = word.size();
  if (n >= 8) {
    MoveBytes<8>(field, from);
    MoveBytes<8>(field + n - 8, from + n - 8);
  } else if (n >= 4) {
    MoveBytes<4>(field, from);
    MoveBytes<4>(field + n - 4, from + n - 4);
  } else {
    field[0] = from[0];
    field[n / 2] = from[n / 2];
    field[n - 1] = from[n - 1];
  }
}

}  // namespace tervane
