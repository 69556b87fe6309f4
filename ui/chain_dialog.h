#pragma once

#include <QDialog>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "form/chain_form.h"
#include "ui/measurement_dialog.h"

class QListWidget;
class QPushButton;

namespace tervane::ui {

class StageEditor;

// "Chain of Stages": a chain of whole stages in a window of its own beside
// its owner, the main window, whose form (`editor`) edits the stage chosen
// in its list, one at a time, every change going into the stage (and its
// name in the list) as it is made. A stage is added (the form as it
// stands, at the end), duplicated (after itself), moved up or down or
// removed (never the last); "Calculate Chain" opens the chain's results,
// "Open Chain..." and "Save Chain..." read and write chain files.
//
// The chain is the user's work, as a document is an editor's: it is
// changed (a `*` in both windows' titles) while its stages differ from the
// file it was opened from or last saved to, or from the form it was made
// of. Whatever would drop a changed chain (another chain opened over it,
// closing this window, which ends the chain, the program's exit) asks
// first: Save, Discard or Cancel; so does removing a stage whose edits the
// file does not hold.
class CChainDlg : public QDialog {
 public:
  CChainDlg(QWidget& owner, StageEditor& editor);

  // Shown and raised, the form in its stage; a new chain's one stage is the
  // form as it stands.
  void ShowChain();
  // A chain's file, opened over the chain there is, if the user lets it go;
  // the first stage in the form. True when it is shown.
  bool OpenChain(std::vector<ChainStageForm> stages);
  // A single stage's file opened while there is a chain: asks whether it
  // goes in after the chosen stage, in its place, or alone in the main
  // window, which leaves the chain. True when it was taken.
  bool OpenStage(const ChainStageForm& stage);

  bool IsOpen() const { return !m_stages.empty(); }
  bool HasChanges();
  // Save / Discard / Cancel for a changed chain, `before` what is about to
  // happen ("exiting"). True when the chain may go: saved, discarded or
  // unchanged.
  bool MayLeave(const QString& before);
  // "Save Chain": true once the file is written.
  bool Save();
  // The form has changed: its stage, name and the titles follow it.
  void FormEdited();

  // The Close button, Escape and the close box end the chain.
  void reject() override;

 private:
  void AddControls();
  QPushButton* AddButton(const char* objectName, const QString& text, void (CChainDlg::*handler)());
  void PlaceBeside();
  void Present();
  void End();
  bool MayLose(const QString& question);
  bool Edited(std::size_t stage) const;
  void MarkSaved();

  void TakeStage();
  void EditStage(std::size_t stage);
  QString NameOf(std::size_t stage) const;  // as the list names it
  void Refresh();

  void OnStageChosen(int row);
  void OnAdd();
  void OnDuplicate();
  void OnMoveUp();
  void OnMoveDown();
  void Move(std::size_t from, std::size_t to);
  void OnRemove();
  void OnCalculate();
  void OnOpen();
  void OnSave();

  StageEditor& m_editor;
  std::vector<ChainStageForm> m_stages;  // none while there is no chain
  std::vector<std::string> m_saved;      // each stage's file text when opened or saved
  std::size_t m_current = 0;             // the stage the main window edits
  // The chain's spectrum is drawn against it from one calculation to the
  // next while the chain lasts: another chain opened over it, or the
  // chain's end, drops it; no chain file keeps it.
  std::optional<Measurement> m_measurement;
  QListWidget* m_list = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_duplicate = nullptr;
  QPushButton* m_moveUp = nullptr;
  QPushButton* m_moveDown = nullptr;
  QPushButton* m_remove = nullptr;
  bool m_placed = false;
};

}  // namespace tervane::ui
