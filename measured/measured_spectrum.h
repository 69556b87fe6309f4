#pragma once

#include <optional>
#include <vector>

#include "noise/stage_inputs.h"

namespace tervane {

// Where on the stage a spectrum was taken: at its output, or divided by its
// gain by the analyser's software and so referred to its input.
enum class Referred { kOutput, kInput };

struct MeasuredPoint {
  double frequency = 0;  // Hz, > 0
  double density = 0;    // V/rtHz, > 0 and finite
};

// A spectrum as read: the frequencies strictly rising, every density one
// that can be drawn and integrated on log axes.
struct MeasuredSpectrum {
  std::vector<MeasuredPoint> points;
  Referred referred = Referred::kOutput;
  // An FFT's first bin, at 0 Hz, has no place on a log axis: it is left out,
  // and said to be.
  bool zeroHertzLeftOut = false;
};

// The spectrum at the stage's output, where the model's lies: as it is when
// taken there, each density times |G(f)| (StageAt) when referred to the
// input. Nothing where the stage has no solution or no gain at a point's
// frequency.
std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const StageInputs& stage);

}  // namespace tervane
