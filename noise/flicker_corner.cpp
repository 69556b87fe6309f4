#include "noise/flicker_corner.h"

#include <cmath>

namespace tervane {

double CornerAtFrequency(double en, double frequency, double noise) {
  return (noise * noise - en * en) * frequency / (en * en);
}

double CornerThroughBand(double en, double lower, double upper, double rms) {
  return (rms * rms / (en * en) + lower - upper) / std::log(upper / lower);
}

}  // namespace tervane
