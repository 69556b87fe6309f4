#include "noise/noise_report.h"

#include "notation/eng_format.h"

namespace tervane {
namespace {

std::string Eng(double value) { return FormatEngValue(value, kShownDigits); }

void AppendValue(std::string& out, std::string_view label, double value, std::string_view ending) {
  out.append(label);
  out.append(Eng(value));
  out.append(ending);
}

}  // namespace

std::string BuildNoiseReport(const NoiseResult& r, std::optional<std::string_view> partName) {
  if (r.error) return std::string(kNoiseErrorReport);

  std::string out;
  out.reserve(512);
  out += "Op Amp Specifications:\r\n";
  out += "Part name:  ";
  out += partName.value_or(kNoPartSelected);
  out += "\r\n";
  AppendValue(out, "Voltage noise = ", r.en, "V/rtHz\r\n");
  AppendValue(out, "Current noise  = ", r.in, "A/rtHz\r\n");
  AppendValue(out, "1/f noise corner = ", r.cornerFreq, "Hz\r\n\r\n");
  out += "Output noise results:\r\n";
  AppendValue(out, "Operating temperature = ", r.temperature.kelvin, "K\r\n");
  AppendValue(out, "Flicker correction factor = ", r.flicker, "\r\n");
  out += r.applyCorner ? "1/f Noise corner applied to noise current\r\n"
                       : "1/f Noise corner not applied to noise current\r\n";
  AppendValue(out, "Noise = ", *r.outputDensity, "V/rtHz\r\n");
  AppendValue(out, "Total noise voltage = ", *r.ownNoise, "V\r\n");
  if (r.withCarry) {
    if (r.reduced) out += "Carry noise reduced by bandwidth reduction\r\n";
    AppendValue(out, "Noise voltage with carry = ", *r.totalNoise, "V\r\n");
  }
  AppendValue(out, "Signal to noise ratio = ", *r.snr, "dB\r\n");
  AppendValue(out, "Gain = ", *r.gain, "");
  return out;
}

void WriteBackResults(CalculatorForm& form, const NoiseResult& r) {
  if (r.error) return;
  form.m_strSourceResistor = Eng(r.sourceResistor);
  if (r.r1Read) form.m_strR1 = Eng(r.r1);
  form.m_strR2 = Eng(r.r2);
  form.m_strTemperature = Eng(r.temperature.fahrenheit);
  form.m_strLowerFreq = Eng(r.lowerFreq);
  form.m_strUpperFreq = Eng(r.upperFreq);
  form.m_strRefVoltage = Eng(r.refVoltage);
  form.m_strNoiseVoltage = Eng(r.en);
  form.m_strNoiseCurrent = Eng(r.in);
  form.m_strCornerFreq = Eng(r.cornerFreq);
  form.m_strCarry = Eng(*r.totalNoise);
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = r.lowerFreq;
  form.m_dPrevUpperFreq = r.upperFreq;
}

}  // namespace tervane
