#include "measured/density_unit.h"

#include <cmath>

namespace tervane {

std::optional<DensityUnit> DensityUnitOfKey(std::string_view key) {
  for (const DensityUnitName& name : kDensityUnits)
    if (name.key == key) return name.unit;
  return std::nullopt;
}

std::optional<double> WindowEnbwOfKey(std::string_view key) {
  for (const AnalyserWindow& window : kAnalyserWindows)
    if (window.key == key) return window.enbwBins;
  return std::nullopt;
}

std::string NoiseUnitFault(const NoiseUnit& unit) {
  if (!IsPerBin(unit.unit)) return {};
  if (!(unit.binWidth > 0 && std::isfinite(unit.binWidth))) return "a reading per bin needs the bin width in Hz";
  if (!(unit.enbwBins > 0 && std::isfinite(unit.enbwBins)))
    return "a reading per bin needs the window's noise bandwidth in bins";
  return {};
}

double ToVoltsPerRootHz(double value, const NoiseUnit& unit) {
  switch (unit.unit) {
    case DensityUnit::kVoltsPerRootHz:
      return value;
    case DensityUnit::kNanovoltsPerRootHz:
      return value * 1e-9;
    case DensityUnit::kDbvPerRootHz:
      return std::pow(10, value / 20);
    case DensityUnit::kVoltsSquaredPerHz:
      return std::copysign(std::sqrt(std::fabs(value)), value);
    case DensityUnit::kVoltsPerBin:
      return value / std::sqrt(unit.binWidth * unit.enbwBins);
    case DensityUnit::kDbvPerBin:
      return std::pow(10, value / 20) / std::sqrt(unit.binWidth * unit.enbwBins);
  }
  return NAN;
}

}  // namespace tervane
