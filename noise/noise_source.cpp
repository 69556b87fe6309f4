#include "noise/noise_source.h"

#include <array>

namespace tervane {
namespace {

bool VoltageStage(const StageInputs& s) {
  return s.ampType == AMP_BUFFER || s.ampType == AMP_NONINVERTING || s.ampType == AMP_INVERTING;
}
bool Transimpedance(const StageInputs& s) { return s.ampType == AMP_TRANSIMPEDANCE; }
bool Staged(const StageInputs& s) { return VoltageStage(s) || Transimpedance(s); }
bool WithR1(const StageInputs& s) { return s.ampType == AMP_NONINVERTING || s.ampType == AMP_INVERTING; }
bool WithShunt(const StageInputs& s) { return Transimpedance(s) && s.shuntResistance.has_value(); }
bool WithShotNoise(const StageInputs& s) { return Transimpedance(s) && (s.darkCurrent || s.photocurrent); }
bool AtPlusInput(const StageInputs& s) { return s.ampType == AMP_BUFFER || s.ampType == AMP_NONINVERTING; }
bool WithLoadResistor(const StageInputs& s) { return AtPlusInput(s) && s.loadResistor.has_value(); }
bool WithBiasResistor(const StageInputs& s) { return Staged(s) && s.biasResistor.has_value(); }
bool Correlated(const StageInputs& s) {
  return s.inCorrelation.value_or(0) != 0 && (AtPlusInput(s) || WithBiasResistor(s));
}
bool Never(const StageInputs&) { return false; }

template <ExcessResistor r, bool (*present)(const StageInputs&)>
bool WithExcess(const StageInputs& s) {
  return present(s) && s.excess[ExcessIndex(r)].has_value();
}

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
    {"rs", "Rs thermal noise", SourceDrive::kThermal, VoltageStage},
    {"in_rs", "Op amp current noise through Rs", SourceDrive::kCurrent, AtPlusInput},
    {"rload", "Rload thermal noise", SourceDrive::kThermal, WithLoadResistor},
    {"rb", "Rb thermal noise", SourceDrive::kThermal, WithBiasResistor},
    {"in_rb", "Op amp current noise through Rb", SourceDrive::kCurrent, WithBiasResistor},
    {"in_corr", "Op amp current noise correlation", SourceDrive::kCorrelation, Correlated},
    {"excess_r1", "R1 excess noise", SourceDrive::kExcess, WithExcess<ExcessResistor::kR1, WithR1>},
    {"excess_r2", "R2 excess noise", SourceDrive::kExcess, WithExcess<ExcessResistor::kR2, Staged>},
    {"excess_rs", "Rs excess noise", SourceDrive::kExcess, WithExcess<ExcessResistor::kRs, VoltageStage>},
    {"excess_rload", "Rload excess noise", SourceDrive::kExcess, WithExcess<ExcessResistor::kRload, WithLoadResistor>},
    {"excess_rb", "Rb excess noise", SourceDrive::kExcess, WithExcess<ExcessResistor::kRb, WithBiasResistor>},
    {"rsh", "Rsh thermal noise", SourceDrive::kThermal, WithShunt},
    {"shot", "Photodiode shot noise", SourceDrive::kThermal, WithShotNoise},
    {"carried", "Carried noise", SourceDrive::kCarried, Never},
}};

}  // namespace

SourceDrive DriveOf(NoiseSource source) { return kSources[SourceIndex(source)].drive; }

bool IsSigned(NoiseSource source) { return DriveOf(source) == SourceDrive::kCorrelation; }

std::string_view NoiseSourceKey(NoiseSource source) { return kSources[SourceIndex(source)].key; }

std::string_view NoiseSourceLabel(NoiseSource source) { return kSources[SourceIndex(source)].label; }

std::vector<NoiseSource> TopologySources(const StageInputs& stage) {
  std::vector<NoiseSource> sources;
  for (std::size_t i = 0; i < kStageSourceCount; ++i)
    if (kSources[i].inStage(stage)) sources.push_back(static_cast<NoiseSource>(i));
  return sources;
}

}  // namespace tervane
