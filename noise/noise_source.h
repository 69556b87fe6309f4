#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "noise/amplifier_type.h"

namespace tervane {

// The sources of the noise model, in the order the model adds their powers
// (see noise_model.md): the six of the stage itself, then the noise carried
// in from a previous stage in "Calc w/Carry". Ties in a breakdown keep this
// order.
enum class NoiseSource {
  kVoltageNoise,    // en' times the noise gain
  kR1Thermal,       // R1's thermal noise (not in the buffer)
  kR2Thermal,       // R2's thermal noise
  kCurrentNoiseR2,  // in' through R2
  kRsThermal,       // Rs's thermal noise
  kCurrentNoiseRs,  // in' through Rs (not in the inverting stage)
  kCarried,         // the previous stage's noise, amplified
};

// The stage's own sources are the first this many.
inline constexpr std::size_t kStageSourceCount = 6;

// The place of a source in per-source arrays.
constexpr std::size_t SourceIndex(NoiseSource source) { return static_cast<std::size_t>(source); }

// A short stable key for machine-readable output: "en", "r1", "r2",
// "in_r2", "rs", "in_rs", "carried".
std::string_view NoiseSourceKey(NoiseSource source);

// A label for people, plain ASCII: "Op amp voltage noise", ...
std::string_view NoiseSourceLabel(NoiseSource source);

// The stage sources a topology has, in NoiseSource order: no R1 in the
// buffer, no in.Rs in the inverting stage, nothing for a value that is no
// topology. The carried noise belongs to no topology: it is there in carry
// mode.
std::span<const NoiseSource> TopologySources(AmplifierType ampType);

}  // namespace tervane
