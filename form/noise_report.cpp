#include "form/noise_report.h"

#include "form/built_circuit.h"
#include "noise/transimpedance.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

void AppendValue(std::string& out, std::string_view label, double value, std::string_view ending) {
  out.append(label);
  out.append(ShownValue(value));
  out.append(ending);
}

// The transimpedance amplifier's lines after its output noise: the
// photocurrent's transimpedance, the loop, the input current, the light and
// the signal to noise ratio, this last without a line end.
void AppendTransimpedance(std::string& out, const StageInputs& s, const StageResult& r) {
  const TransimpedanceFigures f = *TransimpedanceFiguresOf(s, r);
  AppendValue(out, "Transimpedance = ", f.dcTransimpedance, "ohm at DC");
  const std::optional<double> bandwidth = f.loop ? f.loop->bandwidth : std::nullopt;
  if (bandwidth)
    AppendValue(out, ", -3dB at ", *bandwidth, "Hz\r\n");
  else
    out += ", flat (no -3dB point)\r\n";
  if (f.loop && f.loop->q) {
    out.append("Loop Q = ").append(FormatFixed(*f.loop->q, 3));
    out.append(", phase margin = ").append(FormatFixed(*f.loop->phaseMarginDegrees, 1)).append(" degrees\r\n");
  } else {
    out += "Loop: no Gain-Bandwidth Product, an ideal op amp\r\n";
  }
  if (!s.commonModeCapacitance && !s.differentialCapacitance)
    out += "No Ccm or Cdiff given: the op amp's input capacitance is left out\r\n";
  const std::string centre = "at " + ShownValue(f.centre) + "Hz, the band's centre\r\n";
  AppendValue(out, "Input current noise = ", f.inputDensity, "A/rtHz " + centre);
  AppendValue(out, "Input current noise over the band = ", f.inputNoise, "A\r\n");
  if (f.nep) AppendValue(out, "Noise-equivalent power = ", *f.nep, "W/rtHz " + centre);
  if (f.minimumPower) AppendValue(out, "Minimum detectable power = ", *f.minimumPower, "W\r\n");
  if (r.snr)
    AppendValue(out, "Signal to noise ratio = ", *r.snr, "dB, of the photocurrent");
  else
    out += "Signal to noise ratio: no Photocurrent given";
}

}  // namespace

std::string SpectrumFaultText(SpectrumFault fault) {
  const std::string_view prefix = "No spectrum: ";
  switch (fault) {
    case SpectrumFault::kCalculationFailed:
      break;
    case SpectrumFault::kNegativePower:
      return std::string(prefix).append(kNegativePowerText);
    case SpectrumFault::kTooFewPoints:
      return std::string(prefix).append("fewer than 2 points");
    case SpectrumFault::kLowerUnderflow:
      return std::string(prefix).append("a decade below the band, fL/10, underflows to 0");
    case SpectrumFault::kUpperOverflow:
      return std::string(prefix).append("a decade above the band, 10 fH, is beyond the largest number");
    case SpectrumFault::kRiseOverflow:
      return std::string(prefix).append("the 1/f rise at fL/10 takes a noise power beyond the largest number");
  }
  return std::string(kNoiseErrorReport);
}

std::string BuildNoiseReport(const NoiseResult& result, std::optional<std::string_view> partName) {
  const StageInputs& s = result.inputs;
  const StageResult& r = result.outcome;
  if (r.failure) return std::string(kNoiseErrorReport);

  std::string out;
  out.reserve(512);
  out += "Op Amp Specifications:\r\n";
  out += "Part name:  ";
  out += partName.value_or(kNoPartSelected);
  out += "\r\n";
  AppendValue(out, "Voltage noise = ", s.en, "V/rtHz\r\n");
  AppendValue(out, "Current noise  = ", s.in, "A/rtHz\r\n");
  AppendValue(out, "1/f noise corner = ", s.cornerFreq, "Hz\r\n\r\n");
  const std::optional<std::string> built = BuiltCircuitLine(s);
  if (built) out.append(*built).append("\r\n\r\n");
  out += "Output noise results:\r\n";
  AppendValue(out, "Operating temperature = ", result.temperature.kelvin, "K\r\n");
  AppendValue(out, "Flicker correction factor = ", r.flicker, "\r\n");
  out += s.currentCorner ? "Noise current has its own 1/f corner, fci\r\n"
         : s.applyCorner ? "1/f Noise corner applied to noise current\r\n"
                         : "1/f Noise corner not applied to noise current\r\n";
  AppendValue(out, "Noise = ", *r.outputDensity, "V/rtHz\r\n");
  AppendValue(out, "Total noise voltage = ", *r.ownNoise, "V\r\n");
  if (s.ampType == AMP_TRANSIMPEDANCE) {
    AppendTransimpedance(out, s, r);
    return out;
  }
  if (s.carry) {
    if (r.reduced) out += "Carry noise reduced by bandwidth reduction\r\n";
    AppendValue(out, "Noise voltage with carry = ", *r.totalNoise, "V\r\n");
  }
  AppendValue(out, "Signal to noise ratio = ", *r.snr, "dB\r\n");
  // Over frequency the gain is a curve: the report gives it where audio
  // gives it.
  AppendValue(out, "Gain = ", *r.gain, built ? " (at 1kHz)" : "");
  return out;
}

}  // namespace tervane
