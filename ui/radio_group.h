#pragma once

#include <initializer_list>

class QButtonGroup;
class QRadioButton;
class QWidget;

namespace tervane::ui {

// A radio group whose ids are the buttons' positions, so that checkedId()
// is the exchanged index, -1 while none is checked.
QButtonGroup* MakeRadioGroup(QWidget* owner, std::initializer_list<QRadioButton*> buttons);

// Checks the button at `index`, or clears the group for any other value;
// an exclusive group cannot be cleared without lifting its exclusivity.
// The group stays one stop of the Tab key, at the checked button (the
// first while none is); the arrow keys move within it. Qt moves that stop
// itself to a button that takes the focus.
void CheckRadio(QButtonGroup* group, int index);

}  // namespace tervane::ui
