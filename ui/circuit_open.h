#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "form/calculator_form.h"
#include "form/chain_form.h"
#include "form/measured_overlay.h"

class QWidget;

namespace tervane::ui {

// The file dialogs' filters for circuit files, a chain's or a stage's.
QString CircuitFileFilters();

// The stages of the circuit file at `path`, read over `onto` as
// ReadChainFile reads them: one for a file of one stage. A file that
// cannot be opened or read is told in a message (captioned `caption`)
// naming it and saying what is kept (`unchanged`: "The form is
// unchanged."); nothing then. The next file dialog starts where it was.
// The measurement the file keeps, if any, goes to `measurement`, its file
// where it lies (MeasurementPathOf), in UTF-8.
std::optional<std::vector<ChainStageForm>> OpenCircuitFile(QWidget* parent, const QString& caption,
                                                           const QString& path, const CalculatorForm& onto,
                                                           const QString& unchanged,
                                                           std::optional<MeasurementReference>* measurement = nullptr);

}  // namespace tervane::ui
