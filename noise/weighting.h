#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "noise/band.h"
#include "noise/lanes.h"

namespace tervane {

// The frequency weightings a noise figure is read through.
enum class Weighting {
  kNone,     // flat
  kA,        // IEC 61672-1, 0 dB at 1 kHz
  kItu468,   // ITU-R BS.468-4, read as rms (its quasi-peak detector is not modelled)
  kCcirArm,  // the 468 curve 5.6 dB lower, 0 dB near 2 kHz
  kRiaa,     // the RIAA playback curve (3180, 318 and 75 us), 0 dB at 1 kHz: a phono stage's noise as heard
  kRiaaA,    // the RIAA curve followed by A
};

inline constexpr std::size_t kWeightingCount = 6;
inline constexpr std::array<Weighting, kWeightingCount> kWeightings{
    Weighting::kNone, Weighting::kA, Weighting::kItu468, Weighting::kCcirArm, Weighting::kRiaa, Weighting::kRiaaA};

// The place of a weighting in per-weighting arrays.
constexpr std::size_t WeightingIndex(Weighting weighting) { return static_cast<std::size_t>(weighting); }

// |W(f)|^2, the power gain of the curve at `frequency` Hz (> 0). Finite and
// never NaN for any positive frequency: the curves' far skirts give 0.
double WeightingPowerGain(Weighting weighting, double frequency);

// Every curve's power gain at once, by WeightingIndex: what an integrand
// read through all the weightings needs at each frequency.
std::array<double, kWeightingCount> WeightingPowerGains(double frequency);
// The same at two frequencies at once, a lane each, and at each of
// `frequencies`, into `gains` (as many): an integral's nodes, at about
// half the cost of one by one, to the last bit the same.
std::array<Lanes, kWeightingCount> WeightingPowerGains(Lanes frequencies);
void WeightingPowerGains(std::span<const double> frequencies, std::span<std::array<double, kWeightingCount>> gains);

// Where the curves turn sharply, Hz: the half-power edges of the 468
// curve's two resonances (its poles at 5790 +- 3759 j and 9941 +- 2983 j Hz).
// An integral through the weightings ends its panels there.
inline constexpr std::array<double, 4> kWeightingBreakpoints{2031.5, 6957.7, 9548.6, 12924.0};

// The curve in dB, 10 log10 |W(f)|^2.
double WeightingDb(Weighting weighting, double frequency);

// A density white + oneOverF / f read through W over a band has the power
// white * flat + oneOverF * perFrequency.
struct WeightedBand {
  double flat = 0;          // the integral of |W|^2 df, Hz
  double perFrequency = 0;  // the integral of |W|^2 / f df
};

// The integrals of every weighting over one band: they depend on the band
// alone, so a stage's figures or a whole ranking work them out once.
struct WeightingIntegrals {
  Band band;
  std::array<WeightedBand, kWeightingCount> weighted{};
  const WeightedBand& operator[](Weighting w) const { return weighted[WeightingIndex(w)]; }
};

// Nothing unless 0 < lower <= upper with upper / lower finite (an empty
// band integrates to 0). The curved weightings are integrated by
// IntegrateOverBand, to about 1e-13 relative; the flat one exactly, as the
// report's own band.
std::optional<WeightingIntegrals> IntegrateWeightings(Band band);

}  // namespace tervane
