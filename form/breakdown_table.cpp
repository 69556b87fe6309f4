#include "form/breakdown_table.h"

#include <string>

#include "form/figure_text.h"
#include "noise/noise_source.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {

TextTable BreakdownTable(const NoiseBreakdown& breakdown, Weighting weighting) {
  const bool flat = weighting == Weighting::kNone;
  const std::string weighted = std::string(NamesOf(weighting).label) + "-weighted";
  TextTable table{
      {"Source", "Output density (V/rtHz)", flat ? "Total over the band (V)" : "Total, " + weighted + " (V)",
       flat ? "Share of output noise power (%)" : "Share of " + weighted + " power (%)"},
      {}};
  for (const NoiseContribution& row : breakdown.contributions) {
    table.rows.push_back({std::string(NoiseSourceLabel(row.source)), ShownValue(row.density), ShownValue(row.total),
                          FormatFixed(row.percent, 1)});
  }
  return table;
}

std::optional<std::string> NegativeShareNote(const std::vector<NoiseContribution>& rows) {
  for (const NoiseContribution& row : rows)
    if (row.total < 0)
      return std::string(NoiseSourceLabel(row.source)) +
             " takes power away: its share of the total is negative, and the other rows' shares add up to more "
             "than 100 %.";
  return std::nullopt;
}

}  // namespace tervane
