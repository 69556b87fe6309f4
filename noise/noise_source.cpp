#include "noise/noise_source.h"

#include <array>

#include "noise/calculator_form.h"

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

bool TopologyHasSource(int ampType, NoiseSource source) {
  switch (source) {
    case NoiseSource::kR1Thermal:
      return ampType == AMP_NONINVERTING || ampType == AMP_INVERTING;
    case NoiseSource::kCurrentNoiseRs:
      return ampType == AMP_BUFFER || ampType == AMP_NONINVERTING;
    case NoiseSource::kCarried:
      return false;
    default:
      return ampType == AMP_BUFFER || ampType == AMP_NONINVERTING || ampType == AMP_INVERTING;
  }
}

}  // namespace tervane
