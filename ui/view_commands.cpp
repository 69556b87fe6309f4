#include "ui/view_commands.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

#include "notation/cp1252.h"
#include "notation/delimited_text.h"
#include "ui/file_save.h"
#include "ui/qt_text.h"

namespace tervane::ui {
namespace {

QString Field(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return QString::fromStdString(DelimitedField(std::string_view(utf8.constData(), utf8.size()), '\t'));
}

// The header and then the given rows of a table's model, cell by cell.
QList<QStringList> TableRows(const QAbstractItemModel& model, const QList<int>& rows) {
  QList<QStringList> table(1);
  for (int column = 0; column < model.columnCount(); ++column)
    table.front() << model.headerData(column, Qt::Horizontal).toString();
  for (const int row : rows) {
    QStringList& cells = table.emplace_back();
    for (int column = 0; column < model.columnCount(); ++column) cells << model.index(row, column).data().toString();
  }
  return table;
}

}  // namespace

void SaveCsvAs(QWidget* parent, const QString& caption, const QString& fileName, std::string_view csv) {
  const QString path = AskSaveFileName(parent, caption, fileName, QStringLiteral("CSV data (*.csv)"));
  if (!path.isEmpty()) SaveFile(parent, path, QByteArray::fromStdString(Cp1252ToPrintableUtf8(csv)));
}

QString TableText(const QAbstractItemModel& model, const QList<int>& rows) {
  QString text;
  for (const QStringList& cells : TableRows(model, rows)) {
    QStringList fields;
    for (const QString& cell : cells) fields << Field(cell);
    text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return text;
}

QList<int> AllRows(const QAbstractItemModel& model) {
  QList<int> rows;
  for (int row = 0; row < model.rowCount(); ++row) rows << row;
  return rows;
}

void AddContextCommand(QWidget* widget, const char* objectName, const QString& text,
                       const std::function<void()>& run) {
  auto* action = new QAction(text, widget);
  action->setObjectName(QString::fromLatin1(objectName));
  QObject::connect(action, &QAction::triggered, widget, run);
  widget->addAction(action);
  widget->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void AddTableCommands(QTableView* table, const std::function<void()>& saveAs) {
  const auto copy = [table](bool selected) {
    QList<int> rows;
    if (selected)
      for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows << index.row();
    else
      rows = AllRows(*table->model());
    // In the table's order, whatever order they were selected in.
    std::sort(rows.begin(), rows.end());
    QApplication::clipboard()->setText(TableText(*table->model(), rows));
  };
  AddContextCommand(table, "copyAction", QStringLiteral("&Copy"), [copy] { copy(true); });
  QAction* copyAction = table->actions().constLast();
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setShortcutContext(Qt::WidgetShortcut);
  AddContextCommand(table, "copyTableAction", QStringLiteral("Copy &Table"), [copy] { copy(false); });
  if (saveAs) AddContextCommand(table, "saveAsAction", QStringLiteral("&Save As..."), saveAs);
}

}  // namespace tervane::ui
