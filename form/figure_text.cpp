#include "form/figure_text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "form/noise_report.h"
#include "noise/noise_calculation.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kLabelWidth = 27;
constexpr std::size_t kColumnWidth = 13;

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

void TrimLineEnd(std::string& out) {
  while (out.back() == ' ') out.pop_back();
}

}  // namespace

std::string BandText(Band band) { return ShownValue(band.lower) + "Hz to " + ShownValue(band.upper) + "Hz"; }

std::optional<NoiseFigures> FiguresOf(const NoiseResult& result) {
  return StageNoiseFigures(result.inputs, result.outcome);
}

std::string FigureText(std::optional<double> value, std::string_view unit, FigureKind kind) {
  if (!value || !std::isfinite(*value)) return std::string(kUndefinedFigure);
  return (kind == FigureKind::kDecibel ? FormatFixed(*value, 2) : ShownValue(*value)).append(unit);
}

FigureCauses CausesOf(const NoiseResult& result) {
  const StageInputs& s = result.inputs;
  const StageResult& r = result.outcome;
  const bool current = s.ampType == AMP_TRANSIMPEDANCE;
  return {false,
          !(r.gain && *r.gain != 0),
          HasNegativePower(s, r),
          current ? s.shuntResistance.value_or(0) : s.sourceResistor,
          r.enCorrected,
          r.inCorrected,
          s.loadResistor.has_value(),
          current,
          s.responsivity.has_value()};
}

bool HasFigure(const FigureCauses& causes, std::string_view key) {
  if (key == "noise_figure_loaded_db") return causes.load;
  if (key == "input_w") return causes.current && causes.responsivity;
  for (const std::string_view voltageOnly : {"ein_dbu", "ein_dbv", "optimum_source_ohm", "min_noise_figure_db"})
    if (causes.current && key == voltageOnly) return false;
  return true;
}

std::string_view UndefinedReason(const FigureCauses& causes, const WeightedFigures& weighted, std::string_view key) {
  const auto is = [key](std::initializer_list<std::string_view> keys) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  };
  if (is({"gain_db", "input_v", "ein_dbu", "ein_dbv"}) && causes.noGain)
    return causes.chain ? "the chain has no signal gain" : "the stage has no signal gain";
  if (!is({"signal_gain", "gain_db"}) && causes.negativePower) return kNegativePowerText;
  if (is({"noise_figure_db", "noise_temperature_k"}) && causes.current) {
    if (causes.sourceResistor == 0) return "no Rsh: the photodiode has no thermal noise to compare with";
    if (causes.sourceResistor < 0) return "Rsh < 0: a negative shunt resistance has no noise to compare with";
  }
  if (is({"noise_figure_db", "noise_temperature_k"})) {
    if (causes.sourceResistor == 0) return "Rs = 0: there is no source noise to compare with";
    if (causes.sourceResistor < 0) return "Rs < 0: a negative source resistance has no noise to compare with";
  }
  if (is({"snr_db"}) && causes.current && weighted.outputV) return "no Photocurrent given: it is the signal";
  if (is({"optimum_source_ohm", "min_noise_figure_db"})) {
    if (causes.chain) return "a figure of one op amp: see the first stage calculated alone";
    if (causes.in == 0) return "in = 0: no current noise to balance the voltage noise";
    if (causes.en < 0 || causes.in < 0) return "en or in is negative: a noise density is never below 0";
  }
  if (is({"output_dbu", "output_dbv", "ein_dbu", "ein_dbv", "snr_db", "snr_re_4dbu_db"}) && weighted.outputV == 0.0)
    return "no noise through this weighting: 0 V has no level in dB";
  return "not finite for these inputs";
}

TextTable FigureTable(const FigureCauses& causes, const NoiseFigures& figures, Weighting weighting) {
  TextTable table{{"Figure", "Value", "Why undefined"}, {}};
  const WeightedFigures& weighted = figures[weighting];
  auto add = [&](const auto& f, std::optional<double> value, std::string_view suffix) {
    if (!HasFigure(causes, f.key)) return;
    const FigureNames names = FigureNamesOf(f, causes);
    table.rows.push_back({std::string(names.label).append(suffix), FigureText(value, names.unit, f.kind),
                          value ? std::string() : std::string(UndefinedReason(causes, weighted, f.key))});
  };
  for (const StageFigureField& f : kStageFigureFields) add(f, figures.*f.member, "");
  const std::string suffix = weighting == Weighting::kNone ? std::string(" (flat)")
                                                           : " (" + std::string(NamesOf(weighting).label) + ")";
  for (const WeightedFigureField& f : kWeightedFigureFields) add(f, weighted.*f.member, suffix);
  return table;
}

std::string FiguresText(const NoiseFigures& figures, const FigureCauses& causes, Band band,
                        const std::optional<std::string>& note) {
  std::string out = "Figures:";
  for (const StageFigureField& f : kStageFigureFields) {
    if (!HasFigure(causes, f.key)) continue;
    const std::optional<double> value = figures.*f.member;
    const FigureNames names = FigureNamesOf(f, causes);
    out.append(kLineEnd).append(names.label).append(" = ").append(FigureText(value, names.unit, f.kind));
    if (!value) out.append("  (").append(UndefinedReason(causes, figures[Weighting::kNone], f.key)).append(")");
  }
  out.append(kLineEnd).append(kLineEnd).append("Weighted over ").append(BandText(band));
  out.append(":").append(kLineEnd).append(Padded("Weighting", kLabelWidth));
  for (const WeightingNames& names : kWeightingNames) out.append(Padded(std::string(names.label), kColumnWidth));
  TrimLineEnd(out);
  for (const WeightedFigureField& f : kWeightedFigureFields) {
    if (!HasFigure(causes, f.key)) continue;
    const FigureNames names = FigureNamesOf(f, causes);
    out.append(kLineEnd).append(Padded(std::string(names.label), kLabelWidth));
    for (const Weighting w : kWeightings)
      out.append(Padded(FigureText(figures[w].*f.member, names.unit, f.kind), kColumnWidth));
    TrimLineEnd(out);
  }
  if (note) out.append(kLineEnd).append(*note);
  return out.append(kLineEnd).append(kQuasiPeakNote);
}

std::string BuildFiguresText(const NoiseResult& result) {
  const std::optional<NoiseFigures> figures = FiguresOf(result);
  if (!figures) return "No figures: the calculation failed.";
  return FiguresText(*figures, CausesOf(result), {result.inputs.lowerFreq, result.inputs.upperFreq}, CarryNote(result));
}

std::optional<std::string> CarryNote(const NoiseResult& result) {
  const StageInputs& s = result.inputs;
  const StageResult& r = result.outcome;
  if (r.failure || !s.carry || !r.carriedNoise) return std::nullopt;
  const Band carriedBand = CarriedBand(s);
  std::string note = "Carried in: " + ShownValue(*s.carry) + "V";
  if (s.previousBand) note += " over " + BandText(*s.previousBand);
  if (r.reduced) {
    const bool overlaps = carriedBand.lower < carriedBand.upper;
    note += overlaps ? ", scaled by the root of the bandwidths to its share in " + BandText(carriedBand)
                     : ", none of it in this band";
  }
  note += ", times the gain " + ShownValue(*r.gain) + ": " + ShownValue(std::fabs(*r.carriedNoise)) +
          "V at the output, spread evenly over " + BandText(carriedBand) + ".";
  return note;
}

}  // namespace tervane
