#include "form/figure_text.h"

#include <cmath>
#include <cstdio>

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

std::string BandText(Band band) { return ShownValue(band.lower) + "Hz to " + ShownValue(band.upper) + "Hz"; }

}  // namespace

std::optional<NoiseFigures> FiguresOf(const NoiseResult& result) {
  const std::optional<FigureInputs> inputs = FigureInputsOf(result.inputs, result.outcome);
  if (!inputs) return std::nullopt;
  return ComputeNoiseFigures(*inputs);
}

std::string FigureText(std::optional<double> value, std::string_view unit, FigureKind kind) {
  if (!value || !std::isfinite(*value)) return std::string(kUndefinedFigure);
  std::string text;
  if (kind == FigureKind::kDecibel) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", *value);
    text = buffer;
  } else {
    text = ShownValue(*value);
  }
  return text.append(unit);
}

std::string_view UndefinedReason(const NoiseResult& result, std::string_view key) {
  if (key == "noise_figure_db" || key == "noise_temperature_k")
    if (!(result.inputs.sourceResistor > 0)) return "Rs = 0: there is no source noise to compare with";
  if (key == "optimum_source_ohm" || key == "min_noise_figure_db")
    if (!(result.inputs.in > 0)) return "in = 0: no current noise to balance the voltage noise";
  if (key == "input_v" || key == "ein_dbu" || key == "ein_dbv")
    if (!(result.outcome.gain && *result.outcome.gain != 0)) return "the stage has no signal gain";
  return "not finite for these inputs";
}

std::vector<FigureRow> FigureRows(const NoiseResult& result, const NoiseFigures& figures, Weighting weighting) {
  std::vector<FigureRow> rows;
  auto add = [&](std::string_view key, std::string label, std::optional<double> value, std::string_view unit,
                 FigureKind kind) {
    rows.push_back({std::move(label), FigureText(value, unit, kind),
                    value ? std::string() : std::string(UndefinedReason(result, key))});
  };
  for (const StageFigureField& f : kStageFigureFields)
    add(f.key, std::string(f.label), figures.*f.member, f.unit, f.kind);
  const std::string suffix = weighting == Weighting::kNone ? std::string(" (flat)")
                                                           : " (" + std::string(NamesOf(weighting).label) + ")";
  for (const WeightedFigureField& f : kWeightedFigureFields)
    add(f.key, std::string(f.label) + suffix, figures[weighting].*f.member, f.unit, f.kind);
  return rows;
}

std::string BuildFiguresText(const NoiseResult& result) {
  const std::optional<NoiseFigures> figures = FiguresOf(result);
  if (!figures) return "No figures: the calculation failed.";
  std::string out = "Figures:";
  for (const StageFigureField& f : kStageFigureFields) {
    const std::optional<double> value = (*figures).*f.member;
    out.append(kLineEnd).append(f.label).append(" = ").append(FigureText(value, f.unit, f.kind));
    if (!value) out.append("  (").append(UndefinedReason(result, f.key)).append(")");
  }
  out.append(kLineEnd).append(kLineEnd).append("Weighted over ").append(BandText({result.inputs.lowerFreq, result.inputs.upperFreq}));
  out.append(":").append(kLineEnd).append(Padded("Weighting", kLabelWidth));
  for (const WeightingNames& names : kWeightingNames) out.append(Padded(std::string(names.label), kColumnWidth));
  TrimLineEnd(out);
  for (const WeightedFigureField& f : kWeightedFigureFields) {
    out.append(kLineEnd).append(Padded(std::string(f.label), kLabelWidth));
    for (const Weighting w : kWeightings)
      out.append(Padded(FigureText((*figures)[w].*f.member, f.unit, f.kind), kColumnWidth));
    TrimLineEnd(out);
  }
  if (const std::optional<std::string> carry = CarryNote(result)) out.append(kLineEnd).append(*carry);
  out.append(kLineEnd).append(kQuasiPeakNote);
  return out;
}

std::optional<std::string> CarryNote(const NoiseResult& result) {
  const StageInputs& s = result.inputs;
  const StageResult& r = result.outcome;
  if (r.failure || !s.carry || !r.carriedNoise) return std::nullopt;
  const std::optional<FigureInputs> inputs = FigureInputsOf(s, r);
  if (!inputs) return std::nullopt;
  std::string note = "Carried in: " + ShownValue(*s.carry) + "V";
  if (s.previousBand) note += " over " + BandText(*s.previousBand);
  if (r.reduced) {
    const bool overlaps = inputs->carriedBand.lower < inputs->carriedBand.upper;
    note += overlaps ? ", scaled by the root of the bandwidths to its share in " + BandText(inputs->carriedBand)
                     : ", none of it in this band";
  }
  note += ", times the gain " + ShownValue(*r.gain) + ": " + ShownValue(std::fabs(*r.carriedNoise)) +
          "V at the output, spread evenly over " + BandText(inputs->carriedBand) + ".";
  return note;
}

}  // namespace tervane
