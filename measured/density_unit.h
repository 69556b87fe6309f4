#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tervane {

// The units an analyser writes its noise in. A density is per root hertz;
// a reading per bin is the rms voltage an FFT bin holds, which spreads over
// the bin width times the window's equivalent noise bandwidth.
enum class DensityUnit {
  kVoltsPerRootHz,
  kNanovoltsPerRootHz,
  kDbvPerRootHz,      // dB re 1 V/rtHz
  kVoltsSquaredPerHz,
  kVoltsPerBin,       // V rms in one bin
  kDbvPerBin,         // dB re 1 V rms in one bin
};

struct DensityUnitName {
  std::string_view key;  // as the command line takes it
  DensityUnit unit;
};
inline constexpr std::array<DensityUnitName, 6> kDensityUnits{{
    {"V/rtHz", DensityUnit::kVoltsPerRootHz},
    {"nV/rtHz", DensityUnit::kNanovoltsPerRootHz},
    {"dBV/rtHz", DensityUnit::kDbvPerRootHz},
    {"V2/Hz", DensityUnit::kVoltsSquaredPerHz},
    {"Vbin", DensityUnit::kVoltsPerBin},
    {"dBVbin", DensityUnit::kDbvPerBin},
}};
std::optional<DensityUnit> DensityUnitOfKey(std::string_view key);

constexpr bool IsPerBin(DensityUnit unit) { return unit == DensityUnit::kVoltsPerBin || unit == DensityUnit::kDbvPerBin; }
constexpr bool IsDecibels(DensityUnit unit) { return unit == DensityUnit::kDbvPerRootHz || unit == DensityUnit::kDbvPerBin; }

// An FFT window's equivalent noise bandwidth, in bins.
struct AnalyserWindow {
  std::string_view key;
  double enbwBins;
};
inline constexpr std::array<AnalyserWindow, 4> kAnalyserWindows{{
    {"rect", 1},
    {"hann", 1.5},
    {"bh4", 2.004},  // Blackman-Harris, 4 terms
    {"flattop", 3.77},
}};
std::optional<double> WindowEnbwOfKey(std::string_view key);

// What the numbers of a noise column are.
struct NoiseUnit {
  DensityUnit unit = DensityUnit::kVoltsPerRootHz;
  double binWidth = 0;  // Hz, the resolution bandwidth (per bin only)
  double enbwBins = 1;  // the window's equivalent noise bandwidth (per bin only)
};

// Why numbers in `unit` cannot be turned into densities: a reading per bin
// needs a bin width and an ENBW that are positive and finite. Empty when
// they can.
std::string NoiseUnitFault(const NoiseUnit& unit);

// A number of the column in V/rtHz; a negative one stays negative, so that
// the reader can say so.
double ToVoltsPerRootHz(double value, const NoiseUnit& unit);

}  // namespace tervane
