#include "ui/results_dialog.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <utility>

#include "ui/breakdown_view.h"
#include "ui/comparison_view.h"
#include "ui/dialog_units.h"
#include "ui/qt_text.h"
#include "ui/spectrum_view.h"
#include "ui/view_support.h"
#include "ui_results_dialog.h"

namespace tervane::ui {
namespace {

// The dialog's margin round the tabs, in dialog units.
constexpr int kMarginUnits = 5;

}  // namespace

CResultsDlg::CResultsDlg(QWidget* owner, std::string report, const NoiseResult& result, const CalculatorForm& form,
                         const PartLibrary& library)
    : QDialog(owner), m_ui(std::make_unique<Ui::ResultsDialog>()), m_strResults(std::move(report)) {
  m_ui->setupUi(this);
  ConvertDialogUnits(this);
  MakeResizable();
  m_editResults = m_ui->resultsEdit;
  // A single-line-per-Enter field would swallow the key; the report is
  // read, not written, so Enter closes the window instead.
  m_editResults->installEventFilter(this);
  AddViews(result, form, library);
}

CResultsDlg::~CResultsDlg() = default;

// The template's size is the least the views need; a plot or a long part
// list is worth a bigger window.
void CResultsDlg::MakeResizable() {
  const QRect margin = DialogUnits::ForFont(font()).ToPixels(QRect(0, 0, kMarginUnits, kMarginUnits));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
  layout->addWidget(m_ui->viewTabs);
  setMinimumSize(size());
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  setSizeGripEnabled(true);
}

void CResultsDlg::AddViews(const NoiseResult& result, const CalculatorForm& form, const PartLibrary& library) {
  AddView(new CBreakdownView(result, this), "breakdownTab", QStringLiteral("&Breakdown"));
  AddView(new CSpectrumView(result, this), "spectrumTab", QStringLiteral("S&pectrum"));
  AddView(new CComparisonView(
              result, form, library, [this](const std::string& name) { OnChoosePart(name); }, this),
          "comparisonTab", QStringLiteral("&Comparison"));
}

void CResultsDlg::AddView(QWidget* view, const char* objectName, const QString& title) {
  SetNames(view, objectName, QString(title).remove(QLatin1Char('&')));
  m_ui->viewTabs->addTab(view, title);
}

void CResultsDlg::OnChoosePart(const std::string& name) {
  m_chosenPart = name;
  accept();
}

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
