#pragma once

#include <CLI/CLI.hpp>

#include "cli/text_output.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"

namespace tervane::cli {

// --crest-factor: peak-to-peak per rms for the breakdown's peak-to-peak
// estimate; `factor` keeps its default when the option is not given.
void AddCrestFactorOption(CLI::App& app, double& factor);

// [{source, label, density, total, percent}]
Json SourcesJson(const std::vector<NoiseContribution>& rows);

// {sources: [{source, label, density, total, percent}], input_referred,
// input_density, crest_factor, peak_to_peak}, or null when the calculation
// has no breakdown (an error result, or a negative noise power).
Json ContributionsJson(const NoiseResult& result, double crestFactor);

// {signal_gain, gain_db, noise_figure_db, noise_temperature_k,
// noise_figure_loaded_db (where a load is given), optimum_source_ohm,
// min_noise_figure_db, weighted: {none, A, ITU-R 468, CCIR-ARM: {output_v,
// ...}}}, null where a figure is undefined; null as a whole for a failed
// calculation.
Json FiguresJson(const std::optional<NoiseFigures>& figures, const FigureCauses& causes);
inline Json FiguresJson(const NoiseResult& result) { return FiguresJson(FiguresOf(result), CausesOf(result)); }

}  // namespace tervane::cli
