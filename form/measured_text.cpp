#include "form/measured_text.h"

#include <array>
#include <cmath>

#include "form/figure_text.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

// A fitted figure as the table names it, its unit, and the form's field
// that takes it (none for the gain error).
struct FitFigure {
  std::string_view name;
  std::string_view unit;
  std::string CalculatorForm::*field;
};
constexpr std::array<FitFigure, kFitParameterCount> kFitFigures{{
    {"Noise Voltage (en)", "V/rtHz", &CalculatorForm::m_strNoiseVoltage},
    {"1/f Corner Frequency (fc)", "Hz", &CalculatorForm::m_strCornerFreq},
    {"Noise Current (in)", "A/rtHz", &CalculatorForm::m_strNoiseCurrent},
    {"Current Noise 1/f Corner (fci)", "Hz", &CalculatorForm::m_strCurrentCorner},
    {"Gain error", "", nullptr},
}};

std::string ValueText(std::optional<double> value, std::string_view unit) {
  if (!value || !std::isfinite(*value)) return std::string(kUndefinedFigure);
  return ShownValue(*value) + std::string(unit);
}

std::string RmsText(double power) { return ValueText(std::sqrt(power), "V"); }

}  // namespace

TextTable BandComparisonTable(const BandComparison& comparison) {
  TextTable table{{"Over the band"}, {{"Measured"}, {"Model"}, {"Difference"}}};
  for (const Weighting weighting : kWeightings) {
    const std::size_t i = WeightingIndex(weighting);
    const double db = comparison.differenceDb[i];
    table.headings.emplace_back(NamesOf(weighting).label);
    table.rows[0].push_back(RmsText(comparison.measured.power[i]));
    table.rows[1].push_back(RmsText(comparison.model[i]));
    table.rows[2].push_back(std::isfinite(db) ? FormatFixed(db, 2) + " dB" : std::string(kUndefinedFigure));
  }
  return table;
}

std::optional<std::string> PartialBandNote(const BandComparison& comparison, Band band) {
  const Band covered = comparison.measured.covered;
  if (covered == band) return std::nullopt;
  return "The measurement spans " + BandText(covered) + " of the band " + BandText(band) +
         ": both totals are over that part.";
}

TextTable FitTable(const NoiseFit& fit) {
  TextTable table{{"Figure", "Value", "Standard error"}, {}};
  for (std::size_t i = 0; i < kFitParameterCount; ++i)
    if (const std::optional<FittedValue>& value = fit.fitted[i])
      table.rows.push_back({std::string(kFitFigures[i].name), ValueText(value->value, kFitFigures[i].unit),
                            ValueText(value->standardError, kFitFigures[i].unit)});
  return table;
}

std::string FitSummary(const NoiseFit& fit) {
  const std::string rms = "Residual rms " + FormatFixed(fit.residualRmsDb, 2) + " dB";
  if (fit.converged) return rms + "; converged in " + std::to_string(fit.iterations) + " iterations.";
  return rms + "; did not converge in " + std::to_string(fit.iterations) +
         " iterations: the values are the best point found.";
}

void ApplyFit(CalculatorForm& form, const NoiseFit& fit) {
  for (std::size_t i = 0; i < kFitParameterCount; ++i)
    if (fit.fitted[i] && kFitFigures[i].field) form.*kFitFigures[i].field = ShownValue(fit.fitted[i]->value);
}

}  // namespace tervane
