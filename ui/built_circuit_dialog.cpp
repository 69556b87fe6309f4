#include "ui/built_circuit_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "form/built_circuit.h"
#include "ui/circuit_picture.h"
#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui_built_circuit_dialog.h"

namespace tervane::ui {

CBuiltCircuitDlg::CBuiltCircuitDlg(QWidget* owner, const CalculatorForm& form)
    : QDialog(owner), m_ui(std::make_unique<Ui::BuiltCircuitDialog>()), m_form(form) {
  m_ui->setupUi(this);
  ConvertDialogUnits(this);
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const FormTextField& field = kBuiltCircuitFields[i];
    m_fields[i] = findChild<QLineEdit*>(FieldEditName(field.key));
    m_fields[i]->setAccessibleName(FieldCaption(field));
    connect(m_fields[i], &QLineEdit::textEdited, this, &CBuiltCircuitDlg::OnEdited);
  }
  for (QLabel* label : findChildren<QLabel*>())
    for (std::size_t i = 0; i < m_fields.size(); ++i)
      if (label->buddy() == m_fields[i]) label->setText(FieldCaption(kBuiltCircuitFields[i]));
  connect(m_ui->okButton, &QPushButton::clicked, this, &CBuiltCircuitDlg::accept);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &CBuiltCircuitDlg::reject);
  RefreshOut();
  ShowStage();
  m_fields[0]->setFocus();
}

CBuiltCircuitDlg::~CBuiltCircuitDlg() = default;

void CBuiltCircuitDlg::RefreshIn() {
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
    m_form.*kBuiltCircuitFields[i].member = ToCp1252(m_fields[i]->text());
}

void CBuiltCircuitDlg::RefreshOut() {
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
    m_fields[i]->setText(FromCp1252(m_form.*kBuiltCircuitFields[i].member));
}

void CBuiltCircuitDlg::OnEdited() {
  RefreshIn();
  ShowStage();
}

// The drawing with the values as typed, and why the calculation will refuse
// a load where the stage has none.
void CBuiltCircuitDlg::ShowStage() {
  ShowBuiltCircuit(m_ui->circuitPicture, m_form);
  StageInputs inputs;
  inputs.ampType = static_cast<AmplifierType>(m_form.m_nAmpType);
  ReadBuiltCircuit(m_form, inputs);
  m_ui->refusalNote->setText(FromCp1252(LoadRefusal(inputs).value_or("")));
}

void CBuiltCircuitDlg::accept() {
  RefreshIn();
  QDialog::accept();
}

}  // namespace tervane::ui
