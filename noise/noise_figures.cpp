#include "noise/noise_figures.h"

#include <cmath>
#include <cstddef>

#include "noise/physical_constants.h"

namespace tervane {
namespace {

std::optional<double> Finite(double x) {
  if (!std::isfinite(x)) return std::nullopt;
  return x;
}

// 20 log10 of a voltage ratio; empty for a ratio <= 0.
std::optional<double> Db(double ratio) { return Finite(20 * std::log10(ratio)); }

bool AllFinite(const FigureInputs& in) {
  for (const double v : in.power)
    if (!std::isfinite(v)) return false;
  for (const double v : {in.sourcePerKelvin, in.gain, in.temperature, in.en, in.in, in.reference})
    if (!std::isfinite(v)) return false;
  return std::isfinite(in.loadedSourcePerKelvin.value_or(0));
}

WeightedFigures FiguresOfPower(const FigureInputs& in, Weighting weighting) {
  WeightedFigures w;
  const double power = in.power[WeightingIndex(weighting)];
  if (!(power >= 0)) return w;
  const double output = std::sqrt(power);
  const double input =
      in.inputPower ? std::sqrt((*in.inputPower)[WeightingIndex(weighting)]) : output / std::fabs(in.gain);
  w.outputV = output;
  w.outputDbu = Db(output / kZeroDbu);
  w.outputDbv = Db(output);
  w.inputV = Finite(input);
  w.einDbu = Db(input / kZeroDbu);
  w.einDbv = Db(input);
  w.snrDb = Db(in.reference / output);
  w.snrRe4DbuDb = Db(kPlusFourDbu / output);
  if (in.responsivity) w.inputW = Finite(input / *in.responsivity);
  return w;
}

// F = 1 + (the output noise beyond the source's own at the stage's
// temperature) / (the source's at T0): the source's term taken at T0, the
// source's noise at the output per kelvin being `sourcePerKelvin`.
std::optional<double> NoiseFactor(const FigureInputs& in, double sourcePerKelvin) {
  if (!(sourcePerKelvin > 0)) return std::nullopt;
  const double excess = in.power[WeightingIndex(Weighting::kNone)] - sourcePerKelvin * in.temperature;
  const double factor = 1 + excess / (sourcePerKelvin * kNoiseFigureT0);
  if (!(factor > 0 && std::isfinite(factor))) return std::nullopt;
  return factor;
}

void SetNoiseFigures(const FigureInputs& in, NoiseFigures& f) {
  if (const std::optional<double> factor = NoiseFactor(in, in.sourcePerKelvin)) {
    f.noiseFactor = factor;
    f.noiseFigureDb = Finite(10 * std::log10(*factor));
    f.noiseTemperatureK = kNoiseFigureT0 * (*factor - 1);
  }
  if (in.loadedSourcePerKelvin)
    if (const std::optional<double> factor = NoiseFactor(in, *in.loadedSourcePerKelvin))
      f.noiseFigureLoadedDb = Finite(10 * std::log10(*factor));
}

// The source resistance that balances the band's rms en' against its in',
// and the noise factor there: 1 + en' in' / (2 k T0).
void SetOptimum(const FigureInputs& in, NoiseFigures& f) {
  if (!(in.in > 0 && in.en >= 0)) return;
  f.optimumSourceOhm = Finite(in.en / in.in);
  f.minNoiseFigureDb = Finite(10 * std::log10(1 + in.en * in.in / (kFourBoltzmann / 2 * kNoiseFigureT0)));
}

}  // namespace

NoiseFigures ComputeNoiseFigures(const FigureInputs& in) {
  NoiseFigures f;
  if (!AllFinite(in)) return f;
  f.signalGain = in.gain;
  f.gainDb = Db(std::fabs(in.gain));
  for (const Weighting w : kWeightings) f.weighted[WeightingIndex(w)] = FiguresOfPower(in, w);
  SetNoiseFigures(in, f);
  SetOptimum(in, f);
  return f;
}

std::optional<FigureInputs> FigureInputsOf(const StageInputs& stage, const StageResult& r) {
  if (r.failure) return std::nullopt;
  FigureInputs in;
  in.temperature = stage.kelvin;
  in.en = r.enCorrected;
  in.in = r.inCorrected;
  // The TIA's signal is its photocurrent, through Rf at DC.
  const bool transimpedance = stage.ampType == AMP_TRANSIMPEDANCE;
  in.reference = transimpedance ? stage.photocurrent.value_or(0) * std::fabs(stage.r2) : stage.refVoltage;
  if (transimpedance) in.responsivity = stage.responsivity, in.inputPower = r.powers.inputPower;
  for (const Weighting w : kWeightings)
    in.power[WeightingIndex(w)] = r.powers.weighted[WeightingIndex(w)] + CarriedPower(r, w);
  in.sourcePerKelvin = r.powers.sourcePerKelvin;
  if (stage.loadResistor) in.loadedSourcePerKelvin = r.powers.loadedSourcePerKelvin;
  in.gain = *r.gain;
  return in;
}

std::optional<NoiseFigures> StageNoiseFigures(const StageInputs& stage, const StageResult& result) {
  const std::optional<FigureInputs> inputs = FigureInputsOf(stage, result);
  if (!inputs) return std::nullopt;
  const NoiseFigures figures = ComputeNoiseFigures(*inputs);
  if (!HasNegativePower(stage, result)) return figures;
  NoiseFigures gainOnly;
  gainOnly.signalGain = figures.signalGain;
  gainOnly.gainDb = figures.gainDb;
  return gainOnly;
}

}  // namespace tervane
