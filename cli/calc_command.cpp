// tervane-cli calc: one calculation, as "Calculate" or "Calc w/Carry" runs it
// on a form that starts at the defaults.

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "cli/breakdown_output.h"
#include "cli/circuit_options.h"
#include "cli/command.h"
#include "cli/measured_options.h"
#include "cli/text_output.h"
#include "form/built_circuit.h"
#include "form/calculator_form.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "form/measured_overlay.h"
#include "form/noise_report.h"
#include "form/write_back.h"
#include "noise/noise_breakdown.h"
#include "noise/transimpedance.h"
#include "notation/cp1252.h"

namespace tervane::cli {
namespace {

constexpr const char* kCalcFooter =
    "Field values are taken verbatim, exactly as typed into the form (engineering\n"
    "notation: 4.7k, 3n, 400f; u, the micro sign or the Greek mu for micro). A value\n"
    "that begins with '-', a negative number too, is written --option=VALUE\n"
    "(--fc=-1); --option= gives an empty field, which reads as 0, but for the\n"
    "circuit as built (--ls --rload --cload --cf --gbw --fci --rb --cb\n"
    "--in-correlation, and each resistor's --ni-R --vdc-R): there it is absent.\n"
    "--rb cancel sets Rb to the value that cancels the bias currents' offsets\n"
    "(inverting (Rs + R1) || R2; non-inverting R1 || R2 - Rs || Rload; buffer\n"
    "R2 - Rs || Rload; never below 0). A resistor's excess noise takes its noise\n"
    "index and its DC voltage both (--ni-r1=-20 --vdc-r1 10), or neither.\n"
    "--part fills --en --in --fc, and --gbw --fci --in-correlation --ccm --cdiff\n"
    "with what its line gives (empty when it gives none).\n"
    "--type transimpedance is a photodiode into Rf || Cf (--r2, --cf): its current\n"
    "source with --rsh --cd from the - input to ground, --id --iph its shot noise\n"
    "(--iph also its signal), --responsivity its light, --ccm --cdiff the op amp's\n"
    "input capacitances; it reads neither --rs nor --r1, refuses --ls --rload\n"
    "--cload and --with-carry (its input is a current), and has no 0 dB reference.\n"
    "--cf-for-q sets --cf for the loop's Q = 0.707, as the desktop's button does.\n"
    "--parts is read only when --part is given, or when the --circuit file names a\n"
    "part: the report names it when the library has it, with the file's figures.\n"
    "--circuit starts from a circuit file the desktop saved (README, \"Circuit\n"
    "files\"); --type, --part, the field options and --no-corner-current override it.\n"
    "\n"
    "Formats: text  the report, UTF-8, one line per line of the report\n"
    "         raw   the report's exact bytes: Windows-1252, CR LF line ends, no line\n"
    "               end after the gain\n"
    "         json  {error, report, fields_after, prev_band_after, reduced, values,\n"
    "               contributions, figures[, inputs]}; values holds T_K F G Sn\n"
    "               Vn_own Vn SNR, null where not computed or not finite; reduced\n"
    "               is whether the report shows the carry reduction line;\n"
    "               fields_after holds a field of the circuit as built when its\n"
    "               text is not empty; inputs, only when a part of the circuit as\n"
    "               built is given, holds source_inductance load_resistor\n"
    "               load_capacitor feedback_capacitor gain_bandwidth\n"
    "               current_corner as read (H, ohms, F, F, Hz, Hz), null where\n"
    "               absent, then bias_resistor bias_capacitor in_correlation and\n"
    "               each resistor's noise_index_R dc_volts_R (dB, V) where given,\n"
    "               and G is then the gain at 1 kHz (the transimpedance, ohms,\n"
    "               of a TIA);\n"
    "               transimpedance, a TIA's alone: {transimpedance_ohm (at DC),\n"
    "               bandwidth_hz (-3 dB), q, phase_margin_deg, centre_hz,\n"
    "               input_density (A/rtHz at centre_hz), input_rms (A),\n"
    "               nep (W/rtHz), min_power (W)}, null where not given\n"
    "--figures appends the data-sheet figures to a text or raw report.\n"
    "--measured FILE (or a --circuit file that keeps a measurement; the unit\n"
    "options are spectrum's) appends the measurement's total over the part of the\n"
    "band it spans beside the model's over that part, each weighting, and their\n"
    "difference in dB (json: measured {band [fL, fH], weighted {key: {measured_v,\n"
    "model_v, difference_db}}}, null where the measurement spans none of the band).\n"
    "\n"
    "contributions (json): each source's share of the output noise, largest first:\n"
    "  sources  [{source, label, density V/rtHz, total V, percent of the power}],\n"
    "           source one of en r1 r2 in_r2 rs in_rs, rload rb in_rb in_corr and\n"
    "           excess_r1 excess_r2 excess_rs excess_rload excess_rb where given,\n"
    "           and carried with --with-carry; a source the amplifier type lacks is\n"
    "           left out (r1 in the buffer, in_rs in the inverting stage); each at\n"
    "           its band-average density, carried at the flat density of its total;\n"
    "           in_corr, the inputs' correlated current noise, is negative where\n"
    "           it takes power away: density and total -sqrt(-power), percent\n"
    "           negative, the others' then adding up to more than 100\n"
    "  input_referred  the output total (with the carry) over the gain, V; a TIA's\n"
    "                  input current over the band, A\n"
    "  input_density   input_referred over the root of the band, V/rtHz (A/rtHz)\n"
    "  peak_to_peak    the output total times crest_factor, V\n"
    "null when the calculation fails or a noise power other than in_corr is\n"
    "negative (a negative resistor, temperature or corner).\n"
    "\n"
    "figures (json): signal_gain, gain_db, noise_figure_db (IEEE, the source\n"
    "impedance alone at 290 K: a load resistor is the stage's noise),\n"
    "noise_temperature_k, noise_figure_loaded_db (where a load is given: the\n"
    "source with its load at 290 K), optimum_source_ohm (en'/in', the rms\n"
    "densities over the band, as rank's R_opt), min_noise_figure_db,\n"
    "and weighted: {none, A, ITU-R 468, CCIR-ARM, RIAA, RIAA+A}, each {output_v,\n"
    "output_dbu, output_dbv, input_v, ein_dbu, ein_dbv, snr_db, snr_re_4dbu_db};\n"
    "EIN is the output noise over the signal gain, the carried noise included;\n"
    "a TIA's figures are in ohms, A and W: signal_gain its transimpedance (ohm),\n"
    "gain_db in dBohm, input_a its input current in place of input_v, input_w the\n"
    "minimum detectable power (W, with a responsivity), snr_db the photocurrent's,\n"
    "the noise figure Rsh's, and no ein_dbu, ein_dbv, optimum_source_ohm or\n"
    "min_noise_figure_db;\n"
    "null where a figure is undefined (no noise figure when Rs is 0, no optimum\n"
    "when in is 0, only the gains when a noise power is negative), and as a whole\n"
    "when the calculation fails. The 468 readings are rms.\n"
    "\n"
    "Exit status: 0 calculated; 1 the report is \"error, check inputs for\n"
    "consistency\" (the output is still printed; the form keeps its text);\n"
    "2 usage error.";

struct CalcOptions {
  CircuitOptions circuit;
  MeasuredOptions measured;
  double crestFactor = kDefaultCrestFactor;
  std::string format = "text";
  bool figures = false;
};

Json TransimpedanceJson(const TransimpedanceFigures& f) {
  const std::optional<TransimpedanceLoop>& loop = f.loop;
  Json tia = Json::object();
  tia["transimpedance_ohm"] = NumberOrNull(f.dcTransimpedance);
  tia["bandwidth_hz"] = NumberOrNull(loop ? loop->bandwidth : std::nullopt);
  tia["q"] = NumberOrNull(loop ? loop->q : std::nullopt);
  tia["phase_margin_deg"] = NumberOrNull(loop ? loop->phaseMarginDegrees : std::nullopt);
  tia["centre_hz"] = NumberOrNull(f.centre);
  tia["input_density"] = NumberOrNull(f.inputDensity);
  tia["input_rms"] = NumberOrNull(f.inputNoise);
  tia["nep"] = NumberOrNull(f.nep);
  tia["min_power"] = NumberOrNull(f.minimumPower);
  return tia;
}

Json CalcJson(const CalculatorForm& form, const NoiseResult& result, const std::string& report,
              double crestFactor) {
  Json fields = Json::object();
  for (const auto& field : kFormTextFields)
    fields[std::string(field.key)] = Cp1252ToUtf8(form.*field.member);
  for (const auto& field : kBuiltCircuitFields)
    if (!(form.*field.member).empty()) fields[std::string(field.key)] = Cp1252ToUtf8(form.*field.member);

  Json prevBand = nullptr;
  if (form.m_bHavePrevBand) prevBand = Json::array({form.m_dPrevLowerFreq, form.m_dPrevUpperFreq});

  Json values = Json::object();
  values["T_K"] = NumberOrNull(result.temperature.kelvin);
  values["F"] = NumberOrNull(result.outcome.flicker);
  values["G"] = NumberOrNull(result.outcome.gain);
  values["Sn"] = NumberOrNull(result.outcome.outputDensity);
  values["Vn_own"] = NumberOrNull(result.outcome.ownNoise);
  values["Vn"] = NumberOrNull(result.outcome.totalNoise);
  values["SNR"] = NumberOrNull(result.outcome.snr);

  Json doc = Json::object();
  doc["error"] = result.outcome.failure.has_value();
  doc["report"] = Cp1252ToUtf8(report);
  doc["fields_after"] = std::move(fields);
  doc["prev_band_after"] = std::move(prevBand);
  doc["reduced"] = !result.outcome.failure && result.outcome.reduced;
  doc["values"] = std::move(values);
  doc["contributions"] = ContributionsJson(result, crestFactor);
  doc["figures"] = FiguresJson(result);
  if (const std::optional<TransimpedanceFigures> tia = TransimpedanceFiguresOf(result.inputs, result.outcome))
    doc["transimpedance"] = TransimpedanceJson(*tia);
  if (HasBuiltCircuit(result.inputs)) {
    // The source, load, Cf and op amp always, null where absent; the bias
    // resistor, the correlation and the excess noise where given.
    constexpr std::size_t kAlwaysEchoed = 6;
    Json inputs = Json::object();
    for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
      if (const std::optional<double> value = BuiltCircuitValue(result.inputs, i); i < kAlwaysEchoed || value)
        inputs[std::string(kBuiltCircuitFields[i].key)] = NumberOrNull(value);
    doc["inputs"] = std::move(inputs);
  }
  return doc;
}

Json ComparisonJson(const std::optional<BandComparison>& comparison) {
  if (!comparison) return nullptr;
  Json weighted = Json::object();
  for (const Weighting w : kWeightings) {
    const std::size_t i = WeightingIndex(w);
    weighted[std::string(NamesOf(w).key)] = {{"measured_v", NumberOrNull(std::sqrt(comparison->measured.power[i]))},
                                             {"model_v", NumberOrNull(std::sqrt(comparison->model[i]))},
                                             {"difference_db", NumberOrNull(comparison->differenceDb[i])}};
  }
  const Band& band = comparison->measured.covered;
  return {{"band", Json::array({band.lower, band.upper})}, {"weighted", std::move(weighted)}};
}

int RunCalc(const CalcOptions& options, std::ostream& out, std::ostream& err) {
  CircuitForm circuit = BuildCircuitForm(options.circuit);
  const std::optional<NamedSpectrum> measured = ChosenMeasurement(options.measured, circuit, err);
  CalculatorForm& form = circuit.form;
  const NoiseResult result = ComputeNoise(form);
  std::string report = BuildNoiseReport(result, circuit.partName);
  WriteBackResults(form, result);
  std::optional<BandComparison> comparison;
  if (measured && !result.outcome.failure) comparison = CompareOverBand(measured->spectrum, result.inputs);

  if (options.figures && options.format != "json") report.append("\r\n\r\n").append(BuildFiguresText(result));
  if (measured && !result.outcome.failure && options.format != "json")
    report.append("\r\n\r\n").append(BandComparisonText(comparison));
  if (options.format == "raw")
    out << report;
  else if (options.format == "json") {
    Json doc = CalcJson(form, result, report, options.crestFactor);
    if (measured) doc["measured"] = ComparisonJson(comparison);
    WriteJson(out, doc);
  } else {
    WriteTerminalText(out, report);
  }
  NoteRefusal(result, err);
  return result.outcome.failure ? kExitInputError : kExitOk;
}

Command AddCalcOptions(CLI::App* app) {
  auto options = std::make_shared<CalcOptions>();
  app->footer(kCalcFooter);

  AddCircuitOptions(*app, options->circuit, PartUse::kSelectOne);
  AddCrestFactorOption(*app, options->crestFactor);
  app->add_option("--format", options->format, "Output format: text, raw or json")
      ->check(CLI::IsMember({"text", "raw", "json"}))
      ->capture_default_str();
  app->add_flag("--figures", options->figures,
                "After the report: gain, noise figure, EIN and SNR, flat and A-, ITU-R 468-, CCIR-ARM-, RIAA- and "
                "RIAA+A-weighted");
  AddMeasuredOptions(*app, options->measured, false);

  return {app, [options](std::ostream& out, std::ostream& err) { return RunCalc(*options, out, err); }};
}

}  // namespace

const CommandEntry kCalcCommand{"calc", "One noise calculation, from a form that starts at the defaults", AddCalcOptions};

}  // namespace tervane::cli
