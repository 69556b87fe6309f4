// tervane-cli spectrum: the output noise density against frequency, in total
// and of each source, as CSV.

#include <cstddef>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/circuit_options.h"
#include "cli/command.h"
#include "cli/measured_options.h"
#include "cli/option_checks.h"
#include "cli/text_output.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "form/result_csv.h"
#include "noise/noise_spectrum.h"
#include "notation/cp1252.h"

namespace tervane::cli {
namespace {

constexpr const char* kSpectrumFooter =
    "The circuit options are calc's. Output: CSV, a header line, then one line per\n"
    "frequency, --points of them log-spaced from a decade below the band to a decade\n"
    "above it (fL/10 to 10 fH): frequency (Hz), the total output noise density and\n"
    "each source's (V/rtHz): en, r1, r2, in_r2, rs, in_rs, less the ones the\n"
    "amplifier type lacks (r1 in the buffer, in_rs in the inverting stage), then\n"
    "those of calc's contributions the circuit as built gives (rload, rb, in_rb,\n"
    "in_corr, excess_r1 ...): in_corr is -sqrt(-power) where it takes power away;\n"
    "a resistor's excess noise falls as 1/f.\n"
    "The voltage noise rises as en^2 (1 + fc/f) below the corner, the current noise\n"
    "too unless --no-corner-current; the resistors are flat. Under --with-carry a\n"
    "last column, carried, holds the carried noise at a flat density over the\n"
    "previous band's overlap with this band, and the total includes it. Over the\n"
    "band the total's power adds up to calc's total noise (with the carry).\n"
    "\n"
    "With --measured (or a --circuit file that keeps a measurement) the lines are\n"
    "the measurement's own frequencies, the model's columns there (empty where it\n"
    "has none), then measured (V/rtHz at the output), predicted (the total) and\n"
    "ratio_db, 20 log10(measured/predicted); --points is not read. The file:\n"
    "text columns (comma, semicolon, tab or blanks), a header line and '#' or '*'\n"
    "comments skipped; --unit V/rtHz nV/rtHz dBV/rtHz V2/Hz, or per bin Vbin\n"
    "dBVbin (V rms in a bin) with --rbw and --window (rect 1, hann 1.5, bh4 2.004,\n"
    "flattop 3.77 bins) or --enbw; --columns F,N by number or header name where\n"
    "there are more than two. --referred input: the file is at the input and\n"
    "taken to the output through the gain. calc --measured gives the band totals.\n"
    "A file that cannot be read is a usage error, \"FILE:LINE: reason\"; a circuit\n"
    "file's measurement that cannot be read is said on stderr and left out.\n"
    "\n"
    "Exit status: 0 done; 1 no spectrum: the output is the line \"error, check\n"
    "inputs for consistency\" when the calculation fails, otherwise a line that\n"
    "says why (a negative noise power, from a negative resistor, temperature or\n"
    "corner; a decade beyond the band, or the 1/f rise, beyond the numbers a\n"
    "double holds); 2 usage error.";

constexpr std::size_t kDefaultPoints = 101;  // 20 a decade over the 20 Hz..20 kHz band's five
constexpr std::size_t kMostPoints = 100000;

struct SpectrumOptions {
  CircuitOptions circuit;
  MeasuredOptions measured;
  std::size_t points = kDefaultPoints;
};

int WriteOverlay(const NoiseResult& result, const NamedSpectrum& measured, std::ostream& out, std::ostream& err) {
  const std::optional<std::vector<OverlayPoint>> overlay = OverlayOf(result, measured.spectrum);
  if (overlay) {
    out << Cp1252ToPrintableUtf8(OverlayCsv(*overlay, result));
    return kExitOk;
  }
  if (result.outcome.failure)
    WriteTerminalText(out, SpectrumFaultText(SpectrumFault::kCalculationFailed));
  else
    out << "No spectrum: the measurement is referred to the input, and the stage has no gain at its frequencies to "
           "take it to the output\n";
  NoteRefusal(result, err);
  return kExitInputError;
}

int RunSpectrum(const SpectrumOptions& options, std::ostream& out, std::ostream& err) {
  const CircuitForm circuit = BuildCircuitForm(options.circuit);
  const std::optional<NamedSpectrum> measured = ChosenMeasurement(options.measured, circuit, err);
  const NoiseResult result = ComputeNoise(circuit.form);
  if (measured) return WriteOverlay(result, *measured, out, err);
  const std::optional<std::vector<SpectrumPoint>> spectrum = NoiseSpectrum(result, options.points);
  if (!spectrum) {
    WriteTerminalText(out,
                      SpectrumFaultText(SpectrumFaultOf(result, options.points).value_or(SpectrumFault::kCalculationFailed)));
    NoteRefusal(result, err);
    return kExitInputError;
  }
  out << Cp1252ToPrintableUtf8(SpectrumCsv(*spectrum, result));
  return kExitOk;
}

Command AddSpectrumOptions(CLI::App* app) {
  auto options = std::make_shared<SpectrumOptions>();
  app->footer(kSpectrumFooter);
  AddCircuitOptions(*app, options->circuit, PartUse::kSelectOne);
  app->add_option("--points", options->points, "Number of frequencies, both ends of the range included")
      ->check(NumberInRange(2, kMostPoints, true))
      ->capture_default_str();
  AddMeasuredOptions(*app, options->measured, false);
  return {app, [options](std::ostream& out, std::ostream& err) { return RunSpectrum(*options, out, err); }};
}

}  // namespace

const CommandEntry kSpectrumCommand{"spectrum", "Output noise density against frequency, as CSV", AddSpectrumOptions};

}  // namespace tervane::cli
