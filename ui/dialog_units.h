#pragma once

#include <QRect>

class QFont;
class QWidget;

namespace tervane::ui {

// The dialogs' Designer files give every geometry in dialog units, the
// coordinate system the calculator's templates were drawn in: a horizontal
// unit is a quarter of the font's average character width, a vertical unit
// an eighth of its height. Converting with the dialog's own font keeps the
// arrangement whatever font the system substitutes and at any scale.
struct DialogUnits {
  int charWidth = 0;   // average character width, pixels
  int charHeight = 0;  // character height, pixels

  static DialogUnits ForFont(const QFont& font);
  QRect ToPixels(const QRect& units) const;
};

// Converts the dialog's size and the geometry of each of its direct
// children from dialog units to pixels, once, after setupUi.
void ConvertDialogUnits(QWidget* dialog);

}  // namespace tervane::ui
