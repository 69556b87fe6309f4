#pragma once

#include <optional>
#include <string>
#include <vector>

#include "form/form_calculation.h"
#include "measured/measured_band.h"
#include "measured/measured_spectrum.h"
#include "measured/spectrum_reader.h"

namespace tervane {

// A measured spectrum kept with the circuit: the file it is read from, as
// the user named it, and how its columns are read.
struct MeasurementReference {
  std::string file;  // UTF-8, as the file system's names are given to the core
  ReadOptions options;
};

// One measured point beside the model: both at the stage's output.
struct OverlayPoint {
  double frequency = 0;              // Hz
  double measured = 0;               // V/rtHz
  std::optional<double> predicted;   // V/rtHz, the model's total there; none where it has none
  std::optional<double> ratioDb;     // 20 log10(measured / predicted), with predicted > 0
};

// The measurement, taken to the output (AtOutput), point by point beside
// the calculated stage's total density (NoiseSpectrumAt). Nothing where the
// stage failed or a measurement referred to its input cannot be taken to
// its output.
std::optional<std::vector<OverlayPoint>> OverlayOf(const NoiseResult& result, const MeasuredSpectrum& spectrum);

// The measurement's total over the band beside the model's, through every
// weighting, and their difference in dB, as a table under a line that says
// the band compared: Windows-1252, CR LF between lines, no line end after the
// last. Where there is no comparison (CompareOverBand's nothing), the line
// that says so.
std::string BandComparisonText(const std::optional<BandComparison>& comparison);

}  // namespace tervane
