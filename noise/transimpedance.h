#pragma once

#include <optional>

#include "noise/stage_inputs.h"
#include "noise/stage_result.h"

namespace tervane {

// What the transimpedance stage (AMP_TRANSIMPEDANCE) has beyond every
// stage's noise, which CalculateStage and StageAt work out for it as for the
// others (noise_model.md, "Light in: the transimpedance amplifier"): its
// loop, Cf for a flat response, and the photodiode's current and light.

// The closed loop as a second-order system, the + input at AC ground
// (noise_model.md, "The loop").
struct TransimpedanceLoop {
  std::optional<double> q;                   // none for an ideal op amp (no GBW)
  std::optional<double> phaseMarginDegrees;  // none for an ideal op amp
  std::optional<double> bandwidth;           // Hz, where |Zt| falls 3 dB below Rf; none where it never does
};

// None for a stage that is no TIA, or whose loop is none a circuit has: Rf
// not above 0, Rsh given and not above 0, a faulty part (FindFaultyPart).
std::optional<TransimpedanceLoop> LoopOf(const StageInputs& stage);

// Why there is no Cf for Q = 0.707.
enum class CfForQFailure {
  kNoLoop,           // LoopOf has none
  kIdealOpAmp,       // an op amp without GBW, whose loop has no Q
  kDampedWithoutCf,  // the loop is damped beyond Q = 0.707 without any Cf
};

// The Cf, F, that makes the loop's Q 1/sqrt(2), from Rf, Rsh, the input's
// capacitance Cd + Ccm + Cdiff and GBW; the stage's own Cf is not read.
struct CfForQResult {
  std::optional<CfForQFailure> failure;
  double feedbackCapacitor = 0;
};
CfForQResult CfForQ(const StageInputs& stage);

// The output noise density at `frequency` (> 0) referred to the input
// through |Zt(f)|, A/rtHz: the current at the photodiode that would make as
// much. None where the stage has no solution there.
std::optional<double> InputCurrentDensity(const StageInputs& stage, double frequency);

// The optical power, W (W/rtHz for a density), whose photocurrent is
// `current`: current / R. With the input current density, the
// noise-equivalent power NEP; with the band's rms, the minimum detectable
// power. None without a responsivity above 0.
std::optional<double> OpticalPower(const StageInputs& stage, double current);

// What a calculated TIA says beyond every stage's figures.
struct TransimpedanceFigures {
  double dcTransimpedance = 0;  // |Zt(0)| = Rf, ohm
  std::optional<TransimpedanceLoop> loop;
  double centre = 0;                   // the band's centre on a log axis, sqrt(fL fH), Hz
  double inputDensity = 0;             // the input current density there, A/rtHz
  double inputNoise = 0;               // its rms over the band, A
  std::optional<double> nep;           // the noise-equivalent power at the centre, W/rtHz
  std::optional<double> minimumPower;  // the minimum detectable power over the band, W
};

// None for a stage that is no TIA or whose calculation `result` failed.
std::optional<TransimpedanceFigures> TransimpedanceFiguresOf(const StageInputs& stage, const StageResult& result);

}  // namespace tervane
