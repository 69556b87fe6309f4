#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "measured/fit_model.h"
#include "measured/measured_spectrum.h"
#include "noise/stage_inputs.h"
#include "noise/stage_response.h"

namespace tervane {

// One measurement of the op amp, in the stage it was measured in.
struct FitMeasurement {
  MeasuredSpectrum spectrum;
  StageInputs stage;
};

struct FittedValue {
  double value = 0;  // en V/rtHz, fc Hz, in A/rtHz, fci Hz, the gain error as a ratio
  // From the Jacobian at the fit, scaled by the residuals' variance; none
  // where the measurements do not fix the values, and for a density fitted
  // as 0, where its square's error has no counterpart in V/rtHz.
  std::optional<double> standardError;
};

struct FitOptions {
  std::array<bool, kFitParameterCount> chosen{};  // by FitIndex
  int maxIterations = 100;
};

struct NoiseFit {
  std::array<std::optional<FittedValue>, kFitParameterCount> fitted;  // by FitIndex, those chosen
  // The first measurement's op amp with the fitted figures in: what the
  // form's fields take.
  OpAmpNoise opAmp;
  double residualRmsDb = 0;  // each decade weighing alike
  bool converged = false;    // otherwise the values are the best found
  int iterations = 0;
};

struct NoiseFitting {
  std::optional<NoiseFit> fit;
  std::string reason;  // why there is no fit, otherwise
};

// The op amp's figures chosen in `options` fitted to every measurement at
// once: least squares of the measured against the model's density in dB,
// each point weighed by the decades it stands for, each circuit held as its
// stage gives it and all with the first measurement's op amp, which the
// fit starts from (where fci is fitted but not given, from where the
// current's rise stood: fc where the corner applies to the current, else
// 0). A measurement referred to the input is taken to the
// output first (AtOutput). Fitting fci gives the stages the current's own
// corner, as the form's field does.
NoiseFitting FitNoise(std::span<const FitMeasurement> measurements, const FitOptions& options);

}  // namespace tervane
