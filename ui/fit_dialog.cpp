#include "ui/fit_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "form/measured_text.h"
#include "notation/shown_value.h"
#include "ui/qt_text.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

// The check boxes' names, by FitIndex. At first en and its corner: one
// measurement cannot tell a white current noise from a white voltage
// noise, which takes two at different source resistances.
constexpr std::array<const char*, kFitParameterCount> kCheckNames{"fitEnCheck", "fitFcCheck", "fitInCheck",
                                                                  "fitFciCheck", "fitGainCheck"};
constexpr std::array<bool, kFitParameterCount> kCheckedAtFirst{true, true, false, false, false};

}  // namespace

CFitDlg::CFitDlg(QWidget* parent, const Measurement& first, const NoiseResult& stage)
    : QDialog(parent), m_stage(stage), m_measurements{{first.spectrum, stage.inputs}} {
  setObjectName(QStringLiteral("FitDialog"));
  setWindowTitle(QStringLiteral("Fit to Measurement"));
  auto* layout = new QVBoxLayout(this);
  auto* measurements = new QGridLayout;
  auto* listLabel = new QLabel(QStringLiteral("&Measurements:"), this);
  measurements->addWidget(listLabel, 0, 0, 1, 2);
  m_list = new QListWidget(this);
  SetNames(m_list, QStringLiteral("fitMeasurementList"), QStringLiteral("Measurements fitted"));
  listLabel->setBuddy(m_list);
  // A few lines: most fits take one or two.
  m_list->setMaximumHeight(4 * fontMetrics().height() + 2 * m_list->frameWidth());
  measurements->addWidget(m_list, 1, 0, 3, 1);
  auto* add = new QPushButton(QStringLiteral("A&dd Measurement..."), this);
  SetNames(add, QStringLiteral("addFitMeasurementButton"), QStringLiteral("Add Measurement"));
  add->setToolTip(QStringLiteral("Another measurement of the same op amp, at another source resistor"));
  measurements->addWidget(add, 1, 1);
  m_remove = new QPushButton(QStringLiteral("&Remove"), this);
  SetNames(m_remove, QStringLiteral("removeFitMeasurementButton"), QStringLiteral("Remove measurement"));
  m_remove->setEnabled(false);
  measurements->addWidget(m_remove, 2, 1);
  measurements->setRowStretch(3, 1);
  layout->addLayout(measurements);
  AddToList(first.reference.file, stage.inputs.sourceResistor);
  connect(add, &QPushButton::clicked, this, &CFitDlg::OnAddMeasurement);
  connect(m_remove, &QPushButton::clicked, this, &CFitDlg::OnRemoveMeasurement);
  // The spectrum's own measurement stays.
  connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) { m_remove->setEnabled(row > 0); });

  auto* checks = new QHBoxLayout;
  checks->addWidget(new QLabel(QStringLiteral("Fit:"), this));
  for (std::size_t i = 0; i < kFitParameterCount; ++i) {
    m_chosen[i] = new QCheckBox(FromCp1252(kFitParameters[i].key), this);
    SetNames(m_chosen[i], QString::fromLatin1(kCheckNames[i]), m_chosen[i]->text());
    m_chosen[i]->setChecked(kCheckedAtFirst[i]);
    checks->addWidget(m_chosen[i]);
  }
  checks->addStretch();
  layout->addLayout(checks);
  m_table = new QTableWidget(this);
  SetNames(m_table, QStringLiteral("fitTable"), QStringLiteral("Fitted figures"));
  m_table->verticalHeader()->hide();
  SetUpReadOnlyTable(m_table);
  AddTableCommands(m_table);
  // Wide enough for the longest name beside a value and its error.
  m_table->setMinimumWidth(64 * fontMetrics().averageCharWidth());
  layout->addWidget(m_table);
  m_summary = new QLabel(this);
  SetNames(m_summary, QStringLiteral("fitSummaryLabel"), QStringLiteral("Fit summary"));
  m_summary->setWordWrap(true);
  layout->addWidget(m_summary);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* fit = buttons->addButton(QStringLiteral("&Fit"), QDialogButtonBox::ActionRole);
  SetNames(fit, QStringLiteral("runFitButton"), QStringLiteral("Fit"));
  m_apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ActionRole);
  SetNames(m_apply, QStringLiteral("applyFitButton"), QStringLiteral("Apply"));
  m_apply->setToolTip(QStringLiteral("Put the fitted figures into the form's fields and calculate again"));
  m_apply->setEnabled(false);
  connect(fit, &QPushButton::clicked, this, &CFitDlg::OnFit);
  connect(m_apply, &QPushButton::clicked, this, [this] {
    m_applied = m_fit;
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &CFitDlg::reject);
  layout->addWidget(buttons);
  fit->setDefault(true);
}

void CFitDlg::AddToList(const std::string& file, double sourceResistor) {
  m_list->addItem(QStringLiteral("%1, Rs = %2%3")
                      .arg(QFileInfo(QString::fromStdString(file)).fileName(),
                           FromCp1252(ShownValue(sourceResistor)), UnitText("ohms")));
}

// A fit of other measurements than those listed would be applied unseen.
void CFitDlg::ForgetFit() {
  m_fit.reset();
  m_apply->setEnabled(false);
  m_table->setRowCount(0);
  m_summary->clear();
}

void CFitDlg::OnAddMeasurement() {
  const std::unique_ptr<CMeasurementDlg> dialog = AskMeasurement(this, true);
  if (!dialog) return;
  const NoiseResult stage = AtSourceResistor(m_stage, *dialog->SourceResistor());
  ForgetFit();
  if (stage.outcome.failure) {
    m_summary->setText(QStringLiteral("Not added: the stage cannot be calculated with Rs = %1%2.")
                           .arg(FromCp1252(ShownValue(stage.inputs.sourceResistor)), UnitText("ohms")));
    return;
  }
  m_measurements.push_back({dialog->Read()->spectrum, stage.inputs});
  AddToList(dialog->Read()->reference.file, stage.inputs.sourceResistor);
}

void CFitDlg::OnRemoveMeasurement() {
  const int row = m_list->currentRow();
  if (row < 1) return;
  ForgetFit();
  m_measurements.erase(m_measurements.begin() + row);
  delete m_list->takeItem(row);
}

void CFitDlg::OnFit() {
  FitOptions options;
  for (std::size_t i = 0; i < kFitParameterCount; ++i) options.chosen[i] = m_chosen[i]->isChecked();
  const NoiseFitting fitting = FitNoise(m_measurements, options);
  m_fit = fitting.fit;
  m_apply->setEnabled(m_fit.has_value());
  if (!m_fit) {
    m_table->setRowCount(0);
    m_summary->setText(FromCp1252(fitting.reason));
    return;
  }
  FillTable(m_table, FitTable(*m_fit));
  m_table->resizeColumnsToContents();
  QString summary = FromCp1252(FitSummary(*m_fit));
  if (m_fit->fitted[FitIndex(FitParameter::kGain)]) summary += QLatin1Char(' ') + FromCp1252(kGainNotApplied);
  m_summary->setText(summary);
  // Wrapped, the summary may need lines the window opened without.
  const int wide = std::max(width(), layout()->totalMinimumSize().width());
  resize(wide, std::max(height(), layout()->totalHeightForWidth(wide)));
}

}  // namespace tervane::ui
