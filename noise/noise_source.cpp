#include "noise/noise_source.h"

#include <array>

namespace tervane {
namespace {

bool Staged(const StageInputs& s) {
  return s.ampType == AMP_BUFFER || s.ampType == AMP_NONINVERTING || s.ampType == AMP_INVERTING;
}
bool WithR1(const StageInputs& s) { return s.ampType == AMP_NONINVERTING || s.ampType == AMP_INVERTING; }
bool AtPlusInput(const StageInputs& s) { return s.ampType == AMP_BUFFER || s.ampType == AMP_NONINVERTING; }
bool WithLoadResistor(const StageInputs& s) { return AtPlusInput(s) && s.loadResistor.has_value(); }
bool Never(const StageInputs&) { return false; }

struct SourceRow {
  std::string_view key;
  std::string_view label;
  SourceDrive drive;
  bool (*inStage)(const StageInputs&);
};

constexpr std::array<SourceRow, kStageSourceCount + 1> kSources{{
    {"en", "Op amp voltage noise", SourceDrive::kVoltage, Staged},
    {"r1", "R1 thermal noise", SourceDrive::kThermal, WithR1},
    {"r2", "R2 thermal noise", SourceDrive::kThermal, Staged},
    {"in_r2", "Op amp current noise through R2", SourceDrive::kCurrent, Staged},
    {"rs", "Rs thermal noise", SourceDrive::kThermal, Staged},
    {"in_rs", "Op amp current noise through Rs", SourceDrive::kCurrent, AtPlusInput},
    {"rload", "Rload thermal noise", SourceDrive::kThermal, WithLoadResistor},
    {"carried", "Carried noise", SourceDrive::kCarried, Never},
}};

}  // namespace

SourceDrive DriveOf(NoiseSource source) { return kSources[SourceIndex(source)].drive; }

std::string_view NoiseSourceKey(NoiseSource source) { return kSources[SourceIndex(source)].key; }

std::string_view NoiseSourceLabel(NoiseSource source) { return kSources[SourceIndex(source)].label; }

std::vector<NoiseSource> TopologySources(const StageInputs& stage) {
  std::vector<NoiseSource> sources;
  for (std::size_t i = 0; i < kStageSourceCount; ++i)
    if (kSources[i].inStage(stage)) sources.push_back(static_cast<NoiseSource>(i));
  return sources;
}

}  // namespace tervane
