#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "noise/stage_inputs.h"

namespace tervane {

// The sources of the noise model, in the order the model adds their powers
// (see noise_model.md): those of the stage itself, then the noise carried
// in from a previous stage in "Calc w/Carry". Ties in a breakdown keep this
// order. A new source is an entry here (before kCarried), a row of the
// table in noise_source.cpp, and its terms in the model (StageNoiseTerms,
// CircuitAt).
enum class NoiseSource {
  kVoltageNoise,    // en' times the noise gain
  kR1Thermal,       // R1's thermal noise (not in the buffer)
  kR2Thermal,       // R2's thermal noise
  kCurrentNoiseR2,  // in' through R2
  kRsThermal,       // Rs's thermal noise
  kCurrentNoiseRs,  // in' through Rs (not in the inverting stage)
  kRloadThermal,    // the load resistor's thermal noise (where Rload is given)
  kCarried,         // the previous stage's noise, amplified
};

// The place of a source in per-source arrays.
constexpr std::size_t SourceIndex(NoiseSource source) { return static_cast<std::size_t>(source); }

// The stage's own sources are the first this many.
inline constexpr std::size_t kStageSourceCount = SourceIndex(NoiseSource::kCarried);

// What a source's density is made of: the op amp's voltage noise or its
// current noise (each with its 1/f rise), or thermal noise, which the
// circuit and its temperature alone set.
enum class SourceDrive { kVoltage, kCurrent, kThermal, kCarried };
SourceDrive DriveOf(NoiseSource source);

// A short stable key for machine-readable output: "en", "r1", "r2",
// "in_r2", "rs", "in_rs", "rload", "carried".
std::string_view NoiseSourceKey(NoiseSource source);

// A label for people, plain ASCII: "Op amp voltage noise", ...
std::string_view NoiseSourceLabel(NoiseSource source);

// The stage sources a stage has, in NoiseSource order: no R1 in the
// buffer, no in.Rs in the inverting stage, the load resistor only where it
// is given, nothing for a topology that is none of the three. The carried
// noise belongs to no stage: it is there in carry mode.
std::vector<NoiseSource> TopologySources(const StageInputs& stage);

}  // namespace tervane
