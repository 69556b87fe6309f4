#include "ui/figures_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "form/chain_text.h"
#include "form/figure_text.h"
#include "form/result_csv.h"
#include "ui/qt_text.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

QLabel* Note(QWidget* parent, const char* objectName, const QString& text) {
  auto* note = new QLabel(text, parent);
  SetNames(note, QString::fromLatin1(objectName), text);
  note->setWordWrap(true);
  return note;
}

}  // namespace

CFiguresView::CFiguresView(const NoiseResult& result, Weighting weighting, QWidget* parent)
    : CFiguresView(CausesOf(result), FiguresOf(result), CarryNote(result), weighting, parent) {}

CFiguresView::CFiguresView(const ChainCalculation& result, Weighting weighting, QWidget* parent)
    : CFiguresView(CausesOf(result), FiguresOf(result), std::nullopt, weighting, parent) {}

CFiguresView::CFiguresView(const FigureCauses& causes, const std::optional<NoiseFigures>& figures,
                           const std::optional<std::string>& note, Weighting weighting, QWidget* parent)
    : QWidget(parent), m_causes(causes), m_figures(figures) {
  if (!m_figures) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  auto* layout = new QVBoxLayout(this);
  m_table = new QTableWidget(this);
  SetNames(m_table, QStringLiteral("figuresTable"), QStringLiteral("Data-sheet figures"));
  m_table->verticalHeader()->hide();
  SetUpReadOnlyTable(m_table);
  AddTableCommands(m_table, [this] { SaveAs(); });
  layout->addWidget(m_table);
  if (note) layout->addWidget(Note(this, "carryNoteLabel", FromCp1252(*note)));
  layout->addWidget(Note(this, "quasiPeakNoteLabel", FromCp1252(kQuasiPeakNote)));
  SetWeighting(weighting);
}

void CFiguresView::SetWeighting(Weighting weighting) {
  if (!m_table) return;
  m_weighting = weighting;
  FillTable(m_table, FigureTable(m_causes, *m_figures, weighting));
}

void CFiguresView::SaveAs() {
  if (m_table)
    SaveCsvAs(this, QStringLiteral("Save Figures"), QStringLiteral("noise-figures.csv"),
              FiguresCsv(m_causes, *m_figures, m_weighting));
}

}  // namespace tervane::ui
