#include "ui/view_support.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/qt_text.h"

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

QList<QStringList> QtRows(const TextTable& table) {
  const auto cells = [](const std::vector<std::string>& texts) {
    QStringList row;
    for (const std::string& text : texts)
      row << FromCp1252(text).replace(QStringLiteral("rtHz"), QStringLiteral("√Hz"));
    return row;
  };
  QList<QStringList> rows{cells(table.headings)};
  for (const std::vector<std::string>& row : table.rows) rows << cells(row);
  return rows;
}

void FillTable(QTableWidget* table, const TextTable& text) {
  const QList<QStringList> rows = QtRows(text);
  table->setColumnCount(static_cast<int>(rows.front().size()));
  table->setHorizontalHeaderLabels(rows.front());
  table->setRowCount(static_cast<int>(rows.size() - 1));
  for (int row = 0; row < table->rowCount(); ++row)
    for (int column = 0; column < table->columnCount(); ++column) {
      auto* item = new QTableWidgetItem(rows[row + 1].value(column));
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      table->setItem(row, column, item);
    }
}

}  // namespace tervane::ui
