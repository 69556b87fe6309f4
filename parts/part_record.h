#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace tervane {

// A name or a figure holds up to 15 characters.
inline constexpr std::size_t kPartWordMax = 15;

// One op amp of the part library, its figures kept as the file's text
// (engineering notation, read as numbers only when a calculation runs): the
// table's text, each field ending in a zero.
struct PartRecord {
  const char* szPartName = "";
  const char* szNoiseVoltage = "";  // V/rtHz
  const char* szNoiseCurrent = "";  // A/rtHz
  const char* szCornerFreq = "";    // Hz
  // Empty when the line gives none.
  const char* szGainBandwidth = "";            // GBW, Hz
  const char* szCurrentCorner = "";            // fci, the current noise's 1/f corner, Hz
  const char* szInCorrelation = "";            // c, the correlation of the two inputs' current noise
  const char* szCommonModeCapacitance = "";    // Ccm, each input to ground, F
  const char* szDifferentialCapacitance = "";  // Cdiff, between the inputs, F
};

// The figures in the order a line gives them, words 2 to 9: three that every
// part line gives, and the optional ones, words 5 to 9, each only after the
// one before, a word kNotGiven in its place giving none.
using PartField = const char* PartRecord::*;
inline constexpr std::array<PartField, 8> kPartFigureFields{
    &PartRecord::szNoiseVoltage,          &PartRecord::szNoiseCurrent,
    &PartRecord::szCornerFreq,            &PartRecord::szGainBandwidth,
    &PartRecord::szCurrentCorner,         &PartRecord::szInCorrelation,
    &PartRecord::szCommonModeCapacitance, &PartRecord::szDifferentialCapacitance};
inline constexpr std::size_t kRequiredFigures = 3;
inline constexpr std::span<const PartField, 5> kOptionalPartFields = std::span(kPartFigureFields).subspan<kRequiredFigures>();
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

}  // namespace tervane
