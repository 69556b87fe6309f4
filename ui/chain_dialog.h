#pragma once

#include <QDialog>

#include <cstddef>
#include <vector>

#include "form/chain_form.h"

class QListWidget;
class QPushButton;

namespace tervane::ui {

class CCalculatorDlg;

// "Chain of Stages": a chain of whole stages in a window of its own beside
// the main window, which edits the stage chosen in its list, one at a time.
// The form goes back into its stage whenever another stage is chosen, the
// chain is calculated or saved, and this window is activated; the main
// window's own buttons keep working on the stage alone. A stage is added
// (the form as it stands, at the end), duplicated (after itself), moved up
// or down or removed (never the last); "Calculate Chain" opens the chain's
// results, "Open Chain..." and "Save Chain..." read and write chain files.
// Closing the window keeps the chain: the next "Chain..." shows it again,
// the form as it is then in the stage it was editing.
class CChainDlg : public QDialog {
 public:
  explicit CChainDlg(CCalculatorDlg& calculator);

  // Shown and raised, the form in its stage; at first the form is the
  // chain's one stage.
  void ShowChain();
  // Shown with `stages` (at least one), the first in the form.
  void ShowChain(std::vector<ChainStageForm> stages);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void AddControls();
  QPushButton* AddButton(const char* objectName, const QString& text, void (CChainDlg::*handler)());
  void PlaceBeside();

  void TakeStage();
  void EditStage(std::size_t stage);
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

  CCalculatorDlg& m_calculator;
  std::vector<ChainStageForm> m_stages;  // none until first shown
  std::size_t m_current = 0;             // the stage the main window edits
  QListWidget* m_list = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_duplicate = nullptr;
  QPushButton* m_moveUp = nullptr;
  QPushButton* m_moveDown = nullptr;
  QPushButton* m_remove = nullptr;
  bool m_placed = false;
};

}  // namespace tervane::ui
