#include "form/write_back.h"

#include "form/built_circuit.h"
#include "notation/shown_value.h"

namespace tervane {

void WriteBackResults(CalculatorForm& form, const NoiseResult& result) {
  if (result.outcome.failure) return;
  const StageInputs& r = result.inputs;
  form.m_strSourceResistor = ShownValue(r.sourceResistor);
  if (result.r1Read) form.m_strR1 = ShownValue(r.r1);
  form.m_strR2 = ShownValue(r.r2);
  form.m_strTemperature = ShownValue(result.temperature.fahrenheit);
  form.m_strLowerFreq = ShownValue(r.lowerFreq);
  form.m_strUpperFreq = ShownValue(r.upperFreq);
  form.m_strRefVoltage = ShownValue(r.refVoltage);
  form.m_strNoiseVoltage = ShownValue(r.en);
  form.m_strNoiseCurrent = ShownValue(r.in);
  form.m_strCornerFreq = ShownValue(r.cornerFreq);
  if (HasBuiltCircuit(r))
    for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
      if (const std::optional<double> v = BuiltCircuitValue(r, i)) form.*kBuiltCircuitFields[i].member = ShownValue(*v);
  form.m_strCarry = ShownValue(*result.outcome.totalNoise);
  form.m_bHavePrevBand = true;
  form.m_dPrevLowerFreq = r.lowerFreq;
  form.m_dPrevUpperFreq = r.upperFreq;
}

}  // namespace tervane
