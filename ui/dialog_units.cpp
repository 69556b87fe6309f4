#include "ui/dialog_units.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tervane::ui {
namespace {

// Rounds a * b / c to the nearest integer, halves away from zero, as the
// platform the templates come from does.
int MulDivRound(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// The width at which a control's text, or picture, shows whole; 0 for one
// that wraps its text or has none.
int WholeWidth(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control))
    return label->wordWrap() ? 0 : label->sizeHint().width();
  if (const auto* button = qobject_cast<const QPushButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return button->width() - room.width() + button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
  }
  if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control))
    return control->sizeHint().width();
  if (qobject_cast<const QGroupBox*>(control)) return control->minimumSizeHint().width();
  return 0;
}

// Widens the arrangement of `dialog`'s `children`, and `size`, by as much
// as its most cramped text needs.
void WidenToTexts(const QList<QWidget*>& children, QSize& size) {
  double factor = 1;
  for (const QWidget* child : children)
    if (child->width() > 0) factor = std::max(factor, static_cast<double>(WholeWidth(child)) / child->width());
  if (factor == 1) return;
  const auto widened = [factor](int x) { return static_cast<int>(std::ceil(x * factor)); };
  for (QWidget* child : children) {
    const QRect at = child->geometry();
    child->setGeometry(widened(at.x()), at.y(), widened(at.right() + 1) - widened(at.x()), at.height());
  }
  size.setWidth(widened(size.width()));
}

// The children, placed in a widget of `size` that a scroll area shows, in
// the tab order they had.
void PutInScrollArea(QWidget* dialog, const QList<QWidget*>& children, QSize size) {
  QList<QWidget*> tabOrder;
  for (QWidget* w = dialog->nextInFocusChain(); w != dialog; w = w->nextInFocusChain()) tabOrder << w;
  auto* arrangement = new QWidget;
  for (QWidget* child : children) child->setParent(arrangement);
  arrangement->setFixedSize(size);
  auto* area = new QScrollArea(dialog);
  area->setObjectName(QStringLiteral("arrangementArea"));
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);
  area->setWidget(arrangement);
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area);
  for (qsizetype i = 1; i < tabOrder.size(); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
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
  const QList<QWidget*> children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) child->setGeometry(units.ToPixels(child->geometry()));
  QSize size = units.ToPixels(QRect(QPoint(), dialog->size())).size();
  WidenToTexts(children, size);
  PutInScrollArea(dialog, children, size);
  dialog->setMaximumSize(size);
  ResizeWithinScreen(dialog, size);
}

void ResizeWithinScreen(QWidget* window, QSize size) {
  const QWidget* owner = window->parentWidget();
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const QSize frame = owner ? owner->window()->frameGeometry().size() - owner->window()->size() : QSize();
  window->resize(size.boundedTo(screen->availableGeometry().size() - frame));
}

void KeepOnScreen(QWidget* window) {
  const QRect free = window->screen()->availableGeometry();
  QRect frame = window->frameGeometry();
  frame.moveRight(std::min(frame.right(), free.right()));
  frame.moveBottom(std::min(frame.bottom(), free.bottom()));
  frame.moveTopLeft({std::max(frame.left(), free.left()), std::max(frame.top(), free.top())});
  if (frame.topLeft() != window->frameGeometry().topLeft()) window->move(frame.topLeft());
}

}  // namespace tervane::ui
