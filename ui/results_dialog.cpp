#include "ui/results_dialog.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui_results_dialog.h"

namespace tervane::ui {

CResultsDlg::CResultsDlg(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::ResultsDialog>()) {
  m_ui->setupUi(this);
  ConvertDialogUnits(this);
  m_editResults = m_ui->resultsEdit;
  // A single-line-per-Enter field would swallow the key; the report is
  // read, not written, so Enter closes the window instead.
  m_editResults->installEventFilter(this);
}

CResultsDlg::~CResultsDlg() = default;

void CResultsDlg::showEvent(QShowEvent* event) {
  if (!m_initialised) OnInitDialog();
  QDialog::showEvent(event);
}

void CResultsDlg::OnInitDialog() {
  m_initialised = true;
  // The report's lines end with CR LF; the field shows lines, so the pair
  // becomes one line break and no stray CR is drawn.
  m_editResults->setPlainText(FromCp1252(m_strResults).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  m_editResults->setFocus();
}

bool CResultsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_editResults && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tervane::ui
