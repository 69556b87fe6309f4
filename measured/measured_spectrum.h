#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "noise/chain_calculation.h"
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

// |G(f)| of what was measured, from its input to its output; nothing where
// it has none.
using GainAt = std::function<std::optional<double>(double frequency)>;

// The spectrum at the output, where the model's lies: as it is when taken
// there, each density times `gain` when referred to the input. Nothing
// where there is no gain at a point's frequency, or the product is no
// density.
std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const GainAt& gain);
// A stage's |G(f)| is StageAt's: nothing where the stage has no solution.
std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const StageInputs& stage);
// A chain's is its stages' multiplied (ChainSpectrumAt): nothing where the
// chain has no spectrum.
std::optional<MeasuredSpectrum> AtOutput(const MeasuredSpectrum& spectrum, const ChainResult& chain);

}  // namespace tervane
