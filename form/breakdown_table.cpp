#include "form/breakdown_table.h"

#include <cstdio>
#include <string>

#include "form/figure_text.h"
#include "noise/noise_source.h"
#include "notation/shown_value.h"

namespace tervane {

TextTable BreakdownTable(const NoiseBreakdown& breakdown, Weighting weighting) {
  const std::string weighted =
      weighting == Weighting::kNone ? std::string() : std::string(NamesOf(weighting).label) + "-weighted ";
  TextTable table{{"Source", "Output density (V/rtHz)",
                   weighting == Weighting::kNone ? "Total over the band (V)"
                                                 : "Total over the band, " + weighted + "(V)",
                   "Share of " + weighted + "output noise power (%)"},
                  {}};
  for (const NoiseContribution& row : breakdown.contributions) {
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.1f", row.percent);
    table.rows.push_back(
        {std::string(NoiseSourceLabel(row.source)), ShownValue(row.density), ShownValue(row.total), percent});
  }
  return table;
}

}  // namespace tervane
