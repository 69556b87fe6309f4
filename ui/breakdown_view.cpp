#include "ui/breakdown_view.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

#include "form/breakdown_table.h"
#include "form/chain_text.h"
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
    : QWidget(parent), m_figures(FiguresOf(result)) {
  if (result.outcome.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  const std::optional<NoiseBreakdown> breakdown = BreakdownNoise(result, kCrestFactors.front().factor);
  if (!breakdown) {
    ShowUnavailable(this, QStringLiteral("No breakdown: %1.").arg(FromCp1252(kNegativePowerText)));
    return;
  }
  m_weigh = [result, carry = CarryNote(result).value_or(std::string())](Weighting w) {
    // Empty where the weighting cannot be integrated over the band.
    const std::optional<NoiseBreakdown> weighted = BreakdownNoise(result, kCrestFactors.front().factor, w);
    const NoiseBreakdown shown = weighted.value_or(NoiseBreakdown{});
    return Weighted{BreakdownTable(shown, w), weighted ? BreakdownCsv(*weighted, w) : std::string(), carry,
                    NegativeShareNote(shown.contributions).value_or(std::string())};
  };
  // The same result gave a breakdown at the first factor; the factor only
  // scales the total.
  m_peakToPeak = [result](double factor) { return BreakdownNoise(result, factor).value_or(NoiseBreakdown{}).peakToPeak; };
  Build({breakdown->outputTotal, breakdown->inputReferred, breakdown->inputDensity,
         result.inputs.ampType == AMP_TRANSIMPEDANCE},
        "carryNoteLabel", weighting);
}

CBreakdownView::CBreakdownView(const ChainCalculation& result, Weighting weighting, QWidget* parent)
    : QWidget(parent), m_figures(FiguresOf(result)) {
  if (result.chain.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain);
  if (!breakdown) {
    ShowUnavailable(this, QStringLiteral("No breakdown: %1.").arg(FromCp1252(kNegativePowerText)));
    return;
  }
  m_weigh = [result](Weighting w) {
    const std::optional<ChainBreakdown> weighted = BreakdownChain(result.chain, w);
    std::vector<NoiseContribution> rows;
    for (const ChainStageShare& stage : weighted.value_or(ChainBreakdown{}).stages)
      rows.insert(rows.end(), stage.sources.begin(), stage.sources.end());
    return Weighted{ChainBreakdownTable(weighted.value_or(ChainBreakdown{}), w),
                    weighted ? ChainCsv(result, *weighted, w) : std::string(),
                    DominanceText(result, w).value_or(std::string()), NegativeShareNote(rows).value_or(std::string())};
  };
  Build({breakdown->outputTotal, breakdown->inputReferred, breakdown->inputDensity,
         result.chain.stages.front().inputs.ampType == AMP_TRANSIMPEDANCE},
        "dominanceLabel", weighting);
}

void CBreakdownView::SaveAs() {
  if (!m_weighted.csv.empty())
    SaveCsvAs(this, QStringLiteral("Save Breakdown"), QStringLiteral("noise-breakdown.csv"), m_weighted.csv);
}

void CBreakdownView::SetWeighting(Weighting weighting) {
  if (!m_weightedTotal) return;
  m_weighting = weighting;
  m_weighted = m_weigh(weighting);
  FillTable(m_table, m_weighted.table);
  const QString negative = FromCp1252(m_weighted.negative);
  m_negativeNote->setText(negative);
  SetNames(m_negativeNote, QStringLiteral("negativeShareLabel"), negative);
  m_negativeNote->setVisible(!negative.isEmpty());
  const QString suffix = QStringLiteral(" (%1)").arg(FromCp1252(NamesOf(weighting).label));
  const WeightedFigures none;
  const WeightedFigures& figures = m_figures ? (*m_figures)[weighting] : none;
  m_weightedTotal->setText(FromCp1252(FigureText(figures.outputV, "V", FigureKind::kValue)) + suffix);
  m_weightedEin->setText(FromCp1252(m_current ? FigureText(figures.inputV, "A", FigureKind::kValue)
                                              : FigureText(figures.einDbu, "dBu", FigureKind::kDecibel)) +
                         suffix);
  const QString note = FromCp1252(m_weighted.note);
  m_note->setText(note);
  m_note->setAccessibleName(note);
  m_note->setVisible(!note.isEmpty());
}

// The table, the figures under it and the note under them, filled through
// `weighting`.
void CBreakdownView::Build(const Totals& totals, const char* noteName, Weighting weighting) {
  m_current = totals.current;
  auto* column = new QVBoxLayout(this);
  AddTable();
  AddFigures(totals);
  m_note = new QLabel(this);
  m_note->setObjectName(QString::fromLatin1(noteName));
  m_note->setWordWrap(true);
  column->addWidget(m_note);
  column->addStretch();
  SetWeighting(weighting);
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

void CBreakdownView::AddFigures(const Totals& totals) {
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  AddFigure(form, QStringLiteral("outputTotal"), QStringLiteral("Total output noise"),
            EngText(totals.output, QStringLiteral("V")));
  const QString unit = totals.current ? QStringLiteral("A") : QStringLiteral("V");
  AddFigure(form, QStringLiteral("inputReferred"), QStringLiteral("Input-referred noise"),
            EngText(totals.inputReferred, unit));
  AddFigure(form, QStringLiteral("inputDensity"), QStringLiteral("Equivalent input noise density (band average)"),
            EngText(totals.inputDensity, unit + QStringLiteral("/√Hz")));
  if (m_peakToPeak) AddCrestFactor(form);
  m_weightedTotal = AddFigure(form, QStringLiteral("weightedTotal"), QStringLiteral("Weighted output noise"), {});
  m_weightedEin = AddFigure(form, QStringLiteral("weightedEin"), QStringLiteral("Weighted EIN"), {});
  static_cast<QVBoxLayout*>(layout())->addLayout(form);
}

void CBreakdownView::AddCrestFactor(QFormLayout* form) {
  m_crestFactor = new QComboBox(this);
  SetNames(m_crestFactor, QStringLiteral("crestFactorCombo"), QStringLiteral("Crest factor (peak-to-peak per rms)"));
  for (const CrestFactorChoice& choice : kCrestFactors) m_crestFactor->addItem(QString::fromUtf8(choice.text));
  AddRow(form, QStringLiteral("crestFactor"), QStringLiteral("Crest factor"), m_crestFactor);
  connect(m_crestFactor, &QComboBox::currentIndexChanged, this, &CBreakdownView::OnCrestFactor);
  m_peakToPeakValue = AddFigure(form, QStringLiteral("peakToPeak"), QStringLiteral("Peak-to-peak noise (estimate)"),
                                EngText(m_peakToPeak(kCrestFactors.front().factor), QStringLiteral("V")));
}

void CBreakdownView::OnCrestFactor() {
  const double factor = kCrestFactors[static_cast<std::size_t>(m_crestFactor->currentIndex())].factor;
  m_peakToPeakValue->setText(EngText(m_peakToPeak(factor), QStringLiteral("V")));
}

}  // namespace tervane::ui
