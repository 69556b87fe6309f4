#pragma once

#include <array>
#include <optional>

#include "noise/noise_source.h"
#include "noise/stage_inputs.h"
#include "noise/stage_result.h"
#include "noise/weighting.h"

namespace tervane {

// The frequency-dependent path reports the gain |G| here (the audio
// convention), and refers its output noise to the input through it.
inline constexpr double kGainFrequency = 1000;  // Hz

class PreparedCircuit;
struct OpAmpNoise;

// The textbook stage (none of the circuit's values given): each stage
// source's output noise power density, V^2/Hz, indexed by NoiseSource; 0
// for a source the topology does not have.
struct StageTerms {
  std::array<double, kStageSourceCount> power{};
  double gain = 0;  // G
};

// The model's terms for the topology, resistors and temperature of `stage`,
// with op-amp densities `en` and `in` as they apply: the band's en' and in'
// for the report, spot values for a spectrum. Nothing when the topology
// cannot be worked out from these resistors (or is none of the three).
std::optional<StageTerms> StageNoiseTerms(const StageInputs& stage, double en, double in);

// Sn^2: the terms added in source order, as the report forms it.
double TotalPower(const StageTerms& terms);

// Whether a term of the calculated stage has a negative noise power, which
// has no density: a negative resistor or temperature makes a thermal term
// negative (over the band as at every frequency: only the 1/f rise changes
// a term's sign), a negative corner the 1/f part of the op amp's voltage
// noise (en^2 fc / f), whatever the band average of the rise comes to. Such
// a stage has no breakdown and no spectrum. The correlation's cross term
// (IsSigned) may be negative in any stage.
bool HasNegativePower(const StageInputs& stage, const StageResult& result);

// A stage at one frequency, however it is calculated.
struct StageAtFrequency {
  std::array<double, kStageSourceCount> power{};  // each stage source's output density, V^2/Hz, by SourceIndex
  double gain = 0;                                // |G(f)|; the textbook stage's flat |G|
  // What the carried noise's density at the output follows, against
  // BandPowers::carriedGain: |G(f)| over frequency, 1 for the textbook
  // stage, whose carried noise holds its flat gain already.
  double carriedGain = 0;
};

// The stage's sources at `frequency` (> 0): the textbook stage's terms with
// en, and in where the corner applies to it, risen as 1 + fc / f
// (RisesBelowCorner); over frequency its response (StageResponseAt), with
// the roll-off, the resonances and in(f)^2 = in^2 (1 + fci / f). Nothing for
// a topology with no solution.
std::optional<StageAtFrequency> StageAt(const StageInputs& stage, double frequency);

// Each stage source's output power over the band read through `weighting`,
// V^2, by SourceIndex; 0 for a source the stage lacks. Flat, the
// calculation's own (BandPowers::source). Weighted, the textbook stage's
// white density times the integral of |W|^2 over the band plus its 1/f part
// (en^2 fc, and in's where the corner applies to the current noise) times
// that of |W|^2 / f; over frequency, each source's density times |W|^2
// integrated over the band (IntegrateSources). Nothing for a failed
// calculation or a band the weightings cannot be integrated over.
std::optional<std::array<double, kStageSourceCount>> SourcePowersOverBand(const StageInputs& stage,
                                                                          const StageResult& result,
                                                                          Weighting weighting);

// The carried noise's power at the output read through `weighting`, V^2:
// flat over CarriedBand before the stage, through |G(f)|^2 after it; 0
// outside carry mode and where the bands do not meet.
double CarriedPower(const StageResult& result, Weighting weighting);

// What makes a part of the circuit as built one that no circuit has.
enum class PartFault {
  kNegative,               // a negative Ls, Cload, Cf, Cb, GBW, fci, Cd, Id, Iph, responsivity, Ccm or Cdiff
  kBiasCapacitorAlone,     // Cb without the Rb it lies across
  kCorrelationOutOfRange,  // c beyond -1..1 (or NaN): no correlation at all
  kZeroResponsivity,       // a responsivity of 0, which turns no light into current
};
struct FaultyPart {
  PartFault fault;
  std::optional<double> StageInputs::*part;
};

// The first faulty part of `stage`, which the stage over frequency refuses
// (StageFailure::kFaultyPart): the circuit's in StageInputs' order, then
// the TIA's own, which a voltage stage does not read; none when every part
// given is one a circuit can have. A negative resistor is not faulty: it is
// a negative noise power (HasNegativePower).
std::optional<FaultyPart> FindFaultyPart(const StageInputs& stage);

// The noise model of one stage (noise_model.md): the textbook stage's
// closed forms, or where IsFrequencyDependent(stage) its response
// integrated over the band (IntegrateStage). Either fills the same
// per-source densities and band powers, which every view reads; the
// closed forms' weighting integrals of the band are kept for the last few
// bands, per thread, so that a run of stages over one band, a ranking say,
// integrates it once.
StageResult CalculateStage(const StageInputs& stage);

// The same with the stage's band integrals already worked out, as a chain
// integrates its stages at once (IntegrateChain): for a stage over
// frequency what CalculateStage(stage) gives, but for the integrals' own
// rounding; the textbook stage in closed form.
StageResult CalculateStage(const StageInputs& stage, const BandPowers& powers);

// The same for the prepared circuit's stage with `opAmp` in it, as a
// ranking calculates every part: CalculateStage(WithOpAmp(circuit.Stage(),
// opAmp)), with the band integrals from the prepared rule.
StageResult CalculateStage(const PreparedCircuit& circuit, const OpAmpNoise& opAmp);

}  // namespace tervane
