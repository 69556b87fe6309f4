#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "form/chain_form.h"
#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"
#include "ui/view_commands.h"

class QTableWidget;

namespace tervane::ui {

// "Figures": what goes on a data sheet, read through the weighting the
// results window has chosen: gain, noise figure, noise temperature, the
// optimum source resistance, and the output noise, EIN and SNR, of a stage
// or of a chain. An undefined figure is a dash with the reason beside it.
// "Save As..." writes the table as CSV, plain numbers by stable keys;
// "Copy" copies it as tab-separated text. A failed calculation shows one
// line saying why.
class CFiguresView : public QWidget, public CSavableView {
 public:
  CFiguresView(const NoiseResult& result, Weighting weighting, QWidget* parent);
  CFiguresView(const ChainCalculation& result, Weighting weighting, QWidget* parent);

  void SetWeighting(Weighting weighting);
  void SaveAs() override;

 private:
  // `note` goes under the table, before the quasi-peak note.
  CFiguresView(const FigureCauses& causes, const std::optional<NoiseFigures>& figures,
               const std::optional<std::string>& note, Weighting weighting, QWidget* parent);

  FigureCauses m_causes;
  std::optional<NoiseFigures> m_figures;
  Weighting m_weighting = Weighting::kNone;
  QTableWidget* m_table = nullptr;
};

}  // namespace tervane::ui
