#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "form/calculator_form.h"

class QIODevice;

namespace tervane::ui {

struct LogLogPlot;

// What the one-page PDF of a calculation shows, top to bottom.
struct PdfPage {
  QString subject;  // before the date: "Part: OP27"
  QString date;
  // A stage's circuit is drawn, its inputs beside it, a caption and a text
  // each, as typed; a chain has no drawing, its inputs are a table across
  // the page, a header row and then a row each.
  std::optional<AmplifierType> type;
  QList<QStringList> inputs;
  QString report;             // its lines
  QList<QStringList> breakdown;  // a header row, then a row per source
  // Figures worked out from the calculation, a header row and then a row
  // each, drawn between the breakdown and the plot; empty, nothing drawn.
  QList<QStringList> figures;
  const LogLogPlot* spectrum = nullptr;  // none: no plot
};

// One page, A4, or Letter where the locale's paper is Letter, every text
// drawn as text (selectable, searchable) and the drawing and the plot as
// lines. False when the device could not be written.
bool WritePdfPage(QIODevice& device, const PdfPage& page);

}  // namespace tervane::ui
