#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

#include "form/chain_form.h"
#include "form/form_calculation.h"
#include "form/text_table.h"
#include "noise/noise_figures.h"
#include "noise/weighting.h"
#include "ui/view_commands.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QTableWidget;

namespace tervane::ui {

// "Breakdown": each source's share of the output noise, largest first, its
// total and share read through the results window's weighting, and the
// noise referred to the input, the weighted totals, and in carry mode what
// was carried in. A stage's has a peak-to-peak estimate whose crest factor
// the user picks; a chain's groups the sources by stage and says under the
// figures which stage sets the noise floor, through the weighting. A result
// without a breakdown shows one line saying why. "Save As..." writes the
// table as shown as CSV.
class CBreakdownView : public QWidget, public CSavableView {
 public:
  CBreakdownView(const NoiseResult& result, Weighting weighting, QWidget* parent);
  CBreakdownView(const ChainCalculation& result, Weighting weighting, QWidget* parent);
  void SaveAs() override;

  void SetWeighting(Weighting weighting);

 private:
  // What the view shows through one weighting: the table, what "Save As..."
  // writes (empty: nothing), the note under the figures and the one under
  // the table where a row takes power away (empty: none).
  struct Weighted {
    TextTable table;
    std::string csv;
    std::string note;
    std::string negative;
  };
  // The unweighted totals under the table.
  struct Totals {
    double output = 0;
    double inputReferred = 0;
    double inputDensity = 0;
    bool current = false;  // the input is a current (the transimpedance amplifier's): A, not V
  };

  void Build(const Totals& totals, const char* noteName, Weighting weighting);
  void AddTable();
  void AddFigures(const Totals& totals);
  void AddRow(QFormLayout* form, const QString& stem, const QString& caption, QWidget* field);
  QLabel* AddFigure(QFormLayout* form, const QString& stem, const QString& caption, const QString& text);
  void AddCrestFactor(QFormLayout* form);
  void OnCrestFactor();

  std::function<Weighted(Weighting)> m_weigh;
  std::function<double(double)> m_peakToPeak;  // V, of a crest factor; none for a chain
  std::optional<NoiseFigures> m_figures;
  Weighted m_weighted;  // through m_weighting
  Weighting m_weighting = Weighting::kNone;
  QTableWidget* m_table = nullptr;
  QLabel* m_negativeNote = nullptr;  // under the table where a row takes power away
  QComboBox* m_crestFactor = nullptr;
  QLabel* m_peakToPeakValue = nullptr;
  QLabel* m_weightedTotal = nullptr;
  QLabel* m_weightedEin = nullptr;
  bool m_current = false;  // Totals::current
  QLabel* m_note = nullptr;
};

}  // namespace tervane::ui
