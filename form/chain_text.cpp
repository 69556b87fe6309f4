#include "form/chain_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>

#include "form/amplifier_names.h"
#include "form/breakdown_table.h"
#include "form/built_circuit.h"
#include "form/noise_report.h"
#include "notation/eng_format.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// "92.0 %", and a share that would round to 0 or to 100 without being it
// said as it is: "under 0.1 %", "over 99.9 %".
std::string ShareText(double percent) {
  if (percent > 0 && percent < 0.05) return "under 0.1 %";
  if (percent < 100 && percent >= 99.95) return "over 99.9 %";
  return FormatFixed(percent, 1) + " %";
}

// "0.35 dB", or "under 0.01 dB" for what would round to nothing.
std::string AddedText(double db) { return db > 0 && db < 0.005 ? "under 0.01 dB" : FormatFixed(db, 2) + " dB"; }

// "output noise power", "RIAA-weighted output noise power"
std::string OutputPower(Weighting weighting) {
  if (weighting == Weighting::kNone) return "output noise power";
  return std::string(NamesOf(weighting).label) + "-weighted output noise power";
}

// The field keyed `key` of one of the figure tables, which holds it.
template <class Fields>
const auto& FieldOf(const Fields& fields, std::string_view key) {
  return *std::find_if(fields.begin(), fields.end(), [key](const auto& field) { return field.key == key; });
}

// "Output noise (RIAA) = 1.2mV (-56.20dBu)": the figures keyed `keys` that
// the chain has (HasFigure), the first with its label, the others after it
// in brackets; a dash with why where a figure is undefined, the why said
// once: "EIN = — (the chain has no signal gain)".
std::string FigureLine(const ChainCalculation& result, const NoiseFigures& figures, Weighting weighting,
                       std::initializer_list<std::string_view> keys) {
  const WeightedFigures& weighted = figures[weighting];
  const FigureCauses causes = CausesOf(result);
  std::string line(FigureNamesOf(FieldOf(kWeightedFigureFields, *keys.begin()), causes).label);
  if (weighting != Weighting::kNone) line.append(" (").append(NamesOf(weighting).label).append(")");
  line.append(" = ");
  std::string_view said;  // the reason given last
  for (const std::string_view key : keys) {
    if (!HasFigure(causes, key)) continue;
    const WeightedFigureField& field = FieldOf(kWeightedFigureFields, key);
    const std::optional<double> value = weighted.*field.member;
    std::string text = FigureText(value, FigureNamesOf(field, causes).unit, field.kind);
    if (!value) {
      const std::string_view reason = UndefinedReason(causes, weighted, key);
      if (reason == said) continue;
      text.append(" (").append(reason).append(")");
      said = reason;
    }
    line.append(key == *keys.begin() ? text : " (" + text + ")");
  }
  return line;
}

}  // namespace

std::string StageName(const ChainCalculation& result, std::size_t stage) {
  return StageName(stage, result.partNames[stage], result.stages[stage].inputs.ampType);
}

std::string StageName(std::size_t stage, const std::optional<std::string>& partName, int ampType) {
  std::string about;
  if (partName && !partName->empty()) about = *partName;
  if (const std::optional<AmplifierNames> names = NamesOfAmplifier(ampType)) {
    std::string label(names->label);
    label.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(label.front())));
    about.append(about.empty() ? "" : ", ").append(label);
  }
  std::string name = "Stage " + std::to_string(stage + 1);
  return about.empty() ? name : name + " (" + about + ")";
}

std::optional<std::string> DominanceText(const ChainCalculation& result, Weighting weighting) {
  const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain, weighting);
  if (!breakdown) return std::nullopt;
  double output = 0;
  std::size_t loudest = 0;
  for (std::size_t k = 0; k < breakdown->stages.size(); ++k) {
    output += breakdown->stages[k].total * breakdown->stages[k].total;
    if (breakdown->stages[k].total > breakdown->stages[loudest].total) loudest = k;
  }
  if (output == 0)
    return "No noise reaches the output through the " + std::string(NamesOf(weighting).label) + " weighting.";
  std::string text = StageName(result, loudest) +
                     " sets the noise floor: " + ShareText(breakdown->stages[loudest].percent) + " of the " +
                     OutputPower(weighting);
  std::string_view separator = "; ";
  for (std::size_t k = 0; k < breakdown->stages.size(); ++k) {
    if (k == loudest) continue;
    const double own = breakdown->stages[k].total * breakdown->stages[k].total;
    text.append(separator).append("stage " + std::to_string(k + 1) + " adds ");
    text.append(AddedText(10 * std::log10(output / (output - own))));
    separator = ", ";
  }
  return text + ".";
}

std::string ChainFailureText(const ChainCalculation& result) {
  const ChainResult& chain = result.chain;
  switch (chain.failure.value_or(ChainFailure::kNotFinite)) {
    case ChainFailure::kNoStages:
      return "error: the chain has no stages";
    case ChainFailure::kTooManyStages:
      return "error: a chain holds at most " + std::to_string(kMaxChainStages) + " stages";
    case ChainFailure::kCurrentInputLater:
      return "error: " + StageName(result, *chain.failedStage) +
             " takes a current, and the stage before it gives a voltage: a transimpedance amplifier can only be the "
             "chain's first stage";
    case ChainFailure::kStageFailed: {
      std::string text = StageName(result, *chain.failedStage) + ": " + std::string(kNoiseErrorReport);
      if (const std::optional<std::string> note = BuiltCircuitRefusal(result.stages[*chain.failedStage]))
        text.append(kLineEnd).append(*note);
      return text;
    }
    case ChainFailure::kNotFinite:
      break;
  }
  return std::string(kNoiseErrorReport);
}

std::string BuildChainReport(const ChainCalculation& result, Weighting weighting) {
  const std::optional<NoiseFigures> figures = FiguresOf(result);
  if (!figures) return ChainFailureText(result);
  const ChainResult& chain = result.chain;
  const StageInputs& first = chain.stages.front().inputs;
  std::string out =
      "Chain of " + std::to_string(chain.stages.size()) + (chain.stages.size() == 1 ? " stage" : " stages");
  out.append(" over ").append(BandText({first.lowerFreq, first.upperFreq}));
  // A transimpedance amplifier's gains are ohms, from its photocurrent, its signal.
  const bool current = first.ampType == AMP_TRANSIMPEDANCE;
  const std::string_view ohms = current ? "ohm" : "";
  if (current)
    out.append(", its signal the first stage's photocurrent");
  else
    out.append(", 0 dB reference ").append(ShownValue(first.refVoltage)).append("V (the first stage's)");
  const std::optional<ChainBreakdown> breakdown = BreakdownChain(chain, weighting);
  for (std::size_t k = 0; k < chain.stages.size(); ++k) {
    const ChainStage& stage = chain.stages[k];
    out.append(kLineEnd).append(StageName(result, k)).append(": gain ").append(ShownValue(stage.gain));
    if (k == 0) out.append(ohms);
    out.append(", ").append(ShownValue(stage.cumulativeGain)).append(ohms).append(" from the chain's input");
    if (breakdown) {
      const ChainStageShare& share = breakdown->stages[k];
      out.append("; ").append(ShownValue(share.total)).append("V at the output, ");
      out.append(ShareText(share.percent)).append(" of the ").append(OutputPower(weighting));
    }
    if (const std::optional<std::string> built = BuiltCircuitLine(stage.inputs)) out.append(kLineEnd).append(*built);
  }
  out.append(kLineEnd).append(FigureLine(result, *figures, weighting, {"output_v", "output_dbu"}));
  out.append(kLineEnd).append(FigureLine(result, *figures, weighting, {"input_v", "ein_dbu"}));
  const FigureCauses causes = CausesOf(result);
  for (const std::string_view key : {"noise_figure_db", "noise_figure_loaded_db"}) {
    if (!HasFigure(causes, key)) continue;
    const StageFigureField& noiseFigure = FieldOf(kStageFigureFields, key);
    const FigureNames names = FigureNamesOf(noiseFigure, causes);
    out.append(kLineEnd).append(names.label).append(" = ");
    out.append(FigureText((*figures).*noiseFigure.member, names.unit, noiseFigure.kind));
  }
  out.append(kLineEnd).append(FigureLine(result, *figures, weighting, {"snr_db"}));
  if (const std::optional<std::string> dominance = DominanceText(result, weighting))
    out.append(kLineEnd).append(*dominance);
  return out;
}

TextTable ChainBreakdownTable(const ChainBreakdown& breakdown, Weighting weighting) {
  TextTable table = BreakdownTable(NoiseBreakdown{}, weighting);
  table.headings.insert(table.headings.begin(), "Stage");
  for (std::size_t k = 0; k < breakdown.stages.size(); ++k) {
    NoiseBreakdown stage;
    stage.contributions = breakdown.stages[k].sources;
    for (std::vector<std::string>& row : BreakdownTable(stage, weighting).rows) {
      row.insert(row.begin(), std::to_string(k + 1));
      table.rows.push_back(std::move(row));
    }
  }
  return table;
}

std::optional<NoiseFigures> FiguresOf(const ChainCalculation& result) { return ChainNoiseFigures(result.chain); }

FigureCauses CausesOf(const ChainCalculation& result) {
  const ChainResult& chain = result.chain;
  FigureCauses causes;
  causes.chain = chain.stages.size() > 1;
  causes.noGain = chain.gain == 0;
  causes.negativePower = HasNegativePower(chain);
  if (!chain.stages.empty()) {
    causes.sourceResistor = chain.stages.front().inputs.sourceResistor;
    causes.en = chain.stages.front().outcome.enCorrected;
    causes.in = chain.stages.front().outcome.inCorrected;
    causes.load = chain.stages.front().inputs.loadResistor.has_value();
    const StageInputs& first = chain.stages.front().inputs;
    causes.current = first.ampType == AMP_TRANSIMPEDANCE;
    causes.responsivity = first.responsivity.has_value();
    if (causes.current) causes.sourceResistor = first.shuntResistance.value_or(0);
  }
  return causes;
}

std::string BuildChainFiguresText(const ChainCalculation& result) {
  const std::optional<NoiseFigures> figures = FiguresOf(result);
  if (!figures) return "No figures: the calculation failed.";
  const StageInputs& first = result.chain.stages.front().inputs;
  return FiguresText(*figures, CausesOf(result), {first.lowerFreq, first.upperFreq});
}

}  // namespace tervane
