#include "measured/fit_model.h"

#include <cmath>

#include "noise/noise_calculation.h"
#include "noise/noise_source.h"
#include "noise/noise_spectrum.h"

namespace tervane {

std::optional<FitParameter> FitParameterOfKey(std::string_view key) {
  for (const FitParameterName& name : kFitParameters)
    if (name.key == key) return name.parameter;
  return std::nullopt;
}

std::optional<std::vector<OpAmpTerms>> OpAmpTermsOf(const StageInputs& stage, CornerRule rule,
                                                    std::span<const MeasuredPoint> points) {
  StageInputs unit = stage;
  unit.en = 1;
  unit.in = 1;
  unit.cornerFreq = 0;
  unit.applyCorner = rule.applyCorner;
  unit.currentCorner = rule.currentCorner ? std::optional<double>(0) : std::nullopt;
  const StageResult result = CalculateStage(unit);
  std::vector<OpAmpTerms> terms;
  terms.reserve(points.size());
  for (const MeasuredPoint& point : points) {
    const std::optional<SpectrumPoint> at = NoiseSpectrumAt(unit, result, point.frequency);
    if (!at) return std::nullopt;
    OpAmpTerms t{point.frequency, 0, 0, at->carried * at->carried};
    for (std::size_t i = 0; i < kStageSourceCount; ++i) {
      const double power = at->density[i] * std::fabs(at->density[i]);
      switch (DriveOf(static_cast<NoiseSource>(i))) {
        case SourceDrive::kVoltage:
          t.voltage += power;
          break;
        case SourceDrive::kCurrent:
        case SourceDrive::kCorrelation:
          t.current += power;
          break;
        default:
          t.fixed += power;
      }
    }
    terms.push_back(t);
  }
  return terms;
}

ModelPoint ModelAt(const OpAmpTerms& t, CornerRule rule, const FitUnknowns& x) {
  const double en2 = x[FitIndex(FitParameter::kEn)];
  const double fc = x[FitIndex(FitParameter::kCorner)];
  const double in2 = x[FitIndex(FitParameter::kIn)];
  const double fci = x[FitIndex(FitParameter::kCurrentCorner)];
  const double g2 = std::exp(2 * x[FitIndex(FitParameter::kGain)]);
  const double perHertz = 1 / t.frequency;
  const bool currentOnFc = !rule.currentCorner && RisesBelowCorner(SourceDrive::kCurrent, rule.applyCorner);
  const double voltageRise = 1 + fc * perHertz;
  const double currentRise = rule.currentCorner ? 1 + fci * perHertz : currentOnFc ? voltageRise : 1;
  ModelPoint m;
  m.power = g2 * (en2 * voltageRise * t.voltage + in2 * currentRise * t.current + t.fixed);
  m.slope[FitIndex(FitParameter::kEn)] = g2 * voltageRise * t.voltage;
  m.slope[FitIndex(FitParameter::kCorner)] = g2 * perHertz * (en2 * t.voltage + (currentOnFc ? in2 * t.current : 0));
  m.slope[FitIndex(FitParameter::kIn)] = g2 * currentRise * t.current;
  m.slope[FitIndex(FitParameter::kCurrentCorner)] = rule.currentCorner ? g2 * perHertz * in2 * t.current : 0;
  m.slope[FitIndex(FitParameter::kGain)] = 2 * m.power;
  return m;
}

}  // namespace tervane
