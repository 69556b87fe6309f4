#include "noise/noise_source.h"

#include <array>

namespace tervane {
namespace {

struct SourceNames {
  std::string_view key;
  std::string_view label;
};

constexpr std::array<SourceNames, kStageSourceCount + 1> kSourceNames{{
    {"en", "Op amp voltage noise"},
    {"r1", "R1 thermal noise"},
    {"r2", "R2 thermal noise"},
    {"in_r2", "Op amp current noise through R2"},
    {"rs", "Rs thermal noise"},
    {"in_rs", "Op amp current noise through Rs"},
    {"carried", "Carried noise"},
}};

}  // namespace

std::string_view NoiseSourceKey(NoiseSource source) { return kSourceNames[SourceIndex(source)].key; }

std::string_view NoiseSourceLabel(NoiseSource source) { return kSourceNames[SourceIndex(source)].label; }

std::span<const NoiseSource> TopologySources(AmplifierType ampType) {
  using enum NoiseSource;
  static constexpr NoiseSource kBuffer[] = {kVoltageNoise, kR2Thermal, kCurrentNoiseR2, kRsThermal, kCurrentNoiseRs};
  static constexpr NoiseSource kNonInverting[] = {kVoltageNoise,   kR1Thermal, kR2Thermal,
                                                  kCurrentNoiseR2, kRsThermal, kCurrentNoiseRs};
  static constexpr NoiseSource kInverting[] = {kVoltageNoise, kR1Thermal, kR2Thermal, kCurrentNoiseR2, kRsThermal};
  switch (ampType) {
    case AMP_BUFFER:
      return kBuffer;
    case AMP_NONINVERTING:
      return kNonInverting;
    case AMP_INVERTING:
      return kInverting;
  }
  return {};
}

}  // namespace tervane
