#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "form/calculator_form.h"
#include "form/text_table.h"
#include "measured/measured_band.h"
#include "measured/noise_fit.h"

namespace tervane {

// The measurement's total beside the model's, a column per weighting: both
// as rms voltages, and their difference in dB.
TextTable BandComparisonTable(const BandComparison& comparison);

// Said when the measurement spans only part of the stage's band, which is
// then the part both totals are over; nothing when it spans all of it.
std::optional<std::string> PartialBandNote(const BandComparison& comparison, Band band);

// The fitted figures, a row each: its name, its value and its standard
// error (an em dash where the measurements do not fix it).
TextTable FitTable(const NoiseFit& fit);

// The residual's rms, and whether the fit converged or, if not, that its
// values are the best point found.
std::string FitSummary(const NoiseFit& fit);

// Said beside a fitted gain error: it describes the measuring chain, not
// the stage, and no field takes it.
inline constexpr std::string_view kGainNotApplied =
    "The gain error belongs to the measuring chain: \"Apply\" leaves it out.";

// The fitted op amp figures into the fields that hold them, as typing them
// would: en, in and fc into the form's own, fci into the current-noise
// corner of the circuit as built. Figures not fitted, and the gain error,
// leave their fields as they are.
void ApplyFit(CalculatorForm& form, const NoiseFit& fit);

}  // namespace tervane
