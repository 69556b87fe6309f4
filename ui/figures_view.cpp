#include "ui/figures_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "form/figure_text.h"
#include "ui/file_save.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

const QStringList kColumns{QStringLiteral("Figure"), QStringLiteral("Value"), QStringLiteral("Why undefined")};

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QLabel* Note(QWidget* parent, const char* objectName, const QString& text) {
  auto* note = new QLabel(text, parent);
  SetNames(note, QString::fromLatin1(objectName), text);
  note->setWordWrap(true);
  return note;
}

}  // namespace

CFiguresView::CFiguresView(const NoiseResult& result, Weighting weighting, QWidget* parent)
    : QWidget(parent), m_result(result), m_figures(FiguresOf(result)) {
  if (!m_figures) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  auto* layout = new QVBoxLayout(this);
  m_table = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
  SetNames(m_table, QStringLiteral("figuresTable"), QStringLiteral("Data-sheet figures"));
  m_table->setHorizontalHeaderLabels(kColumns);
  m_table->verticalHeader()->hide();
  SetUpReadOnlyTable(m_table);
  AddTableCommands(m_table, [this] { SaveAs(); });
  layout->addWidget(m_table);
  if (const std::optional<std::string> carry = CarryNote(result))
    layout->addWidget(Note(this, "carryNoteLabel", FromCp1252(*carry)));
  layout->addWidget(Note(this, "quasiPeakNoteLabel", FromCp1252(kQuasiPeakNote)));
  SetWeighting(weighting);
}

void CFiguresView::SetWeighting(Weighting weighting) {
  if (!m_table) return;
  const std::vector<FigureRow> rows = FigureRows(m_result, *m_figures, weighting);
  m_table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < m_table->rowCount(); ++row) {
    const FigureRow& figure = rows[static_cast<std::size_t>(row)];
    m_table->setItem(row, 0, Cell(FromCp1252(figure.label)));
    m_table->setItem(row, 1, Cell(FromCp1252(figure.value)));
    m_table->setItem(row, 2, Cell(FromCp1252(figure.reason)));
  }
}

void CFiguresView::SaveAs() {
  if (!m_table) return;
  const QString path = AskSaveFileName(this, QStringLiteral("Save Figures"), QStringLiteral("noise-figures.txt"),
                                       QStringLiteral("Tab-separated text (*.txt *.tsv)"));
  if (!path.isEmpty()) SaveFile(this, path, TableText(*m_table->model(), AllRows(*m_table->model())).toUtf8());
}

}  // namespace tervane::ui
