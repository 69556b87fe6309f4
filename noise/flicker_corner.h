#pragma once

namespace tervane {

// A band figure given peak-to-peak is taken as this many times its rms.
inline constexpr double kPeakToPeakPerRms = 6.0;

// The 1/f corner fc that solves e^2(f) = en^2 (1 + fc / f) for a datasheet's
// low-frequency figure: a spot density `noise` at `frequency`, or the total
// rms noise `rms` over lower..upper. Not finite, or negative, where no corner
// gives the figure (noise below the white floor, a reversed band, en = 0).
double CornerAtFrequency(double en, double frequency, double noise);
double CornerThroughBand(double en, double lower, double upper, double rms);

}  // namespace tervane
