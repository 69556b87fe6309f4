#pragma once

#include <QWidget>

#include <optional>

#include "form/form_calculation.h"
#include "noise/noise_breakdown.h"
#include "ui/view_commands.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QTableWidget;

namespace tervane::ui {

// "Breakdown": each source's share of the output noise, largest first, its
// total and share read through the results window's weighting, and the
// noise referred to the input with a peak-to-peak estimate whose crest
// factor the user picks, the weighted totals, and in carry mode what was
// carried in. A result without a breakdown shows one line saying why.
// "Save As..." writes the table as shown as CSV.
class CBreakdownView : public QWidget, public CSavableView {
 public:
  CBreakdownView(const NoiseResult& result, Weighting weighting, QWidget* parent);
  void SaveAs() override;

  void SetWeighting(Weighting weighting);

 private:
  void AddTable();
  void AddFigures(const NoiseBreakdown& breakdown);
  void AddRow(QFormLayout* form, const QString& stem, const QString& caption, QWidget* field);
  QLabel* AddFigure(QFormLayout* form, const QString& stem, const QString& caption, const QString& text);
  void OnCrestFactor();

  NoiseResult m_result;
  std::optional<NoiseBreakdown> m_breakdown;
  Weighting m_weighting = Weighting::kNone;
  std::optional<NoiseBreakdown> m_weighted;  // m_breakdown through m_weighting
  QTableWidget* m_table = nullptr;
  QLabel* m_negativeNote = nullptr;  // under the table where a row takes power away
  QComboBox* m_crestFactor = nullptr;
  QLabel* m_peakToPeak = nullptr;
  std::optional<NoiseFigures> m_figures;
  QLabel* m_weightedTotal = nullptr;
  QLabel* m_weightedEin = nullptr;
};

}  // namespace tervane::ui
