#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace tervane::ui {
namespace {

// Rounds a * b / c to the nearest integer, halves away from zero, as the
// platform the templates come from does.
int MulDivRound(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogUnits DialogUnits::ForFont(const QFont& font) {
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  // The base units of the platform's classic 8-point dialog font, for a
  // system that has no font to measure: a window of zero size is no use.
  constexpr DialogUnits kWithoutFont{6, 13};
  const QFontMetrics metrics(font);
  // The average over both cases of the alphabet, rounded to whole pixels.
  const DialogUnits measured{(metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2, metrics.height()};
  return measured.charWidth > 0 && measured.charHeight > 0 ? measured : kWithoutFont;
}

QRect DialogUnits::ToPixels(const QRect& units) const {
  return {MulDivRound(units.x(), charWidth, 4), MulDivRound(units.y(), charHeight, 8),
          MulDivRound(units.width(), charWidth, 4), MulDivRound(units.height(), charHeight, 8)};
}

void ConvertDialogUnits(QWidget* dialog) {
  const DialogUnits units = DialogUnits::ForFont(dialog->font());
  for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->setGeometry(units.ToPixels(child->geometry()));
  dialog->setFixedSize(units.ToPixels(QRect(QPoint(), dialog->size())).size());
}

}  // namespace tervane::ui
