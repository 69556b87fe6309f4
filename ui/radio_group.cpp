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
  if (QAbstractButton* button = group->button(index)) {
    button->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

}  // namespace tervane::ui
