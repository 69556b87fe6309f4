#pragma once

#include <QDialog>

#include <memory>

#include "form/corner_estimate.h"

class QButtonGroup;
class QLineEdit;

namespace Ui {
class CornerDialog;
}

namespace tervane::ui {

// "Calculate 1/f Noise Corner": the mode and the two texts the estimate is
// made from. It only collects them; the caller estimates after "OK".
class CCornerDlg : public QDialog {
 public:
  explicit CCornerDlg(QWidget* owner);
  ~CCornerDlg() override;

  // The mode and texts as they were when "OK" closed the dialog.
  const CornerDialogState& State() const { return m_state; }

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RefreshIn();
  void RefreshOut();
  void OnInitDialog();
  void OnSpecifySingleFreq();
  void OnSpecifyThroughRange();
  void OnSetfocusFreqRange();
  void OnSetfocusNoise();

  std::unique_ptr<Ui::CornerDialog> m_ui;
  QButtonGroup* m_modeGroup = nullptr;
  CornerDialogState m_state;
};

}  // namespace tervane::ui
