#include "ui/comparison_view.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <vector>

#include "form/figure_text.h"
#include "form/part_ranking.h"
#include "form/rank_columns.h"
#include "form/result_csv.h"
#include "ui/qt_text.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

// The ranking's columns in a circuit of `type` that people read, but for
// the rank, which the rows' headers show.
std::vector<RankColumn> ShownColumns(int type) {
  std::vector<RankColumn> columns;
  for (const RankColumn& column : RankColumnsOf(type))
    if (!column.heading.empty() && column.id != RankColumnId::kRank) columns.push_back(column);
  return columns;
}

QString NoPartsText() {
  return QStringLiteral("No parts to compare: the part library (%1) was not found or holds no parts.")
      .arg(FromCp1252(kPartFileName));
}

const QString kCaption = QStringLiteral(
    "Every part of the library in this circuit, quietest first. Double-click a part, or press "
    "Enter on it, to choose it for the calculator.");

}  // namespace

// The ranking as a read-only table; a library of any size costs one row's
// texts per row drawn.
class CRankingModel : public QAbstractTableModel {
 public:
  CRankingModel(int type, QObject* parent) : QAbstractTableModel(parent), m_columns(ShownColumns(type)) {}

  bool IsEmpty() const { return m_parts.empty(); }
  void SetParts(std::vector<RankedPart> parts) {
    beginResetModel();
    m_parts = std::move(parts);
    endResetModel();
  }

  const RankedPart& Part(int row) const { return m_parts[static_cast<std::size_t>(row)]; }
  const std::vector<RankedPart>& Parts() const { return m_parts; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_parts.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const std::size_t row = static_cast<std::size_t>(index.row());
    return FromCp1252(RankCellText(m_parts[row], row + 1, m_columns[static_cast<std::size_t>(index.column())].id));
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation == Qt::Vertical)
      return role == Qt::DisplayRole ? QVariant(section + 1)
                                     : QAbstractTableModel::headerData(section, orientation, role);
    if (section < 0 || section >= columnCount({})) return {};
    const RankColumn& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return FromCp1252(column.heading);
    if (role == Qt::ToolTipRole) return FromCp1252(column.tip);
    return {};
  }

 private:
  const std::vector<RankColumn> m_columns;
  std::vector<RankedPart> m_parts;
};

CComparisonView::CComparisonView(const NoiseResult& result, const CalculatorForm& form, const PartLibrary& library,
                                 Weighting weighting, ChoosePart choose, QWidget* parent)
    : QWidget(parent), m_form(form), m_library(library), m_choose(std::move(choose)), m_weighting(weighting) {
  if (result.outcome.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  if (library.m_partTable.List().empty()) {
    ShowUnavailable(this, NoPartsText());
    return;
  }

  auto* caption = new QLabel(kCaption, this);
  SetNames(caption, "comparisonCaption", kCaption);
  caption->setWordWrap(true);

  m_model = new CRankingModel(form.m_nAmpType, this);
  m_table = new QTableView(this);
  SetNames(m_table, "comparisonTable", QStringLiteral("Parts ranked by total noise"));
  m_table->setModel(m_model);
  SetUpReadOnlyTable(m_table);
  AddTableCommands(m_table, [this] { SaveAs(); });
  connect(m_table, &QTableView::activated, this, [this](const QModelIndex& index) { OnChoose(index.row()); });
  connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &CComparisonView::OnCurrentRowChanged);

  m_selectButton = new QPushButton(QStringLiteral("&Select Part"), this);
  SetNames(m_selectButton, "selectPartButton", QStringLiteral("Select Part"));
  // Enter belongs to the report field and the table; a default button
  // would take it from every tab.
  m_selectButton->setAutoDefault(false);
  connect(m_selectButton, &QPushButton::clicked, this, [this] { OnChoose(m_table->currentIndex().row()); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_selectButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(m_table);
  layout->addLayout(buttons);
  OnCurrentRowChanged();
}

void CComparisonView::showEvent(QShowEvent* event) {
  if (m_model && m_model->IsEmpty()) Rank();
  QWidget::showEvent(event);
}

void CComparisonView::SaveAs() {
  if (!m_model) return;
  if (m_model->IsEmpty()) Rank();
  SaveCsvAs(this, QStringLiteral("Save Comparison"), QStringLiteral("part-comparison.csv"),
            RankCsv(m_model->Parts(), RankColumnsOf(m_form.m_nAmpType)));
}

void CComparisonView::SetWeighting(Weighting weighting) {
  m_weighting = weighting;
  if (m_model && !m_model->IsEmpty()) Rank();
}

void CComparisonView::Rank() {
  m_model->SetParts(RankParts(m_form, m_library, m_weighting));
  m_table->setCurrentIndex(m_model->index(0, 0));
}

void CComparisonView::OnCurrentRowChanged() { m_selectButton->setEnabled(m_table->currentIndex().isValid()); }

void CComparisonView::OnChoose(int row) {
  if (row < 0 || row >= m_model->rowCount({})) return;
  m_choose(m_model->Part(row).name);
}

}  // namespace tervane::ui
