#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_calculation.h"
#include "form/text_table.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"

namespace tervane {

// Shown for a figure the inputs leave undefined: an em dash (Windows-1252),
// never a number standing in for infinity or NaN.
inline constexpr std::string_view kUndefinedFigure = "\x97";

// A weighting's names: its key in machine-readable output, its name for
// people, and the word that picks it on the command line.
struct WeightingNames {
  std::string_view key;
  std::string_view label;
  std::string_view option;
};
inline constexpr std::array<WeightingNames, kWeightingCount> kWeightingNames{{
    {"none", "None", "none"},
    {"A", "A", "A"},
    {"ITU-R 468", "ITU-R 468", "468"},
    {"CCIR-ARM", "CCIR-ARM", "ARM"},
    {"RIAA", "RIAA", "RIAA"},
    {"RIAA+A", "RIAA+A", "RIAA+A"},
}};
constexpr const WeightingNames& NamesOf(Weighting weighting) { return kWeightingNames[WeightingIndex(weighting)]; }

// What every reading through the 468 curves needs said beside it.
inline constexpr std::string_view kQuasiPeakNote =
    "The ITU-R 468 and CCIR-ARM readings are rms: the standard's quasi-peak detector is not modelled.";

// How a figure is written: a value in engineering notation, or decibels
// to two decimals (data sheets quote EIN as -129.60 dBu).
enum class FigureKind { kValue, kDecibel };

// What the reason for an empty figure is told from: of a calculated stage
// (CausesOf), or of a chain (its first stage's source and op amp).
struct FigureCauses {
  bool chain = false;  // of a chain of more than one stage, which has no optimum source resistance
  bool noGain = false;
  bool negativePower = false;  // HasNegativePower
  double sourceResistor = 0;   // Rs of the (first) stage
  double en = 0;               // en' and in' of the (first) stage
  double in = 0;
  bool load = false;  // the (first) stage has a load resistor
  // The (first) stage's input is a current, the transimpedance amplifier's
  // photodiode (its sourceResistor is Rsh), and it has a responsivity.
  bool current = false;
  bool responsivity = false;
};
// A figure's machine-readable key, the label people read and its unit.
struct FigureNames {
  std::string_view key;
  std::string_view label;
  std::string_view unit;
};

// The figures of the stage as a whole, and those of each weighting, with
// their names; where the input is a current (the transimpedance amplifier's,
// in A and W where the others say V) those of `ofCurrent`, where it gives
// them.
template <class Figures>
struct FigureField {
  std::string_view key;
  std::string_view label;
  std::string_view unit;
  FigureKind kind;
  std::optional<double> Figures::*member;
  FigureNames ofCurrent{};
};
using StageFigureField = FigureField<NoiseFigures>;
using WeightedFigureField = FigureField<WeightedFigures>;

// The noise figure is IEEE's, of the source impedance alone; where a load
// is given, the active stage's figure takes the source with its load.
inline constexpr std::array<StageFigureField, 7> kStageFigureFields{{
    {"signal_gain", "Signal gain", "", FigureKind::kValue, &NoiseFigures::signalGain,
     {"signal_gain", "Transimpedance", "ohm"}},
    {"gain_db", "Gain", "dB", FigureKind::kDecibel, &NoiseFigures::gainDb, {"gain_db", "Transimpedance", "dBohm"}},
    {"noise_figure_db", "Noise figure (source at 290K)", "dB", FigureKind::kDecibel, &NoiseFigures::noiseFigureDb,
     {"noise_figure_db", "Noise figure (Rsh at 290K)", "dB"}},
    {"noise_temperature_k", "Noise temperature", "K", FigureKind::kValue, &NoiseFigures::noiseTemperatureK},
    {"noise_figure_loaded_db", "Noise figure of the active stage (source with its load at 290K)", "dB",
     FigureKind::kDecibel, &NoiseFigures::noiseFigureLoadedDb},
    {"optimum_source_ohm", "Optimum source resistance en'/in' over the band", "ohm", FigureKind::kValue,
     &NoiseFigures::optimumSourceOhm},
    {"min_noise_figure_db", "Minimum noise figure", "dB", FigureKind::kDecibel, &NoiseFigures::minNoiseFigureDb},
}};

inline constexpr std::array<WeightedFigureField, 9> kWeightedFigureFields{{
    {"output_v", "Output noise", "V", FigureKind::kValue, &WeightedFigures::outputV},
    {"output_dbu", "Output noise", "dBu", FigureKind::kDecibel, &WeightedFigures::outputDbu},
    {"output_dbv", "Output noise", "dBV", FigureKind::kDecibel, &WeightedFigures::outputDbv},
    {"input_v", "EIN", "V", FigureKind::kValue, &WeightedFigures::inputV, {"input_a", "Input current noise", "A"}},
    {"ein_dbu", "EIN", "dBu", FigureKind::kDecibel, &WeightedFigures::einDbu},
    {"ein_dbv", "EIN", "dBV", FigureKind::kDecibel, &WeightedFigures::einDbv},
    {"snr_db", "SNR re the 0 dB reference", "dB", FigureKind::kDecibel, &WeightedFigures::snrDb,
     {"snr_db", "SNR of the photocurrent", "dB"}},
    {"snr_re_4dbu_db", "SNR re +4 dBu", "dB", FigureKind::kDecibel, &WeightedFigures::snrRe4DbuDb},
    {"input_w", "Minimum detectable power", "W", FigureKind::kValue, &WeightedFigures::inputW},
}};

// The names of `field` for the stage that `causes` describe.
template <class Figures>
constexpr FigureNames FigureNamesOf(const FigureField<Figures>& field, const FigureCauses& causes) {
  if (causes.current && !field.ofCurrent.key.empty()) return field.ofCurrent;
  return {field.key, field.label, field.unit};
}

// The figures of a calculation (StageNoiseFigures); nothing for a failed one.
std::optional<NoiseFigures> FiguresOf(const NoiseResult& result);

// "20Hz to 20kHz"
std::string BandText(Band band);

// A figure with its unit ("256.5nV", "-129.60dBu"), or kUndefinedFigure.
std::string FigureText(std::optional<double> value, std::string_view unit, FigureKind kind);

FigureCauses CausesOf(const NoiseResult& result);

// Whether the stage the causes describe has the figure keyed `key`: the
// active stage's noise figure only where a load is given; where the input
// is a current no EIN in dB and no optimum source resistance (a
// photodiode's current is not a voltage behind a resistance to choose),
// and the minimum detectable power there alone, with a responsivity. The
// others are always there, defined or not.
bool HasFigure(const FigureCauses& causes, std::string_view key);

// Why the figure keyed `key` is empty, its cause named: a negative noise
// power, no source resistance, no current noise, no gain, no noise through
// the weighting (`weighted`, the figures of the weighting the key is read
// through), a chain's figure of one op amp, and only otherwise "not finite".
std::string_view UndefinedReason(const FigureCauses& causes, const WeightedFigures& weighted, std::string_view key);
inline std::string_view UndefinedReason(const NoiseResult& result, const WeightedFigures& weighted,
                                        std::string_view key) {
  return UndefinedReason(CausesOf(result), weighted, key);
}

// The Figures view: the stage's figures, then those of `weighting`, a row
// each of label, value and why it is undefined (empty for a figure that is
// there).
TextTable FigureTable(const FigureCauses& causes, const NoiseFigures& figures, Weighting weighting);
inline TextTable FigureTable(const NoiseResult& result, const NoiseFigures& figures, Weighting weighting) {
  return FigureTable(CausesOf(result), figures, weighting);
}

// The figures as text: those of the stage a line each, then a table of
// every weighting's over `band`, the `note` where there is one, and the
// quasi-peak note. Windows-1252, CR LF line ends.
std::string FiguresText(const NoiseFigures& figures, const FigureCauses& causes, Band band,
                        const std::optional<std::string>& note = std::nullopt);

// The figures of a calculation to follow its report: FiguresText with the
// carried noise's note in carry mode.
std::string BuildFiguresText(const NoiseResult& result);

// In carry mode, what was carried in and how it was scaled to this stage's
// output, in one sentence; nothing otherwise or for a failed calculation.
std::optional<std::string> CarryNote(const NoiseResult& result);

}  // namespace tervane
