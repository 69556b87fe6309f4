#include "form/part_selection.h"

namespace tervane {

bool SelectPart(CalculatorForm& form, const CPartTable& table, std::string_view name) {
  const std::optional<PartRecord> record = table.Lookup(name);
  if (!record) return false;
  form.m_strNoiseVoltage = record->szNoiseVoltage;
  form.m_strNoiseCurrent = record->szNoiseCurrent;
  form.m_strCornerFreq = record->szCornerFreq;
  form.m_strGainBandwidth = record->szGainBandwidth;
  form.m_strCurrentCorner = record->szCurrentCorner;
  form.m_strInCorrelation = record->szInCorrelation;
  form.m_strCommonModeCapacitance = record->szCommonModeCapacitance;
  form.m_strDifferentialCapacitance = record->szDifferentialCapacitance;
  return true;
}

}  // namespace tervane
