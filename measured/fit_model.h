#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "measured/measured_spectrum.h"
#include "noise/stage_inputs.h"

namespace tervane {

// The op amp's figures a fit may vary, as the form's fields hold them, and
// the measuring chain's flat gain error.
enum class FitParameter { kEn, kCorner, kIn, kCurrentCorner, kGain };
inline constexpr std::size_t kFitParameterCount = 5;
constexpr std::size_t FitIndex(FitParameter p) { return static_cast<std::size_t>(p); }

struct FitParameterName {
  std::string_view key;  // as the command line takes it
  FitParameter parameter;
};
inline constexpr std::array<FitParameterName, kFitParameterCount> kFitParameters{{
    {"en", FitParameter::kEn},
    {"fc", FitParameter::kCorner},
    {"in", FitParameter::kIn},
    {"fci", FitParameter::kCurrentCorner},
    {"gain", FitParameter::kGain},
}};
std::optional<FitParameter> FitParameterOfKey(std::string_view key);

// The unknowns as the fit moves them, by FitIndex: en^2 (V^2/Hz), fc (Hz),
// in^2 (A^2/Hz), fci (Hz) and ln g, g the gain error; the power is linear
// in the squares, and they may reach 0.
using FitUnknowns = std::array<double, kFitParameterCount>;

// How the corners apply (CurrentNoiseRise): the voltage noise rises with
// fc; the current noise with its own fci where the stage has one, else
// with fc where the corner is applied to it.
struct CornerRule {
  bool applyCorner = false;
  bool currentCorner = false;
};

// A stage at one frequency split by what the op amp's figures scale: its
// output power density is g^2 (en^2 (1 + fc / f) voltage + in^2 r(f)
// current + fixed), r(f) the current noise's rise.
struct OpAmpTerms {
  double frequency = 0;  // Hz
  double voltage = 0;    // V^2/Hz per en^2
  double current = 0;    // V^2/Hz per in^2, the inputs' correlation in
  double fixed = 0;      // V^2/Hz: the resistors' thermal and excess noise, the carried noise
};

// The terms of `stage` at each point's frequency, read from its spectrum
// (NoiseSpectrumAt) with en and in of 1 and corners of 0, the current's
// own corner there where `rule` has one: so the fit varies the model
// itself. Nothing where the stage has no spectrum at a point.
std::optional<std::vector<OpAmpTerms>> OpAmpTermsOf(const StageInputs& stage, CornerRule rule,
                                                    std::span<const MeasuredPoint> points);

// The model's power density, V^2/Hz, and its slope by unknown.
struct ModelPoint {
  double power = 0;
  FitUnknowns slope{};
};
ModelPoint ModelAt(const OpAmpTerms& terms, CornerRule rule, const FitUnknowns& x);

}  // namespace tervane
