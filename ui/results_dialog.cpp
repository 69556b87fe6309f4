#include "ui/results_dialog.h"

#include <QComboBox>
#include <QDate>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

#include "form/amplifier_names.h"
#include "form/breakdown_table.h"
#include "form/built_circuit.h"
#include "form/chain_text.h"
#include "form/figure_text.h"
#include "ui/breakdown_view.h"
#include "ui/comparison_view.h"
#include "ui/dialog_units.h"
#include "ui/figures_view.h"
#include "ui/file_save.h"
#include "ui/pdf_page.h"
#include "ui/qt_text.h"
#include "ui/spectrum_view.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"
#include "ui_results_dialog.h"

namespace tervane::ui {
namespace {

// The dialog's margin round the tabs, in dialog units.
constexpr int kMarginUnits = 5;

Weighting& SessionWeighting() {
  static Weighting weighting = Weighting::kNone;
  return weighting;
}

// The form as typed, a caption and a text each: the carry only where it was
// used, of the circuit as built only the fields that hold text.
QList<QStringList> InputsOf(const CalculatorForm& form, bool withCarry) {
  QList<QStringList> inputs;
  if (const std::optional<AmplifierNames> names = NamesOfAmplifier(form.m_nAmpType))
    inputs << QStringList{QStringLiteral("Amplifier"), FromCp1252(names->label)};
  for (const FormTextField& field : kFormTextFields)
    if (field.member != &CalculatorForm::m_strCarry || withCarry)
      inputs << QStringList{FieldCaption(field), FromCp1252(form.*field.member)};
  for (const FormTextField& field : kBuiltCircuitFields)
    if (!(form.*field.member).empty()) inputs << QStringList{FieldCaption(field), FromCp1252(form.*field.member)};
  inputs << QStringList{QStringLiteral("1/f corner applies to the current noise"),
                        form.m_bApplyCorner ? QStringLiteral("yes") : QStringLiteral("no")};
  return inputs;
}

// The stages' inputs side by side under a header row, a column each: a row
// for each input any stage has, empty where a stage has none. A chain
// leaves the carry out.
QList<QStringList> ChainInputsOf(const std::vector<ChainStageForm>& stages) {
  QList<QStringList> table{{QStringLiteral("Input")}};
  for (std::size_t k = 0; k < stages.size(); ++k) {
    table.front() << QStringLiteral("Stage %1").arg(k + 1);
    const std::optional<std::string>& part = stages[k].partName;
    const QList<QStringList> inputs{{QStringLiteral("Part"), part ? FromCp1252(*part) : QString()}};
    for (const QStringList& input : inputs + InputsOf(stages[k].form, false)) {
      auto row =
          std::find_if(table.begin(), table.end(), [&](const QStringList& r) { return r.front() == input.front(); });
      if (row == table.end()) row = table.insert(table.end(), {input.front()});
      while (row->size() <= static_cast<qsizetype>(k)) *row << QString();
      *row << input.back();
    }
  }
  for (QStringList& row : table)
    while (row.size() < table.front().size()) row << QString();
  return table;
}

}  // namespace

CResultsDlg::CResultsDlg(QWidget* owner, std::string report)
    : QDialog(owner), m_ui(std::make_unique<Ui::ResultsDialog>()), m_strResults(std::move(report)) {
  m_ui->setupUi(this);
  // The template's size, in dialog units, is the size to open at.
  resize(DialogUnits::ForFont(font()).ToPixels(QRect(QPoint(), size())).size());
  MakeResizable();
  m_editResults = m_ui->resultsEdit;
  // Read, selected and copied, never written: nothing reads it back.
  m_editResults->setReadOnly(true);
  m_editResults->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // A single-line-per-Enter field would swallow the key; the report is
  // read, not written, so Enter closes the window instead.
  m_editResults->installEventFilter(this);
  AddWeightingChoice();
  AddButtons();
}

CResultsDlg::CResultsDlg(QWidget* owner, std::string report, const NoiseResult& result, const CalculatorForm& form,
                         const PartLibrary& library, std::optional<std::string> partName,
                         std::optional<Measurement>* measurement)
    : CResultsDlg(owner, std::move(report)) {
  AddViews(result, form, library, measurement);
  AddBuiltCircuitLine(result);
  m_page = [result, form, partName](PdfPage& page, Weighting weighting) {
    const QString part = partName ? FromCp1252(*partName) : QString();
    page.subject = QStringLiteral("Part: %1").arg(part.isEmpty() ? QStringLiteral("No part selected") : part);
    page.type = static_cast<AmplifierType>(form.m_nAmpType);
    page.inputs = {{QStringLiteral("Calculated by"),
                    form.m_bWithCarry ? QStringLiteral("Calc w/Carry") : QStringLiteral("Calculate")}};
    page.inputs += InputsOf(form, form.m_bWithCarry);
    // The views' own rows, through the weighting they show.
    if (const std::optional<NoiseBreakdown> breakdown = BreakdownNoise(result, kDefaultCrestFactor, weighting))
      page.breakdown = QtRows(BreakdownTable(*breakdown, weighting));
    if (const std::optional<NoiseFigures> figures = FiguresOf(result))
      page.figures = QtRows(FigureTable(result, *figures, weighting));
  };
  FitScreen();
}

CResultsDlg::CResultsDlg(QWidget* owner, const ChainCalculation& result, const std::vector<ChainStageForm>& stages)
    : CResultsDlg(owner, BuildChainReport(result, SessionWeighting())) {
  setWindowTitle(QStringLiteral("Chain Noise Results"));
  AddViews(result);
  // A chain's report reads its shares and totals through the weighting, as
  // the command line's does.
  m_reportOf = [result](Weighting weighting) { return BuildChainReport(result, weighting); };
  m_page = [result, stages](PdfPage& page, Weighting weighting) {
    page.subject = QStringLiteral("Chain of %1 stages").arg(stages.size());
    page.inputs = ChainInputsOf(stages);
    if (const std::optional<ChainBreakdown> breakdown = BreakdownChain(result.chain, weighting))
      page.breakdown = QtRows(ChainBreakdownTable(*breakdown, weighting));
    if (const std::optional<NoiseFigures> figures = FiguresOf(result))
      page.figures = QtRows(FigureTable(CausesOf(result), *figures, weighting));
  };
  FitScreen();
}

Weighting CResultsDlg::CurrentWeighting() { return SessionWeighting(); }

CResultsDlg::~CResultsDlg() = default;

// A plot or a long part list is worth a bigger window, a small screen a
// smaller one, down to what the layout needs.
void CResultsDlg::MakeResizable() {
  const QRect margin = DialogUnits::ForFont(font()).ToPixels(QRect(0, 0, kMarginUnits, kMarginUnits));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
  layout->addWidget(m_ui->viewTabs);
  setSizeGripEnabled(true);
}

// Opens within the free area of the owner's screen, buttons and all, and
// where it has room, as large as the views would be, every row of the
// breakdown shown.
void CResultsDlg::FitScreen() { ResizeWithinScreen(this, size().expandedTo(sizeHint())); }

// Wide enough to read the report's lines without scrolling (a chain's name
// each stage), where the screen has room; but for the circuit as built,
// whose line grows with each of its fields and is said above the tabs too.
// Laid out by now, the field knows its room.
void CResultsDlg::WidenToReport() {
  const QFontMetrics metrics(m_editResults->font());
  const QString built = FromCp1252(kBuiltCircuitLead);
  int longest = 0;
  for (const QString& line : ReportText().split(QLatin1Char('\n')))
    if (!line.startsWith(built)) longest = std::max(longest, metrics.horizontalAdvance(line));
  const int room =
      m_editResults->viewport()->width() - 2 * static_cast<int>(m_editResults->document()->documentMargin());
  if (longest <= room) return;
  resize(width() + longest - room + metrics.averageCharWidth(), height());
  FitScreen();
}

void CResultsDlg::AddViews(const NoiseResult& result, const CalculatorForm& form, const PartLibrary& library,
                           std::optional<Measurement>* measurement) {
  const Weighting weighting = SessionWeighting();
  m_breakdown = new CBreakdownView(result, weighting, this);
  AddView(m_breakdown, "breakdownTab", QStringLiteral("&Breakdown"));
  const auto applyFit = [this](const NoiseFit& fit) {
    m_appliedFit = fit;
    accept();
  };
  m_spectrum = new CSpectrumView(result, weighting, this,
                                 measurement ? MeasurementHost{measurement, applyFit} : MeasurementHost{});
  AddView(m_spectrum, "spectrumTab", QStringLiteral("S&pectrum"));
  m_comparison = new CComparisonView(
      result, form, library, weighting, [this](const std::string& name) { OnChoosePart(name); }, this);
  AddView(m_comparison, "comparisonTab", QStringLiteral("&Comparison"));
  m_figures = new CFiguresView(result, weighting, this);
  AddView(m_figures, "figuresTab", QStringLiteral("&Figures"));
}

// The comparison ranks the library's parts in one stage; a chain has none
// to rank them in.
void CResultsDlg::AddViews(const ChainCalculation& result) {
  const Weighting weighting = SessionWeighting();
  m_breakdown = new CBreakdownView(result, weighting, this);
  AddView(m_breakdown, "breakdownTab", QStringLiteral("&Breakdown"));
  m_spectrum = new CSpectrumView(result, weighting, this);
  AddView(m_spectrum, "spectrumTab", QStringLiteral("S&pectrum"));
  m_figures = new CFiguresView(result, weighting, this);
  AddView(m_figures, "figuresTab", QStringLiteral("&Figures"));
}

// Above the tabs, since it applies to all the views (a stage's report is
// the band's).
void CResultsDlg::AddWeightingChoice() {
  m_weighting = new QComboBox(this);
  SetNames(m_weighting, QStringLiteral("weightingCombo"), QStringLiteral("Weighting"));
  for (const WeightingNames& names : kWeightingNames) m_weighting->addItem(FromCp1252(names.label));
  m_weighting->setCurrentIndex(static_cast<int>(WeightingIndex(SessionWeighting())));
  connect(m_weighting, &QComboBox::currentIndexChanged, this, &CResultsDlg::OnWeighting);
  auto* label = new QLabel(QStringLiteral("&Weighting:"), this);
  SetNames(label, QStringLiteral("weightingLabel"), QStringLiteral("Weighting"));
  label->setBuddy(m_weighting);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(m_weighting);
  row->addStretch();
  static_cast<QVBoxLayout*>(layout())->insertLayout(0, row);
}

// Above the tabs too, so that no view is read without the circuit as built
// in mind; with why it was refused, when it was.
void CResultsDlg::AddBuiltCircuitLine(const NoiseResult& result) {
  const std::optional<std::string> line = BuiltCircuitLine(result.inputs);
  if (!line) return;
  QString text = FromCp1252(*line);
  if (const std::optional<std::string> refusal = BuiltCircuitRefusal(result))
    text += QLatin1Char('\n') + FromCp1252(*refusal);
  auto* label = new QLabel(text, this);
  SetNames(label, QStringLiteral("builtCircuitLine"), QStringLiteral("Circuit as built"));
  label->setWordWrap(true);
  static_cast<QVBoxLayout*>(layout())->insertWidget(1, label);
}

void CResultsDlg::OnWeighting() {
  const Weighting weighting = kWeightings[static_cast<std::size_t>(m_weighting->currentIndex())];
  SessionWeighting() = weighting;
  m_breakdown->SetWeighting(weighting);
  m_spectrum->SetWeighting(weighting);
  if (m_comparison) m_comparison->SetWeighting(weighting);
  m_figures->SetWeighting(weighting);
  if (m_reportOf) {
    m_strResults = m_reportOf(weighting);
    m_editResults->setPlainText(ReportText());
  }
}

void CResultsDlg::AddButtons() {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (const auto& [name, text, run] : {std::tuple{"saveAsButton", "Save &As...", &CResultsDlg::OnSaveAs},
                                        std::tuple{"savePdfButton", "Save P&DF...", &CResultsDlg::OnSavePdf}}) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    SetNames(button, QString::fromLatin1(name), QString::fromLatin1(text).remove(QLatin1Char('&')));
    // Enter belongs to the report: it closes the window.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, run);
    row->addWidget(button);
  }
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void CResultsDlg::AddView(QWidget* view, const char* objectName, const QString& title) {
  SetNames(view, objectName, QString(title).remove(QLatin1Char('&')));
  m_ui->viewTabs->addTab(view, title);
}

void CResultsDlg::OnChoosePart(const std::string& name) {
  m_chosenPart = name;
  accept();
}

void CResultsDlg::showEvent(QShowEvent* event) {
  const bool first = !m_initialised;
  if (first) OnInitDialog();
  QDialog::showEvent(event);
  if (first) KeepOnScreen(this);
}

void CResultsDlg::OnInitDialog() {
  m_initialised = true;
  // The report's lines end with CR LF; the field shows lines, so the pair
  // becomes one line break and no stray CR is drawn.
  m_editResults->setPlainText(ReportText());
  m_editResults->setFocus();
  WidenToReport();
}

QString CResultsDlg::ReportText() const {
  return FromCp1252(m_strResults).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void CResultsDlg::OnSaveAs() {
  if (auto* view = dynamic_cast<CSavableView*>(m_ui->viewTabs->currentWidget())) {
    view->SaveAs();
    return;
  }
  const QString path = AskSaveFileName(this, QStringLiteral("Save Report"), QStringLiteral("noise-report.txt"),
                                       QStringLiteral("Text (*.txt)"));
  if (!path.isEmpty()) SaveFile(this, path, ReportText().toUtf8());
}

void CResultsDlg::OnSavePdf() {
  const QString path = AskSaveFileName(this, QStringLiteral("Save PDF"), QStringLiteral("noise-calculation.pdf"),
                                       QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  PdfPage page;
  page.date = QDate::currentDate().toString(Qt::ISODate);
  page.report = ReportText();
  m_page(page, SessionWeighting());
  page.spectrum = m_spectrum->FullPlot();
  SaveFile(this, path, [&page](QIODevice& file) { return WritePdfPage(file, page); });
}

bool CResultsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_editResults && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace tervane::ui
