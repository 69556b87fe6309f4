#include "ui/breakdown_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

#include "form/breakdown_table.h"
#include "form/figure_text.h"
#include "form/noise_report.h"
#include "form/result_csv.h"
#include "noise/noise_source.h"
#include "ui/qt_text.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

struct CrestFactorChoice {
  double factor;
  const char* text;  // how often Gaussian noise passes that many rms peak to peak
};
constexpr std::array<CrestFactorChoice, 2> kCrestFactors{{
    {kDefaultCrestFactor, "6 (±3σ, exceeded 0.27 % of the time)"},
    {kWideCrestFactor, "6.6 (±3.3σ, exceeded 0.1 % of the time)"},
}};

}  // namespace

CBreakdownView::CBreakdownView(const NoiseResult& result, Weighting weighting, QWidget* parent)
    : QWidget(parent), m_result(result), m_figures(FiguresOf(result)) {
  if (result.outcome.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  m_breakdown = BreakdownNoise(m_result, kCrestFactors.front().factor);
  if (!m_breakdown) {
    ShowUnavailable(this, QStringLiteral("No breakdown: %1.").arg(FromCp1252(kNegativePowerText)));
    return;
  }
  new QVBoxLayout(this);
  AddTable();
  AddFigures(*m_breakdown);
  SetWeighting(weighting);
}

void CBreakdownView::SaveAs() {
  if (m_weighted)
    SaveCsvAs(this, QStringLiteral("Save Breakdown"), QStringLiteral("noise-breakdown.csv"),
              BreakdownCsv(*m_weighted, m_weighting));
}

void CBreakdownView::SetWeighting(Weighting weighting) {
  if (!m_weightedTotal) return;
  m_weighting = weighting;
  // Empty where the weighting cannot be integrated over the band.
  m_weighted = BreakdownNoise(m_result, kCrestFactors.front().factor, weighting);
  const NoiseBreakdown shown = m_weighted.value_or(NoiseBreakdown{});
  FillTable(m_table, BreakdownTable(shown, weighting));
  const std::optional<std::string> note = NegativeShareNote(shown);
  m_negativeNote->setText(note ? FromCp1252(*note) : QString());
  SetNames(m_negativeNote, QStringLiteral("negativeShareLabel"), m_negativeNote->text());
  m_negativeNote->setVisible(note.has_value());
  const QString suffix = QStringLiteral(" (%1)").arg(FromCp1252(NamesOf(weighting).label));
  const WeightedFigures none;
  const WeightedFigures& figures = m_figures ? (*m_figures)[weighting] : none;
  m_weightedTotal->setText(FromCp1252(FigureText(figures.outputV, "V", FigureKind::kValue)) + suffix);
  m_weightedEin->setText(FromCp1252(FigureText(figures.einDbu, "dBu", FigureKind::kDecibel)) + suffix);
}

void CBreakdownView::AddTable() {
  m_table = new QTableWidget(this);
  SetNames(m_table, "breakdownTable", QStringLiteral("Noise sources"));
  m_table->verticalHeader()->hide();
  SetUpReadOnlyTable(m_table);
  AddTableCommands(m_table, [this] { SaveAs(); });
  // As tall as its rows, the figures right under it.
  m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  m_table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  layout()->addWidget(m_table);
  m_negativeNote = new QLabel(this);
  m_negativeNote->setWordWrap(true);
  layout()->addWidget(m_negativeNote);
}

// A row of the figures: "<stem>Label" captions the field, which it names
// for a screen reader and reaches with the keyboard.
void CBreakdownView::AddRow(QFormLayout* form, const QString& stem, const QString& caption, QWidget* field) {
  auto* label = new QLabel(caption + QLatin1Char(':'), this);
  SetNames(label, stem + QStringLiteral("Label"), caption);
  label->setBuddy(field);
  form->addRow(label, field);
}

QLabel* CBreakdownView::AddFigure(QFormLayout* form, const QString& stem, const QString& caption, const QString& text) {
  auto* figure = new QLabel(text, this);
  SetNames(figure, stem + QStringLiteral("Value"), caption);
  figure->setTextInteractionFlags(Qt::TextSelectableByMouse);
  AddRow(form, stem, caption, figure);
  return figure;
}

void CBreakdownView::AddFigures(const NoiseBreakdown& breakdown) {
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  AddFigure(form, QStringLiteral("outputTotal"), QStringLiteral("Total output noise"),
            EngText(breakdown.outputTotal, QStringLiteral("V")));
  AddFigure(form, QStringLiteral("inputReferred"), QStringLiteral("Input-referred noise"),
            EngText(breakdown.inputReferred, QStringLiteral("V")));
  AddFigure(form, QStringLiteral("inputDensity"), QStringLiteral("Equivalent input noise density (band average)"),
            EngText(breakdown.inputDensity, QStringLiteral("V/√Hz")));

  m_crestFactor = new QComboBox(this);
  SetNames(m_crestFactor, QStringLiteral("crestFactorCombo"), QStringLiteral("Crest factor (peak-to-peak per rms)"));
  for (const CrestFactorChoice& choice : kCrestFactors) m_crestFactor->addItem(QString::fromUtf8(choice.text));
  AddRow(form, QStringLiteral("crestFactor"), QStringLiteral("Crest factor"), m_crestFactor);
  connect(m_crestFactor, &QComboBox::currentIndexChanged, this, &CBreakdownView::OnCrestFactor);

  m_peakToPeak = AddFigure(form, QStringLiteral("peakToPeak"), QStringLiteral("Peak-to-peak noise (estimate)"),
                           EngText(breakdown.peakToPeak, QStringLiteral("V")));
  m_weightedTotal = AddFigure(form, QStringLiteral("weightedTotal"), QStringLiteral("Weighted output noise"), {});
  m_weightedEin = AddFigure(form, QStringLiteral("weightedEin"), QStringLiteral("Weighted EIN"), {});
  auto* column = static_cast<QVBoxLayout*>(layout());
  column->addLayout(form);
  if (const std::optional<std::string> carry = CarryNote(m_result)) {
    auto* note = new QLabel(FromCp1252(*carry), this);
    SetNames(note, QStringLiteral("carryNoteLabel"), note->text());
    note->setWordWrap(true);
    column->addWidget(note);
  }
  column->addStretch();
}

void CBreakdownView::OnCrestFactor() {
  const double factor = kCrestFactors[static_cast<std::size_t>(m_crestFactor->currentIndex())].factor;
  // The same result gave a breakdown at the first factor; the factor only
  // scales the total.
  if (const std::optional<NoiseBreakdown> breakdown = BreakdownNoise(m_result, factor))
    m_peakToPeak->setText(EngText(breakdown->peakToPeak, QStringLiteral("V")));
}

}  // namespace tervane::ui
