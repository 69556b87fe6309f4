#include "ui/radio_group.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>

namespace tervane::ui {

QButtonGroup* MakeRadioGroup(QWidget* owner, std::initializer_list<QRadioButton*> buttons) {
  auto* group = new QButtonGroup(owner);
  int id = 0;
  for (QRadioButton* button : buttons) group->addButton(button, id++);
  return group;
}

void CheckRadio(QButtonGroup* group, int index) {
  QAbstractButton* checked = group->button(index);
  if (checked) {
    checked->setChecked(true);
  } else {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
  }
  const QAbstractButton* tabStop = checked ? checked : group->buttons().value(0);
  for (QAbstractButton* b : group->buttons()) b->setFocusPolicy(b == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

}  // namespace tervane::ui
