// tervane-cli corner: the 1/f corner estimate, as pressing "OK" in the
// "Calculate 1/f Noise Corner" dialog runs it.

#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "cli/text_output.h"
#include "form/calculator_form.h"
#include "form/corner_estimate.h"
#include "notation/cp1252.h"

namespace tervane::cli {
namespace {

const std::map<std::string, int> kModes{
    {"single", CORNER_SINGLE_FREQ},
    {"range", CORNER_THROUGH_RANGE},
};

constexpr const char* kCornerFooter =
    "single: --freq-range is the frequency f, --noise the rms noise density there.\n"
    "range:  --freq-range holds the band edges \"FL FH\", --noise the noise over the\n"
    "        band and a unit word: p-p (taken when none is given) or rms.\n"
    "\n"
    "Output: text  the corner field afterwards, then the line \"Input error\" when\n"
    "              the dialog would show that message\n"
    "        json  {written, corner_freq_after, message}; message is \"Input error\"\n"
    "              or null\n"
    "\n"
    "Exit status: 0 estimated; 1 \"Input error\" is shown (the output is still\n"
    "printed; a value may have been written as well); 2 usage error.";

struct CornerOptions {
  std::string mode;
  std::string freqRange;
  std::string noise;
  std::string noiseVoltage;
  std::string cornerFreq;
  std::string format = "text";
};

int RunCorner(const CornerOptions& options, std::ostream& out) {
  CornerDialogState dialog;
  dialog.m_nSpecifyMode = kModes.at(options.mode);
  dialog.m_strFreqRange = Utf8ToCp1252(options.freqRange);
  dialog.m_strNoise = Utf8ToCp1252(options.noise);

  std::string cornerField = Utf8ToCp1252(options.cornerFreq);
  const CornerEstimate estimate = EstimateCorner(dialog, Utf8ToCp1252(options.noiseVoltage));
  if (estimate.cornerText) cornerField = *estimate.cornerText;

  if (options.format == "json") {
    Json doc = Json::object();
    doc["written"] = estimate.cornerText.has_value();
    doc["corner_freq_after"] = Cp1252ToUtf8(cornerField);
    doc["message"] = estimate.inputError ? Json(std::string(kCornerInputError)) : Json(nullptr);
    WriteJson(out, doc);
  } else {
    WriteTerminalText(out, cornerField);
    if (estimate.inputError) WriteTerminalText(out, kCornerInputError);
  }
  return estimate.inputError ? kExitInputError : kExitOk;
}

Command AddCornerOptions(CLI::App* app) {
  auto options = std::make_shared<CornerOptions>();
  app->footer(kCornerFooter);

  CalculatorForm defaults;
  ApplyFormDefaults(defaults);
  options->noiseVoltage = Cp1252ToUtf8(defaults.m_strNoiseVoltage);
  options->cornerFreq = Cp1252ToUtf8(defaults.m_strCornerFreq);

  app->add_option("--mode", options->mode, "Specify at a single frequency, or through a range")
      ->required()
      ->check(CLI::IsMember({"single", "range"}));
  app->add_option("--freq-range", options->freqRange, "The dialog's Frequency/Range text")
      ->required()
      ->type_name("TEXT");
  app->add_option("--noise", options->noise, "The dialog's Noise text")->required()->type_name("TEXT");
  app->add_option("--noise-voltage,--en", options->noiseVoltage, "The form's Noise Voltage, V/rtHz")
      ->type_name("TEXT")
      ->capture_default_str();
  app->add_option("--corner-freq,--fc", options->cornerFreq,
                  "The form's 1/f Corner Frequency before the estimate, Hz")
      ->type_name("TEXT")
      ->capture_default_str();
  app->add_option("--format", options->format, "Output format: text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();

  return {app, [options](std::ostream& out, std::ostream&) { return RunCorner(*options, out); }};
}

}  // namespace

const CommandEntry kCornerCommand{"corner", "Estimate the op amp's 1/f corner from a datasheet noise figure", AddCornerOptions};

}  // namespace tervane::cli
