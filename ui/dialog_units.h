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

// Converts the geometry of each of the dialog's direct children, and its
// size, from dialog units to pixels, once, after setupUi. Where a font's
// text is wider for its average character than the template allowed for,
// the whole arrangement is widened alike, so that every text shows whole.
// The arrangement then lies in a scroll area that fills the window: the
// window opens at the arrangement's size where its screen has room, and can
// be made smaller than that, never larger.
void ConvertDialogUnits(QWidget* dialog);

// Resizes `window` to `size`, or less where the free area of its owner's
// screen has less room; the owner's frame stands in for the window's own,
// which is not drawn yet.
void ResizeWithinScreen(QWidget* window, QSize size);

// Moves a shown window whose frame runs off its screen's free area back
// inside it, as far as it fits: Qt, placing a dialog over its owner, keeps
// it on the screen but for the width of one side of its frame.
void KeepOnScreen(QWidget* window);

}  // namespace tervane::ui
