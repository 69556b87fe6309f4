#pragma once

#include <QDialog>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "form/calculator_form.h"

class QComboBox;
class QLineEdit;

namespace Ui {
class BuiltCircuitDialog;
}

namespace tervane::ui {

// "Source & Bandwidth": the fields of the circuit as it is built, beside a
// drawing of the stage that shows the values as they are typed, those the
// stage's type does not read greyed; a button that sets Rb to the value
// that cancels the bias currents, one that sets the transimpedance
// amplifier's Cf for Q = 0.707, and for each resistor's excess noise a kind
// that fills in its noise index. Each field
// says what it will be read as, as the main window's do. It only collects
// the texts; the caller takes them after "OK", which a resistor's excess
// noise given by halves or a part no circuit has (PartRefusal) does not
// close.
class CBuiltCircuitDlg : public QDialog {
 public:
  // `form` is the main window's, its texts read in: the drawing's stage, and
  // the texts the fields start from.
  CBuiltCircuitDlg(QWidget* owner, const CalculatorForm& form);
  ~CBuiltCircuitDlg() override;

  // The form with the fields as they were when "OK" closed the dialog.
  const CalculatorForm& Form() const { return m_form; }

  void accept() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RefreshIn();
  void RefreshOut();
  void OnEdited();
  void OnCancelBias();
  void OnCfForQ();
  void OnKind(std::size_t resistor, int index);
  void ShowKinds();
  void ShowStage();
  StageInputs ReadStage() const;  // the whole stage, the main window's fields with these
  // Why "OK" does not close: half a resistor's excess noise, a part no
  // circuit has, or excess noise of a resistor the stage lacks, in the
  // words the command line uses; none when it closes.
  std::optional<std::string> Refusal() const;

  std::unique_ptr<Ui::BuiltCircuitDialog> m_ui;
  std::array<QLineEdit*, kBuiltCircuitFields.size()> m_fields{};  // in kBuiltCircuitFields order
  std::array<QComboBox*, kExcessNoiseFields.size()> m_kinds{};    // in kExcessNoiseFields order
  CalculatorForm m_form;
};

}  // namespace tervane::ui
