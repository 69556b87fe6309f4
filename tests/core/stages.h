#pragma once

// Stages on numbers shared by the tests over frequency and of chains.

#include <gtest/gtest.h>

#include <cmath>

#include "noise/stage_inputs.h"

namespace tervane::test {

inline void ExpectRelative(double actual, double expected, double tolerance, const char* what) {
  EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << what;
}

inline StageInputs Stage(AmplifierType ampType, double rs, double r1, double r2, Band band, double en, double in) {
  StageInputs s;
  s.ampType = ampType;
  s.sourceResistor = rs;
  s.r1 = r1;
  s.r2 = r2;
  s.kelvin = 298.15;
  s.lowerFreq = band.lower;
  s.upperFreq = band.upper;
  s.refVoltage = 1;
  s.en = en;
  s.in = in;
  return s;
}

// A moving-magnet cartridge, 1k + 0.5 H into 47k || 200p, at a gain of 10.
inline StageInputs Cartridge() {
  StageInputs s = Stage(AMP_NONINVERTING, 1e3, 1e3, 9e3, {20, 20e3}, 3e-9, 1e-12);
  s.cornerFreq = 10, s.applyCorner = true, s.currentCorner = 200;
  s.sourceInductance = 0.5, s.loadResistor = 47e3, s.loadCapacitor = 200e-12, s.gainBandwidth = 8e6;
  return s;
}

}  // namespace tervane::test
