#pragma once

#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/circuit_options.h"
#include "form/measured_overlay.h"
#include "measured/measured_spectrum.h"

namespace tervane::cli {

// A measured spectrum's files and how they are read, as typed: the same
// unit, columns and referral for every file.
struct MeasuredOptions {
  std::vector<std::string> files;
  CLI::Option* filesOption = nullptr;
  std::string unit = "V/rtHz";
  double rbw = 0;
  CLI::Option* rbwOption = nullptr;
  std::string window;
  CLI::Option* windowOption = nullptr;
  double enbw = 0;
  CLI::Option* enbwOption = nullptr;
  std::string columns;
  CLI::Option* columnsOption = nullptr;
  std::string referred = "output";
};

// --measured FILE (once, or with `many` as often as there are measurements)
// and the options that say how it is read, which need it.
void AddMeasuredOptions(CLI::App& app, MeasuredOptions& options, bool many);

// How the files are read; a unit per bin without --rbw and a window, or a
// bin's options beside a density, is a UsageError.
ReadOptions ReadOptionsOf(const MeasuredOptions& options);

struct NamedSpectrum {
  std::string name;  // UTF-8, as given
  MeasuredSpectrum spectrum;
};

// The measurement at `path`; one that cannot be read is a UsageError
// "NAME:LINE: reason" (without the line where the reason is the whole file's).
NamedSpectrum ReadMeasurement(const std::string& name, const ReadOptions& options);

// The measurement a command compares with: --measured, else the one the
// circuit file keeps, which is only said on `err` where it cannot be read.
std::optional<NamedSpectrum> ChosenMeasurement(const MeasuredOptions& options, const CircuitForm& circuit,
                                               std::ostream& err);

}  // namespace tervane::cli
