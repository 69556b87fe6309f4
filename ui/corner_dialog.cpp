#include "ui/corner_dialog.h"

#include <QButtonGroup>
#include <QEvent>

#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui/radio_group.h"
#include "ui_corner_dialog.h"

namespace tervane::ui {

CCornerDlg::CCornerDlg(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::CornerDialog>()) {
  m_ui->setupUi(this);
  ConvertDialogUnits(this);
  m_modeGroup = MakeRadioGroup(this, {m_ui->singleFreqRadio, m_ui->throughRangeRadio});

  connect(m_ui->singleFreqRadio, &QRadioButton::clicked, this, &CCornerDlg::OnSpecifySingleFreq);
  connect(m_ui->throughRangeRadio, &QRadioButton::clicked, this, &CCornerDlg::OnSpecifyThroughRange);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &CCornerDlg::reject);
  connect(m_ui->okButton, &QPushButton::clicked, this, &CCornerDlg::accept);
  m_ui->freqRangeEdit->installEventFilter(this);
  m_ui->noiseEdit->installEventFilter(this);

  OnInitDialog();
}

CCornerDlg::~CCornerDlg() = default;

void CCornerDlg::RefreshIn() {
  m_state.m_nSpecifyMode = m_modeGroup->checkedId();
  m_state.m_strFreqRange = ToCp1252(m_ui->freqRangeEdit->text());
  m_state.m_strNoise = ToCp1252(m_ui->noiseEdit->text());
}

void CCornerDlg::RefreshOut() {
  CheckRadio(m_modeGroup, m_state.m_nSpecifyMode);
  m_ui->freqRangeEdit->setText(FromCp1252(m_state.m_strFreqRange));
  m_ui->noiseEdit->setText(FromCp1252(m_state.m_strNoise));
}

void CCornerDlg::OnInitDialog() {
  m_state.m_nSpecifyMode = CORNER_SINGLE_FREQ;
  RefreshOut();
  OnSpecifySingleFreq();
  // "OK" holds the focus at first, so both placeholders stay visible.
  m_ui->okButton->setFocus();
}

void CCornerDlg::OnSpecifySingleFreq() {
  RefreshIn();
  SetCornerPlaceholders(m_state, CORNER_SINGLE_FREQ);
  RefreshOut();
}

void CCornerDlg::OnSpecifyThroughRange() {
  RefreshIn();
  SetCornerPlaceholders(m_state, CORNER_THROUGH_RANGE);
  RefreshOut();
}

void CCornerDlg::OnSetfocusFreqRange() {
  RefreshIn();
  ClearPlaceholder(m_state.m_strFreqRange);
  RefreshOut();
}

void CCornerDlg::OnSetfocusNoise() {
  RefreshIn();
  ClearPlaceholder(m_state.m_strNoise);
  RefreshOut();
}

void CCornerDlg::accept() {
  RefreshIn();
  QDialog::accept();
}

bool CCornerDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (watched == m_ui->freqRangeEdit) OnSetfocusFreqRange();
    if (watched == m_ui->noiseEdit) OnSetfocusNoise();
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tervane::ui
