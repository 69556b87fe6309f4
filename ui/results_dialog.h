#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QPlainTextEdit;

namespace Ui {
class ResultsDialog;
}

namespace tervane::ui {

// "Noise Results": the report in an editable, unwrapped text field that has
// the focus. No buttons: it closes with the close box, Escape or Enter.
class CResultsDlg : public QDialog {
 public:
  explicit CResultsDlg(QWidget* owner);
  ~CResultsDlg() override;

  std::string m_strResults;  // the report, set before the window opens

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnInitDialog();

  std::unique_ptr<Ui::ResultsDialog> m_ui;
  QPlainTextEdit* m_editResults = nullptr;
  bool m_initialised = false;
};

}  // namespace tervane::ui
