#pragma once

#include <QString>

#include "form/chain_form.h"

namespace tervane::ui {

// What the chain's window asks of the window that edits one stage of the
// chain at a time: the stage as typed (refreshed in), a stage put in as if
// typed, its part selected without its figures, and which stage it is
// ("Stage 2 of 3"; empty: no chain) in the title, with a `*` while the
// chain has changes.
class StageEditor {
 public:
  virtual ChainStageForm StageInForm() = 0;
  virtual void ShowStage(const ChainStageForm& stage) = 0;
  virtual void ShowStagePlace(const QString& place, bool changed) = 0;

 protected:
  ~StageEditor() = default;
};

}  // namespace tervane::ui
