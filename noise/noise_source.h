#pragma once

#include <cmath>
#include <cstddef>
#include <string_view>
#include <vector>

#include "noise/stage_inputs.h"

namespace tervane {

// The sources of the noise model, in the order the model adds their powers
// (see noise_model.md): those of the stage itself, then the noise carried
// in from a previous stage in "Calc w/Carry". Ties in a breakdown keep this
// order. A new source is an entry here (before kCarried), a row of the
// table in noise_source.cpp, its terms in the model (StageNoiseTerms,
// CircuitAt), and a pen in the desktop's spectrum.
enum class NoiseSource {
  kVoltageNoise,        // en' times the noise gain
  kR1Thermal,           // R1's thermal noise (not in the buffer)
  kR2Thermal,           // R2's thermal noise
  kCurrentNoiseR2,      // in' through R2
  kRsThermal,           // Rs's thermal noise
  kCurrentNoiseRs,      // in' through Rs (not in the inverting stage)
  kRloadThermal,        // the load resistor's thermal noise (where Rload is given)
  kRbThermal,           // the bias resistor's thermal noise (where Rb is given)
  kCurrentNoiseRb,      // in' at the + input through Rb (where Rb is given)
  kCurrentCorrelation,  // the cross term of the two inputs' correlated current noise: signed
  kExcessR1,            // each resistor's excess noise, where it is given, in ExcessResistor order
  kExcessR2,
  kExcessRs,
  kExcessRload,
  kExcessRb,
  kRshThermal,  // the photodiode's shunt resistance's thermal noise (transimpedance, where Rsh is given)
  kShotNoise,   // the photodiode's shot noise, 2q (Id + Iph) (transimpedance, where either is given)
  kCarried,     // the previous stage's noise, amplified
};

// The place of a source in per-source arrays.
constexpr std::size_t SourceIndex(NoiseSource source) { return static_cast<std::size_t>(source); }
static_assert(SourceIndex(NoiseSource::kExcessRb) + 1 - SourceIndex(NoiseSource::kExcessR1) == kExcessResistorCount);

// The stage's own sources are the first this many.
inline constexpr std::size_t kStageSourceCount = SourceIndex(NoiseSource::kCarried);

// What a source's density is made of: the op amp's voltage noise or its
// current noise (each with its 1/f rise), thermal noise, which the circuit
// and its temperature alone set (and the photodiode's shot noise, which its
// currents alone set, flat as thermal noise is), the current noise times
// the correlation of the two inputs', or a resistor's excess noise, which
// falls as 1/f.
enum class SourceDrive { kVoltage, kCurrent, kThermal, kCarried, kCorrelation, kExcess };
inline constexpr std::size_t kSourceDriveCount = 6;
SourceDrive DriveOf(NoiseSource source);

// The one rule of the op amp's 1/f noise: whether a source of `drive`
// rises as 1 + fc / f below the corner fc. The voltage noise always; the
// current noise, and the correlation it makes, where the corner is applied
// to it (`applyCorner`; over frequency the current's own corner fci, where
// given, takes the place of fc); thermal noise never, and excess noise falls
// as 1/f all the way of its own.
constexpr bool RisesBelowCorner(SourceDrive drive, bool applyCorner) {
  return drive == SourceDrive::kVoltage ||
         (applyCorner && (drive == SourceDrive::kCurrent || drive == SourceDrive::kCorrelation));
}

// Whether a source's power may be negative: the correlation's cross term
// alone, which takes power away where the currents cancel. Every other
// negative power is a negative resistor's or temperature's, which has no
// density (HasNegativePower).
bool IsSigned(NoiseSource source);

// The density or total of a power, V/rtHz or V, with its sign: a negative
// correlation shows as -sqrt(-power), so that total * |total| is the power.
inline double SignedRoot(double power) { return std::copysign(std::sqrt(std::fabs(power)), power); }

// A short stable key for machine-readable output: "en", "r1", "r2",
// "in_r2", "rs", "in_rs", "rload", "rb", "in_rb", "in_corr", "excess_r1",
// "excess_r2", "excess_rs", "excess_rload", "excess_rb", "rsh", "shot",
// "carried".
std::string_view NoiseSourceKey(NoiseSource source);

// A label for people, plain ASCII: "Op amp voltage noise", ...
std::string_view NoiseSourceLabel(NoiseSource source);

// The stage sources a stage has, in NoiseSource order: no R1 in the
// buffer, no in.Rs in the inverting stage, the load and bias resistors
// only where they are given, the correlation where it is not 0 and the +
// input has an impedance for the current (not in an inverting stage
// without Rb), a resistor's excess noise where it is given and the
// resistor is there; the transimpedance stage neither R1 nor Rs, but Rsh
// and the shot noise where they are given; nothing for a topology that is
// none of the four. The carried noise belongs to no stage: it is there in
// carry mode.
std::vector<NoiseSource> TopologySources(const StageInputs& stage);

}  // namespace tervane
