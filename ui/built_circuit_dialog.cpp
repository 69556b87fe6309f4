#include "ui/built_circuit_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "form/built_circuit.h"
#include "form/form_calculation.h"
#include "ui/circuit_picture.h"
#include "ui/qt_text.h"
#include "ui/reading_notes.h"
#include "ui_built_circuit_dialog.h"

namespace tervane::ui {
namespace {

constexpr int kFieldChars = 12;  // the main window's fields are 50 dialog units, 12.5 characters
constexpr int kNoteLines = 2;

}  // namespace

CBuiltCircuitDlg::CBuiltCircuitDlg(QWidget* owner, const CalculatorForm& form)
    : QDialog(owner), m_ui(std::make_unique<Ui::BuiltCircuitDialog>()), m_form(form) {
  m_ui->setupUi(this);
  // As wide as the main window's fields, whatever the font; the notes keep
  // their lines, so that the dialog does not jump as they come and go.
  const int fieldWidth = kFieldChars * fontMetrics().averageCharWidth();
  for (QLabel* note : {m_ui->refusalNote, m_ui->readingNotes})
    note->setMinimumHeight(kNoteLines * fontMetrics().lineSpacing());
  for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i) {
    const FormTextField& field = kBuiltCircuitFields[i];
    m_fields[i] = findChild<QLineEdit*>(FieldEditName(field.key));
    m_fields[i]->setAccessibleName(FieldCaption(field));
    m_fields[i]->setFixedWidth(fieldWidth);
    connect(m_fields[i], &QLineEdit::textEdited, this, &CBuiltCircuitDlg::OnEdited);
  }
  for (QLabel* label : findChildren<QLabel*>())
    for (std::size_t i = 0; i < m_fields.size(); ++i)
      if (label->buddy() == m_fields[i]) label->setText(FieldCaption(kBuiltCircuitFields[i]));
  for (std::size_t r = 0; r < m_kinds.size(); ++r) {
    const QString resistor = FromCp1252(kExcessNoiseFields[r].resistor);
    m_kinds[r] = findChild<QComboBox*>(resistor.toLower() + QStringLiteral("KindCombo"));
    m_kinds[r]->setAccessibleName(resistor + QStringLiteral(" kind"));
    m_kinds[r]->addItem(QString());  // a noise index of no kind listed
    for (const ResistorKind& kind : kResistorKinds)
      m_kinds[r]->addItem(QStringLiteral("%1 (%2 dB)").arg(FromCp1252(kind.name), FromCp1252(kind.noiseIndex)));
    connect(m_kinds[r], &QComboBox::activated, this, [this, r](int index) { OnKind(r, index); });
  }
  connect(m_ui->cancelBiasButton, &QPushButton::clicked, this, &CBuiltCircuitDlg::OnCancelBias);
  connect(m_ui->cfForQButton, &QPushButton::clicked, this, &CBuiltCircuitDlg::OnCfForQ);
  // What the stage's type does not read is greyed, its text kept.
  for (std::size_t i = 0; i < m_fields.size(); ++i) m_fields[i]->setEnabled(ReadsBuiltCircuitField(form.m_nAmpType, i));
  for (std::size_t r = 0; r < m_kinds.size(); ++r)
    m_kinds[r]->setEnabled(m_fields[kExcessNoiseFields[r].noiseIndex]->isEnabled());
  m_ui->cfForQButton->setEnabled(form.m_nAmpType == AMP_TRANSIMPEDANCE);
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
  ShowKinds();
}

void CBuiltCircuitDlg::OnEdited() {
  RefreshIn();
  ShowKinds();
  ShowStage();
}

// The notes fit the label as it is laid out, which a resize changes.
void CBuiltCircuitDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ShowReadingNotes(m_ui->readingNotes, m_fields, kBuiltCircuitFields);
}

void CBuiltCircuitDlg::OnCancelBias() {
  RefreshIn();
  if (!SetBiasCancellingResistor(m_form)) return;
  RefreshOut();
  ShowStage();
}

// Cf for the loop's Q of 0.707, or why there is none, said where a refusal is.
void CBuiltCircuitDlg::OnCfForQ() {
  RefreshIn();
  if (const std::optional<std::string_view> refusal = SetCfForQ(m_form)) {
    m_ui->refusalNote->setText(QStringLiteral("No Cf for Q = 0.707: %1.").arg(FromCp1252(*refusal)));
    return;
  }
  RefreshOut();
  ShowStage();
}

void CBuiltCircuitDlg::OnKind(std::size_t resistor, int index) {
  if (index <= 0) return;
  m_fields[kExcessNoiseFields[resistor].noiseIndex]->setText(
      FromCp1252(kResistorKinds[static_cast<std::size_t>(index - 1)].noiseIndex));
  OnEdited();
}

// Each resistor's kind, where its noise index is that kind's.
void CBuiltCircuitDlg::ShowKinds() {
  for (std::size_t r = 0; r < m_kinds.size(); ++r) {
    const std::string& index = m_form.*kBuiltCircuitFields[kExcessNoiseFields[r].noiseIndex].member;
    int shown = 0;
    for (std::size_t k = 0; k < kResistorKinds.size(); ++k)
      if (index == kResistorKinds[k].noiseIndex) shown = static_cast<int>(k) + 1;
    m_kinds[r]->setCurrentIndex(shown);
  }
}

// The drawing with the values as typed, what each field will be read as,
// and why "OK" or the calculation will refuse them: half a resistor's excess
// noise, a part no circuit has, excess noise of a resistor the stage lacks,
// a load where the stage has none.
void CBuiltCircuitDlg::ShowStage() {
  ShowBuiltCircuit(m_ui->circuitPicture, m_form);
  ShowReadingNotes(m_ui->readingNotes, m_fields, kBuiltCircuitFields);
  const std::optional<std::string> refusal = Refusal();
  m_ui->refusalNote->setText(FromCp1252(refusal ? *refusal : LoadRefusal(ReadStage()).value_or("")));
}

StageInputs CBuiltCircuitDlg::ReadStage() const { return ReadNoiseInputs(m_form).inputs; }

std::optional<std::string> CBuiltCircuitDlg::Refusal() const {
  if (const std::optional<HalfExcessNoise> half = FindHalfExcessNoise(m_form)) return HalfExcessNoiseText(*half);
  return PartRefusal(ReadStage());
}

void CBuiltCircuitDlg::accept() {
  RefreshIn();
  if (Refusal()) return ShowStage();
  QDialog::accept();
}

}  // namespace tervane::ui
