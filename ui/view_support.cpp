#include "ui/view_support.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace tervane::ui {

void SetNames(QWidget* widget, const QString& objectName, const QString& accessibleName) {
  widget->setObjectName(objectName);
  widget->setAccessibleName(accessibleName);
}

void ShowUnavailable(QWidget* view, const QString& text) {
  auto* label = new QLabel(text, view);
  SetNames(label, QStringLiteral("unavailableLabel"), text);
  label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  auto* layout = new QVBoxLayout(view);
  layout->addWidget(label);
}

QString FailedCalculationText() {
  return QStringLiteral("Nothing to show: the calculation failed; check the inputs for consistency.");
}

void SetUpReadOnlyTable(QTableView* table) {
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table->setWordWrap(false);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  // Rows of one line each: measuring every row of a long list would take
  // longer than the list.
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
}

}  // namespace tervane::ui
