#pragma once

#include <QWidget>

#include "form/form_calculation.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"

class QComboBox;
class QFormLayout;
class QLabel;

namespace tervane::ui {

// "Breakdown": each source's share of the output noise, largest first, and
// the noise referred to the input with a peak-to-peak estimate whose crest
// factor the user picks, the totals through the results window's weighting,
// and in carry mode what was carried in. A result without a breakdown shows
// one line saying why.
class CBreakdownView : public QWidget {
 public:
  CBreakdownView(const NoiseResult& result, Weighting weighting, QWidget* parent);

  void SetWeighting(Weighting weighting);

 private:
  void AddTable(const NoiseBreakdown& breakdown);
  void AddFigures(const NoiseBreakdown& breakdown);
  void AddRow(QFormLayout* form, const QString& stem, const QString& caption, QWidget* field);
  QLabel* AddFigure(QFormLayout* form, const QString& stem, const QString& caption, const QString& text);
  void OnCrestFactor();

  NoiseResult m_result;
  QComboBox* m_crestFactor = nullptr;
  QLabel* m_peakToPeak = nullptr;
  std::optional<NoiseFigures> m_figures;
  QLabel* m_weightedTotal = nullptr;
  QLabel* m_weightedEin = nullptr;
};

}  // namespace tervane::ui
