#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "noise/weighting.h"
#include "parts/part_library.h"
#include "ui/view_commands.h"

class QPushButton;
class QTableView;

namespace tervane::ui {

class CRankingModel;

// "Comparison": every part of the library in the circuit as it stands,
// quietest total noise first, read through the results window's weighting. Choosing a row (double-click, Enter or
// "Select Part") hands its name to `choose`. A failed calculation or an
// empty library shows one line saying why. "Save As..." writes the ranking
// as CSV.
class CComparisonView : public QWidget, public CSavableView {
 public:
  using ChoosePart = std::function<void(const std::string& name)>;  // Windows-1252, as the list has it

  // `library` must outlive the view: the parts are calculated when the view
  // is first shown, since a large library takes a moment that a user who
  // never looks should not wait.
  CComparisonView(const NoiseResult& result, const CalculatorForm& form, const PartLibrary& library,
                  Weighting weighting, ChoosePart choose, QWidget* parent);

  void SaveAs() override;

  // Ranks again, now if the parts have been calculated, else when shown.
  void SetWeighting(Weighting weighting);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Rank();  // the first time the parts are needed
  void OnChoose(int row);
  void OnCurrentRowChanged();

  CalculatorForm m_form;
  const PartLibrary& m_library;
  ChoosePart m_choose;
  Weighting m_weighting;
  CRankingModel* m_model = nullptr;
  QTableView* m_table = nullptr;
  QPushButton* m_selectButton = nullptr;
};

}  // namespace tervane::ui
