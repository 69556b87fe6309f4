#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <vector>

#include "form/form_calculation.h"
#include "measured/noise_fit.h"
#include "ui/measurement_dialog.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tervane::ui {

// "Fit": the op amp's figures chosen by their check boxes fitted to the
// measurements, each in the stage it was measured in; the fitted values with
// their standard errors, the residual and whether it converged. "Apply"
// closes the window with the fit, for the caller to put into the form.
// The first measurement is the spectrum's, in the stage as calculated; "Add
// Measurement..." adds more of the same op amp, each at the source resistor
// it was taken with. Those live as long as the window: nothing keeps them.
class CFitDlg : public QDialog {
 public:
  CFitDlg(QWidget* parent, const Measurement& first, const NoiseResult& stage);

  // The fit "Apply" closed the window with.
  const std::optional<NoiseFit>& Applied() const { return m_applied; }

 private:
  void OnFit();
  void OnAddMeasurement();
  void OnRemoveMeasurement();
  void AddToList(const std::string& file, double sourceResistor);
  void ForgetFit();

  NoiseResult m_stage;  // the first measurement's
  std::vector<FitMeasurement> m_measurements;
  QListWidget* m_list = nullptr;
  QPushButton* m_remove = nullptr;
  std::array<QCheckBox*, kFitParameterCount> m_chosen{};
  QTableWidget* m_table = nullptr;
  QLabel* m_summary = nullptr;
  QPushButton* m_apply = nullptr;
  std::optional<NoiseFit> m_fit;
  std::optional<NoiseFit> m_applied;
};

}  // namespace tervane::ui
