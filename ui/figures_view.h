#pragma once

#include <QWidget>

#include <optional>

#include "form/form_calculation.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"
#include "ui/view_commands.h"

class QTableWidget;

namespace tervane::ui {

// "Figures": what goes on a data sheet, read through the weighting the
// results window has chosen: gain, noise figure, noise temperature, the
// optimum source resistance, and the output noise, EIN and SNR. An undefined
// figure is a dash with the reason beside it. "Save As..." writes the table
// as CSV, plain numbers by stable keys; "Copy" copies it as tab-separated
// text. A failed calculation shows one line saying why.
class CFiguresView : public QWidget, public CSavableView {
 public:
  CFiguresView(const NoiseResult& result, Weighting weighting, QWidget* parent);

  void SetWeighting(Weighting weighting);
  void SaveAs() override;

 private:
  NoiseResult m_result;
  std::optional<NoiseFigures> m_figures;
  Weighting m_weighting = Weighting::kNone;
  QTableWidget* m_table = nullptr;
};

}  // namespace tervane::ui
