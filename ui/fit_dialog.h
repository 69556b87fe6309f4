#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <vector>

#include "measured/noise_fit.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace tervane::ui {

// "Fit": the op amp's figures chosen by their check boxes fitted to the
// measurements, each in the stage it was measured in; the fitted values with
// their standard errors, the residual and whether it converged. "Apply"
// closes the window with the fit, for the caller to put into the form.
class CFitDlg : public QDialog {
 public:
  CFitDlg(QWidget* parent, std::vector<FitMeasurement> measurements);

  // The fit "Apply" closed the window with.
  const std::optional<NoiseFit>& Applied() const { return m_applied; }

 private:
  void OnFit();

  std::vector<FitMeasurement> m_measurements;
  std::array<QCheckBox*, kFitParameterCount> m_chosen{};
  QTableWidget* m_table = nullptr;
  QLabel* m_summary = nullptr;
  QPushButton* m_apply = nullptr;
  std::optional<NoiseFit> m_fit;
  std::optional<NoiseFit> m_applied;
};

}  // namespace tervane::ui
