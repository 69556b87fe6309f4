#include "form/part_selection.h"

#include <utility>

namespace tervane {

bool SelectPart(CalculatorForm& form, const CPartTable& table, std::string_view name, MissingFigures missing) {
  const PartRecord* record = table.Lookup(name);
  if (!record) return false;
  form.m_strNoiseVoltage = record->szNoiseVoltage;
  form.m_strNoiseCurrent = record->szNoiseCurrent;
  form.m_strCornerFreq = record->szCornerFreq;
  for (const auto& [member, text] : {std::pair{&CalculatorForm::m_strGainBandwidth, record->szGainBandwidth},
                                     std::pair{&CalculatorForm::m_strCurrentCorner, record->szCurrentCorner}})
    if (*text != '\0' || missing == MissingFigures::kEmpty) form.*member = text;
  return true;
}

}  // namespace tervane
