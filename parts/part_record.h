#pragma once

#include <cstddef>

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
};

}  // namespace tervane
