#include "ui/chain_dialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <span>
#include <utility>

#include "form/chain_text.h"
#include "form/circuit_file.h"
#include "ui/circuit_open.h"
#include "ui/file_save.h"
#include "ui/qt_text.h"
#include "ui/results_dialog.h"
#include "ui/stage_editor.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

const QString kCaption = QStringLiteral("Chain of Stages");

// What a file keeps of a stage, which tells whether it has changed.
std::string StageText(const ChainStageForm& stage) { return WriteChainFile(std::span(&stage, 1)); }

std::vector<std::string> StageTexts(const std::vector<ChainStageForm>& stages) {
  std::vector<std::string> texts;
  for (const ChainStageForm& stage : stages) texts.push_back(StageText(stage));
  return texts;
}

}  // namespace

CChainDlg::CChainDlg(QWidget& owner, StageEditor& editor) : QDialog(&owner), m_editor(editor) {
  setObjectName(QStringLiteral("ChainDialog"));
  setWindowTitle(kCaption + QStringLiteral("[*]"));
  setFont(owner.font());
  AddControls();
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &CChainDlg::OnSave);
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
    m_stages.push_back(m_editor.StageInForm());
    m_current = 0;
    MarkSaved();
  }
  TakeStage();
  Present();
}

bool CChainDlg::OpenChain(std::vector<ChainStageForm> stages) {
  if (!MayLeave(QStringLiteral("opening another"))) return false;
  m_stages = std::move(stages);
  m_measurement.reset();  // of the chain it replaces
  MarkSaved();
  EditStage(0);
  Present();
  return true;
}

bool CChainDlg::OpenStage(const ChainStageForm& stage) {
  TakeStage();
  const QString chosen = QString::number(m_current + 1);
  QMessageBox question(QMessageBox::Question, QStringLiteral("Open Circuit"),
                       QStringLiteral("The file holds a single stage. Put it into the chain after stage %1, in "
                                      "place of stage %1, or leave the chain and open it alone?")
                           .arg(chosen),
                       QMessageBox::Cancel, this);
  const auto add = [&](const char* name, const QString& text) {
    QPushButton* button = question.addButton(text, QMessageBox::AcceptRole);
    button->setObjectName(QString::fromLatin1(name));
    return button;
  };
  QPushButton* insert = add("insertStageButton", QStringLiteral("&Insert After Stage %1").arg(chosen));
  QPushButton* replace = add("replaceStageButton", QStringLiteral("&Replace Stage %1").arg(chosen));
  QPushButton* alone = add("openAloneButton", QStringLiteral("Open &Alone"));
  // The answer that loses nothing, while the chain has room.
  insert->setEnabled(m_stages.size() < kMaxChainStages);
  if (insert->isEnabled())
    question.setDefaultButton(insert);
  else
    question.setDefaultButton(QMessageBox::Cancel);
  question.exec();
  const QAbstractButton* answer = question.clickedButton();
  if (answer == insert || answer == replace) {
    if (answer == insert)
      m_stages.insert(m_stages.begin() + static_cast<std::ptrdiff_t>(++m_current), stage);
    else
      m_stages[m_current] = stage;
    EditStage(m_current);
    Present();
    return true;
  }
  if (answer != alone || !MayLeave(QStringLiteral("leaving it"))) return false;
  End();
  m_editor.ShowStage(stage);
  return true;
}

// The first time it opens, beside the main window where the screen has
// room, and never below the screen's edge.
void CChainDlg::PlaceBeside() {
  if (std::exchange(m_placed, true)) return;
  adjustSize();
  const QWidget& owner = *parentWidget();
  const QRect main = owner.frameGeometry();
  const QRect free = owner.screen()->availableGeometry();
  const int frame = main.width() - owner.width();
  const int top = std::max(free.top(), std::min(main.top(), free.bottom() - frame - height()));
  if (main.right() + frame + width() < free.right())
    move(main.right() + 1, top);
  else if (main.left() - frame - width() > free.left())
    move(main.left() - frame - width(), top);
}

void CChainDlg::Present() {
  Refresh();
  PlaceBeside();
  show();
  raise();
  activateWindow();
}

// The main window is the single stage's again, as the form shows it.
void CChainDlg::End() {
  m_stages.clear();
  m_saved.clear();
  m_measurement.reset();
  m_editor.ShowStagePlace({}, false);
  QDialog::reject();
}

void CChainDlg::reject() {
  if (MayLeave(QStringLiteral("closing it"))) End();
}

// --- The chain as work -------------------------------------------------------

bool CChainDlg::HasChanges() {
  if (m_stages.empty()) return false;
  TakeStage();
  return StageTexts(m_stages) != m_saved;
}

bool CChainDlg::MayLeave(const QString& before) {
  return !HasChanges() ||
         MayLose(QStringLiteral("The chain has changed since it was opened or saved. Save it before %1?").arg(before));
}

// As editors ask before work is lost; Save goes on only once the file is
// written.
bool CChainDlg::MayLose(const QString& question) {
  QMessageBox box(QMessageBox::Warning, kCaption, question,
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  return answer == QMessageBox::Discard || (answer == QMessageBox::Save && Save());
}

// A stage is edited while no stage of the file holds what it holds.
bool CChainDlg::Edited(std::size_t stage) const {
  return std::find(m_saved.begin(), m_saved.end(), StageText(m_stages[stage])) == m_saved.end();
}

void CChainDlg::MarkSaved() { m_saved = StageTexts(m_stages); }

void CChainDlg::FormEdited() {
  if (m_stages.empty()) return;
  TakeStage();
  Refresh();
}

// --- The bracket: the form into its stage, a change, the chain shown ------

void CChainDlg::TakeStage() { m_stages[m_current] = m_editor.StageInForm(); }

void CChainDlg::EditStage(std::size_t stage) {
  m_current = stage;
  m_editor.ShowStage(m_stages[stage]);
}

QString CChainDlg::NameOf(std::size_t stage) const {
  return FromCp1252(StageName(stage, m_stages[stage].partName, m_stages[stage].form.m_nAmpType));
}

void CChainDlg::Refresh() {
  // Items are renamed, not replaced: this may run from the list's own signal.
  const QSignalBlocker quiet(m_list);
  const int count = static_cast<int>(m_stages.size());
  while (m_list->count() > count) delete m_list->takeItem(m_list->count() - 1);
  while (m_list->count() < count) m_list->addItem(QString());
  for (int k = 0; k < count; ++k) m_list->item(k)->setText(NameOf(static_cast<std::size_t>(k)));
  m_list->setCurrentRow(static_cast<int>(m_current));
  const bool room = m_stages.size() < kMaxChainStages;
  m_add->setEnabled(room);
  m_duplicate->setEnabled(room);
  m_moveUp->setEnabled(m_current > 0);
  m_moveDown->setEnabled(m_current + 1 < m_stages.size());
  m_remove->setEnabled(m_stages.size() > 1);
  // The main window's title first: a changed window marks its owner too.
  const bool changed = StageTexts(m_stages) != m_saved;
  m_editor.ShowStagePlace(QStringLiteral("Stage %1 of %2").arg(m_current + 1).arg(m_stages.size()), changed);
  setWindowModified(changed);
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
  TakeStage();
  const QString question =
      QStringLiteral("%1 has changed since the chain was opened or saved. Save the chain before removing it?");
  if (Edited(m_current) && !MayLose(question.arg(NameOf(m_current)))) return;
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
  CResultsDlg results(this, result, m_stages, &m_measurement);
  results.exec();
}

// --- Chain files ----------------------------------------------------------------

void CChainDlg::OnOpen() {
  const QString path = AskOpenFileName(this, QStringLiteral("Open Chain"), CircuitFileFilters());
  if (path.isEmpty()) return;
  TakeStage();
  if (std::optional<std::vector<ChainStageForm>> stages = OpenCircuitFile(
          this, QStringLiteral("Open Chain"), path, m_stages[m_current].form, QStringLiteral("The chain is unchanged.")))
    OpenChain(std::move(*stages));
}

void CChainDlg::OnSave() { Save(); }

bool CChainDlg::Save() {
  TakeStage();
  Refresh();
  const QString path =
      AskSaveFileName(this, QStringLiteral("Save Chain"), QStringLiteral("chain.tervane"), CircuitFileFilters());
  if (path.isEmpty() || !SaveFile(this, path, QByteArray::fromStdString(WriteChainFile(m_stages)))) return false;
  MarkSaved();
  Refresh();
  return true;
}

}  // namespace tervane::ui
