#include "ui/chain_dialog.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "ui/calculator_dialog.h"
#include "ui/circuit_open.h"
#include "ui/file_save.h"
#include "ui/qt_text.h"
#include "ui/results_dialog.h"
#include "ui/view_support.h"

namespace tervane::ui {

CChainDlg::CChainDlg(CCalculatorDlg& calculator) : QDialog(&calculator), m_calculator(calculator) {
  setObjectName(QStringLiteral("ChainDialog"));
  setWindowTitle(QStringLiteral("Chain of Stages"));
  setFont(calculator.font());
  AddControls();
  // Closed by its button, Escape or the close box, the main window is the
  // single stage's again.
  connect(this, &QDialog::finished, this, [this] { m_calculator.ShowStagePlace({}); });
}

void CChainDlg::AddControls() {
  m_list = new QListWidget(this);
  SetNames(m_list, QStringLiteral("stageList"), QStringLiteral("Stages"));
  connect(m_list, &QListWidget::currentRowChanged, this, &CChainDlg::OnStageChosen);
  auto* label = new QLabel(QStringLiteral("&Stages, in the order the signal goes; the main window edits the one "
                                          "chosen here:"),
                           this);
  label->setObjectName(QStringLiteral("stagesLabel"));
  label->setWordWrap(true);
  label->setBuddy(m_list);

  auto* column = new QVBoxLayout;
  m_add = AddButton("addStageButton", QStringLiteral("&Add"), &CChainDlg::OnAdd);
  m_duplicate = AddButton("duplicateStageButton", QStringLiteral("&Duplicate"), &CChainDlg::OnDuplicate);
  m_moveUp = AddButton("moveUpButton", QStringLiteral("Move &Up"), &CChainDlg::OnMoveUp);
  m_moveDown = AddButton("moveDownButton", QStringLiteral("Move Do&wn"), &CChainDlg::OnMoveDown);
  m_remove = AddButton("removeStageButton", QStringLiteral("&Remove"), &CChainDlg::OnRemove);
  for (QPushButton* button : {m_add, m_duplicate, m_moveUp, m_moveDown, m_remove}) column->addWidget(button);
  column->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(m_list);
  middle->addLayout(column);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(AddButton("openChainButton", QStringLiteral("&Open Chain..."), &CChainDlg::OnOpen));
  bottom->addWidget(AddButton("saveChainButton", QStringLiteral("Sa&ve Chain..."), &CChainDlg::OnSave));
  bottom->addStretch();
  bottom->addWidget(AddButton("calculateChainButton", QStringLiteral("&Calculate Chain"), &CChainDlg::OnCalculate));
  bottom->addWidget(AddButton("closeButton", QStringLiteral("Close"), &CChainDlg::reject));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addLayout(middle);
  layout->addLayout(bottom);
}

QPushButton* CChainDlg::AddButton(const char* objectName, const QString& text, void (CChainDlg::*handler)()) {
  auto* button = new QPushButton(text, this);
  SetNames(button, QString::fromLatin1(objectName), QString(text).remove(QLatin1Char('&')));
  // Enter in the list would press it; the list has nothing to confirm.
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, handler);
  return button;
}

void CChainDlg::ShowChain() {
  if (m_stages.empty()) {
    m_stages.push_back(m_calculator.StageInForm());
    m_current = 0;
  }
  TakeStage();
  Refresh();
  PlaceBeside();
  show();
  raise();
  activateWindow();
}

void CChainDlg::ShowChain(std::vector<ChainStageForm> stages) {
  m_stages = std::move(stages);
  EditStage(0);
  ShowChain();
}

// The first time it opens, beside the main window where the screen has room.
void CChainDlg::PlaceBeside() {
  if (std::exchange(m_placed, true)) return;
  adjustSize();
  const QRect main = m_calculator.frameGeometry();
  const QRect free = m_calculator.screen()->availableGeometry();
  const int frame = main.width() - m_calculator.width();
  if (main.right() + frame + width() < free.right())
    move(main.right() + 1, main.top());
  else if (main.left() - frame - width() > free.left())
    move(main.left() - frame - width(), main.top());
}

// The stage activating the window brings back is the form's, typed since.
void CChainDlg::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_stages.empty()) {
    TakeStage();
    Refresh();
  }
}

// --- The bracket: the form into its stage, a change, the chain shown ------

void CChainDlg::TakeStage() { m_stages[m_current] = m_calculator.StageInForm(); }

void CChainDlg::EditStage(std::size_t stage) {
  m_current = stage;
  m_calculator.ShowStage(m_stages[stage]);
}

void CChainDlg::Refresh() {
  // Items are renamed, not replaced: this may run from the list's own signal.
  const QSignalBlocker quiet(m_list);
  const int count = static_cast<int>(m_stages.size());
  while (m_list->count() > count) delete m_list->takeItem(m_list->count() - 1);
  while (m_list->count() < count) m_list->addItem(QString());
  for (int k = 0; k < count; ++k) {
    const ChainStageForm& stage = m_stages[static_cast<std::size_t>(k)];
    m_list->item(k)->setText(FromCp1252(StageName(static_cast<std::size_t>(k), stage.partName, stage.form.m_nAmpType)));
  }
  m_list->setCurrentRow(static_cast<int>(m_current));
  const bool room = m_stages.size() < kMaxChainStages;
  m_add->setEnabled(room);
  m_duplicate->setEnabled(room);
  m_moveUp->setEnabled(m_current > 0);
  m_moveDown->setEnabled(m_current + 1 < m_stages.size());
  m_remove->setEnabled(m_stages.size() > 1);
  m_calculator.ShowStagePlace(QStringLiteral("Stage %1 of %2").arg(m_current + 1).arg(m_stages.size()));
}

// --- The list's commands -----------------------------------------------------

void CChainDlg::OnStageChosen(int row) {
  if (row < 0) return;
  TakeStage();
  EditStage(static_cast<std::size_t>(row));
  Refresh();
}

void CChainDlg::OnAdd() {
  if (m_stages.size() >= kMaxChainStages) return;
  TakeStage();
  m_stages.push_back(m_stages[m_current]);
  EditStage(m_stages.size() - 1);
  Refresh();
}

void CChainDlg::OnDuplicate() {
  if (m_stages.size() >= kMaxChainStages) return;
  TakeStage();
  m_stages.insert(m_stages.begin() + static_cast<std::ptrdiff_t>(m_current) + 1, m_stages[m_current]);
  EditStage(m_current + 1);
  Refresh();
}

void CChainDlg::OnMoveUp() {
  if (m_current > 0) Move(m_current, m_current - 1);
}

void CChainDlg::OnMoveDown() {
  if (m_current + 1 < m_stages.size()) Move(m_current, m_current + 1);
}

// The form keeps its stage, which takes another place.
void CChainDlg::Move(std::size_t from, std::size_t to) {
  TakeStage();
  std::swap(m_stages[from], m_stages[to]);
  m_current = to;
  Refresh();
}

void CChainDlg::OnRemove() {
  if (m_stages.size() < 2) return;
  m_stages.erase(m_stages.begin() + static_cast<std::ptrdiff_t>(m_current));
  EditStage(std::min(m_current, m_stages.size() - 1));
  Refresh();
}

// The chain's results leave the stages as typed: a stage's write-back
// (its carry and kept band) belongs to "Calc w/Carry".
void CChainDlg::OnCalculate() {
  TakeStage();
  Refresh();
  const ChainCalculation result = ComputeChain(m_stages);
  CResultsDlg results(this, result, m_stages);
  results.exec();
}

// --- Chain files ----------------------------------------------------------------

void CChainDlg::OnOpen() {
  const QString path = AskOpenFileName(this, QStringLiteral("Open Chain"), CircuitFileFilters());
  if (path.isEmpty()) return;
  TakeStage();
  if (std::optional<std::vector<ChainStageForm>> stages = OpenCircuitFile(
          this, QStringLiteral("Open Chain"), path, m_stages[m_current].form, QStringLiteral("The chain is unchanged.")))
    ShowChain(std::move(*stages));
}

void CChainDlg::OnSave() {
  TakeStage();
  Refresh();
  const std::string text = WriteChainFile(m_stages);
  const QString path =
      AskSaveFileName(this, QStringLiteral("Save Chain"), QStringLiteral("chain.tervane"), CircuitFileFilters());
  if (!path.isEmpty()) SaveFile(this, path, QByteArray::fromStdString(text));
}

}  // namespace tervane::ui
