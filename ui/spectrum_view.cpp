#include "ui/spectrum_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "form/chain_text.h"
#include "form/figure_text.h"
#include "form/measured_text.h"
#include "form/noise_report.h"
#include "form/result_csv.h"
#include "noise/noise_breakdown.h"
#include "noise/noise_source.h"
#include "noise/noise_spectrum.h"
#include "notation/cp1252.h"
#include "ui/dialog_units.h"
#include "ui/file_save.h"
#include "ui/fit_dialog.h"
#include "ui/log_log_plot.h"
#include "ui/qt_text.h"
#include "ui/residual_strip.h"
#include "ui/view_commands.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

// Smooth at any width the window is likely to have, over five decades.
constexpr std::size_t kSpectrumPoints = 241;

// The formats "Save As..." writes, by suffix, in the order of their filters.
const QStringList kSaveFormats{QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("csv")};
const QStringList kSaveFilters{QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                               QStringLiteral("CSV data (*.csv)")};

using Curve = QList<QPointF>;

// One density of every point, in the plot's unit: the total, or a source's
// or a stage's.
template <class Point, class Pick>
Curve CurveOf(const std::vector<Point>& spectrum, Pick pick) {
  Curve curve;
  curve.reserve(static_cast<qsizetype>(spectrum.size()));
  for (const Point& point : spectrum) curve.append({point.frequency, pick(point)});
  return curve;
}

// A log axis has no place for zero.
bool Drawable(const Curve& curve) {
  return std::all_of(curve.begin(), curve.end(), [](const QPointF& p) { return p.y() > 0; });
}

// Sources often lie on one another (R1 and R2 of a gain of 2 always do);
// a dash pattern of each lets the one beneath show through. The
// correlation, which takes power away, is drawn as its magnitude, dashed.
constexpr Qt::PenStyle kSourceStyles[] = {Qt::SolidLine, Qt::DashLine,       Qt::DotLine,   Qt::DashDotLine,
                                          Qt::DashLine,  Qt::DashDotDotLine, Qt::DotLine,   Qt::DashDotLine,
                                          Qt::DotLine,   Qt::DashLine,       Qt::SolidLine, Qt::SolidLine,
                                          Qt::SolidLine, Qt::SolidLine,      Qt::SolidLine, Qt::DashLine,
                                          Qt::DotLine};
constexpr QRgb kSourceColors[] = {0x209fdf, 0x99ca53, 0xf6a625, 0x6d5fd5, 0xbf593e, 0x38ad6b,
                                  0xd0509a, 0x8c6d31, 0x5b8fa8, 0x7f7f7f, 0x557a1f, 0xb8860b,
                                  0x8b3a62, 0x2f4f9f, 0xa0522d, 0x1b9e9e, 0xc0392b};
static_assert(std::size(kSourceStyles) == kStageSourceCount && std::size(kSourceColors) == kStageSourceCount);

struct Decades {
  double lower = 0;
  double upper = 0;
};

// The whole decades that hold every curve.
Decades DecadesOf(const std::vector<PlotCurve>& curves) {
  double lowest = HUGE_VAL;
  double highest = 0;
  for (const PlotCurve& curve : curves)
    for (const QPointF& p : curve.points) {
      lowest = std::min(lowest, p.y());
      highest = std::max(highest, p.y());
    }
  const double lower = std::pow(10.0, std::floor(std::log10(lowest)));
  const double upper = std::pow(10.0, std::ceil(std::log10(highest)));
  return {lower, upper > lower ? upper : lower * 10};
}

struct Curves {
  std::vector<PlotCurve> drawn;  // the total, then the sources or stages with noise
  QStringList silent;            // the sources or stages without noise
};

// The stage's sources in the breakdown's order, largest share first, so
// that the legend reads like the breakdown; in their own order when there
// is no breakdown.
std::vector<NoiseSource> SourcesByShare(const NoiseResult& result) {
  std::vector<NoiseSource> sources;
  if (const std::optional<NoiseBreakdown> breakdown = BreakdownNoise(result))
    for (const NoiseContribution& row : breakdown->contributions)
      if (SourceIndex(row.source) < kStageSourceCount) sources.push_back(row.source);
  if (sources.empty()) sources = TopologySources(result.inputs);
  return sources;
}

// First, so that it is listed first and drawn under the others: bold, it
// shows round a source that makes all of it.
template <class Point>
Curves WithTotal(const std::vector<Point>& spectrum) {
  return {{{QStringLiteral("Total"), CurveOf(spectrum, [](const Point& p) { return p.total; }), Qt::black, 3}}, {}};
}

// Drawn, or named among the silent.
void Add(Curves& curves, PlotCurve curve) {
  if (Drawable(curve.points))
    curves.drawn.push_back(std::move(curve));
  else
    curves.silent << curve.name;
}

Curves CurvesOf(const NoiseResult& result, const std::vector<SpectrumPoint>& spectrum) {
  Curves curves = WithTotal(spectrum);
  for (const NoiseSource source : SourcesByShare(result)) {
    const std::size_t i = SourceIndex(source);
    PlotCurve curve{FromCp1252(NoiseSourceLabel(source)),
                    CurveOf(spectrum, [i](const SpectrumPoint& p) { return std::fabs(p.density[i]); }),
                    QColor(kSourceColors[i]), 1.5, kSourceStyles[i]};
    if (IsSigned(source)) curve.name += QStringLiteral(" (magnitude)");
    Add(curves, std::move(curve));
  }
  return curves;
}

// A curve per stage, in the chain's order and the sources' pens.
Curves CurvesOf(const ChainCalculation& result, const std::vector<ChainSpectrumPoint>& spectrum) {
  Curves curves = WithTotal(spectrum);
  for (std::size_t k = 0; k < result.chain.stages.size(); ++k)
    Add(curves, {FromCp1252(StageName(result, k)),
                 CurveOf(spectrum, [k](const ChainSpectrumPoint& p) { return p.stages[k]; }),
                 QColor(kSourceColors[k % kStageSourceCount]), 1.5, kSourceStyles[k % kStageSourceCount]});
  return curves;
}

LogLogPlot PlotOf(const StageInputs& band, std::vector<PlotCurve> curves) {
  const Decades decades = DecadesOf(curves);
  const SpectrumRange range = SpectrumRangeOf(band);
  LogLogPlot plot;
  plot.xMin = range.lower;
  plot.xMax = range.upper;
  plot.yMin = decades.lower;
  plot.yMax = decades.upper;
  plot.xTitle = QStringLiteral("Frequency (Hz)");
  plot.yTitle = QStringLiteral("Output noise density (V/√Hz)");
  plot.xUnit = QStringLiteral("Hz");
  plot.yUnit = QStringLiteral("V/√Hz");
  plot.shadeFrom = band.lowerFreq;
  plot.shadeTo = band.upperFreq;
  plot.shadeName = QStringLiteral("Band %1 to %2")
                       .arg(EngText(band.lowerFreq, QStringLiteral("Hz")), EngText(band.upperFreq, QStringLiteral("Hz")));
  plot.curves = std::move(curves);
  return plot;
}

// The total read through `weighting`, over the band alone: far outside it a
// curve falls away by decades that would squeeze the rest of the plot.
PlotCurve WeightedTotalOf(const StageInputs& band, const PlotCurve& total, Weighting weighting) {
  PlotCurve curve{QStringLiteral("Total, %1-weighted").arg(FromCp1252(NamesOf(weighting).label)), {},
                  QColor(0xc0392b), 2.5, Qt::SolidLine};
  for (const QPointF& p : total.points)
    if (p.x() >= band.lowerFreq && p.x() <= band.upperFreq)
      curve.points.append({p.x(), p.y() * std::sqrt(WeightingPowerGain(weighting, p.x()))});
  return curve;
}

const QString kMeasuredName = QStringLiteral("Measured");

// The measurement at the stage's output, thin over the model, within the
// plot's range: points beyond it would only stretch the density axis.
PlotCurve MeasuredCurveOf(const std::vector<OverlayPoint>& overlay, const StageInputs& band) {
  const SpectrumRange range = SpectrumRangeOf(band);
  PlotCurve curve{kMeasuredName, {}, QColor(kMeasuredColor), 1, Qt::SolidLine};
  for (const OverlayPoint& p : overlay)
    if (p.frequency >= range.lower && p.frequency <= range.upper) curve.points.append({p.frequency, p.measured});
  return curve;
}

QString UnavailableText(std::optional<SpectrumFault> fault) {
  return FromCp1252(SpectrumFaultText(fault.value_or(SpectrumFault::kCalculationFailed)));
}

}  // namespace

CSpectrumView::CSpectrumView(const NoiseResult& result, Weighting weighting, QWidget* parent, MeasurementHost host)
    : QWidget(parent) {
  if (result.outcome.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  std::optional<std::vector<SpectrumPoint>> spectrum = NoiseSpectrum(result, kSpectrumPoints);
  if (!spectrum) {
    ShowUnavailable(this, UnavailableText(SpectrumFaultOf(result, kSpectrumPoints)));
    return;
  }
  Curves curves = CurvesOf(result, *spectrum);
  const std::optional<std::string> carry = CarryNote(result);
  m_csv = [this, result, spectrum = std::move(*spectrum)] {
    return m_overlay ? OverlayCsv(*m_overlay, result) : SpectrumCsv(spectrum, result);
  };
  Show(result.inputs, std::move(curves.drawn), curves.silent,
       carry ? std::optional(*carry + " The total includes it.") : std::nullopt, weighting);
  m_result = result;
  AddMeasurement(
      std::move(host), [result](const MeasuredSpectrum& s) { return OverlayOf(result, s); },
      [inputs = result.inputs](const MeasuredSpectrum& s) { return CompareOverBand(s, inputs); });
}

CSpectrumView::CSpectrumView(const ChainCalculation& result, Weighting weighting, QWidget* parent,
                             MeasurementHost host)
    : QWidget(parent) {
  const ChainResult& chain = result.chain;
  if (chain.failure) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  std::optional<std::vector<ChainSpectrumPoint>> spectrum = ChainSpectrum(chain, kSpectrumPoints);
  if (!spectrum) {
    ShowUnavailable(this, UnavailableText(ChainSpectrumFault(chain, kSpectrumPoints)));
    return;
  }
  Curves curves = CurvesOf(result, *spectrum);
  m_csv = [this, chain, spectrum = std::move(*spectrum)] {
    return m_overlay ? ChainOverlayCsv(*m_overlay, chain) : ChainSpectrumCsv(spectrum);
  };
  // The chain's band and range are its first stage's.
  Show(chain.stages.front().inputs, std::move(curves.drawn), curves.silent, std::nullopt, weighting);
  AddMeasurement(
      std::move(host), [chain](const MeasuredSpectrum& s) { return OverlayOf(chain, s); },
      [chain](const MeasuredSpectrum& s) { return CompareOverBand(s, chain); });
}

void CSpectrumView::AddMeasurement(MeasurementHost host, OverlayFn overlayOf, CompareFn compareOf) {
  if (!host.measurement || m_curves.empty()) return;
  m_host = std::move(host);
  m_overlayOf = std::move(overlayOf);
  m_compareOf = std::move(compareOf);
  AddMeasurementCommands();
  ShowMeasurement();
}

// The plot, and under it the note and what was not drawn.
void CSpectrumView::Show(const StageInputs& band, std::vector<PlotCurve> drawn, const QStringList& silent,
                         const std::optional<std::string>& note, Weighting weighting) {
  if (!Drawable(drawn.front().points)) {
    ShowUnavailable(this, FromCp1252(kSilentSpectrumText));
    return;
  }
  auto* layout = new QVBoxLayout(this);
  m_band = band;
  m_curves = std::move(drawn);
  SetWeighting(weighting);
  if (note) {
    auto* label = new QLabel(FromCp1252(*note), this);
    SetNames(label, "carryNoteLabel", label->text());
    label->setWordWrap(true);
    layout->addWidget(label);
  }
  if (!silent.isEmpty()) {
    const QString text = QStringLiteral("Without noise here, not drawn: %1.").arg(silent.join(QStringLiteral(", ")));
    auto* label = new QLabel(text, this);
    SetNames(label, "silentSourcesLabel", text);
    label->setWordWrap(true);
    layout->addWidget(label);
  }
}

void CSpectrumView::SetWeighting(Weighting weighting) {
  if (m_curves.empty()) return;
  m_weighting = weighting;
  std::vector<PlotCurve> curves = m_curves;
  if (m_overlay) {
    PlotCurve measured = MeasuredCurveOf(*m_overlay, m_band);
    if (measured.points.size() > 1) curves.push_back(std::move(measured));
  }
  if (weighting != Weighting::kNone) {
    PlotCurve weighted = WeightedTotalOf(m_band, m_curves.front(), weighting);
    if (!weighted.points.isEmpty() && Drawable(weighted.points)) curves.insert(curves.begin() + 1, std::move(weighted));
  }
  ShowPlot(std::move(curves));
}

// A new plot in the old one's place, at its whole range.
void CSpectrumView::ShowPlot(std::vector<PlotCurve> curves) {
  auto fullPlot = std::make_unique<LogLogPlot>(PlotOf(m_band, std::move(curves)));
  if (m_overlay) fullPlot->ratio = LogLogPlot::Ratio{kMeasuredName, m_curves.front().name};
  auto* plot = new CLogLogPlotView(*fullPlot, this);
  SetNames(plot, "spectrumPlot", QStringLiteral("Output noise spectrum"));
  AddContextCommand(plot, "copyAction", QStringLiteral("&Copy"),
                    [plot] { QApplication::clipboard()->setImage(plot->Picture()); });
  AddContextCommand(plot, "saveAsAction", QStringLiteral("&Save As..."), [this] { SaveAs(); });
  if (m_host.measurement) {
    if (*m_host.measurement) plot->setMinimumHeight(14 * fontMetrics().height());
    AddContextCommand(plot, "addMeasurementAction", QStringLiteral("&Add Measurement..."),
                      [this] { OnAddMeasurement(); });
    if (*m_host.measurement) {
      AddContextCommand(plot, "removeMeasurementAction", QStringLiteral("&Remove Measurement"),
                        [this] { OnRemoveMeasurement(); });
      if (m_host.applyFit) AddContextCommand(plot, "fitAction", QStringLiteral("&Fit..."), [this] { OnFit(); });
    }
  }
  auto* column = static_cast<QVBoxLayout*>(layout());
  if (m_plot) {
    delete column->replaceWidget(m_plot, plot);  // the layout item handed back is ours to delete
    delete m_plot;  // before the plot it draws goes
  } else {
    column->insertWidget(0, plot);
  }
  m_plot = plot;
  m_fullPlot = std::move(fullPlot);
  if (m_residual) m_residual->Follow(plot);
}

// Under the plot: the residual strip where it is asked for, the band's
// totals, and a row of the commands with the measurement's name.
void CSpectrumView::AddMeasurementCommands() {
  auto* column = static_cast<QVBoxLayout*>(layout());
  m_bandTable = new QTableWidget(this);
  SetNames(m_bandTable, QStringLiteral("bandComparisonTable"), QStringLiteral("Measured and model totals"));
  m_bandTable->verticalHeader()->hide();
  SetUpReadOnlyTable(m_bandTable);
  AddTableCommands(m_bandTable);
  m_bandTable->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  column->addWidget(m_bandTable);
  m_bandNote = new QLabel(this);
  SetNames(m_bandNote, QStringLiteral("measuredBandNoteLabel"), QStringLiteral("Measured band"));
  m_bandNote->setWordWrap(true);
  column->addWidget(m_bandNote);

  auto* row = new QHBoxLayout;
  m_measurementLabel = new QLabel(this);
  SetNames(m_measurementLabel, QStringLiteral("measurementLabel"), QStringLiteral("Measurement"));
  row->addWidget(m_measurementLabel, 1);
  m_residualCheck = new QCheckBox(QStringLiteral("Resi&dual"), this);
  SetNames(m_residualCheck, QStringLiteral("residualCheck"), QStringLiteral("Residual"));
  connect(m_residualCheck, &QCheckBox::toggled, this, [this](bool on) {
    if (m_residual) m_residual->setVisible(on);
  });
  row->addWidget(m_residualCheck);
  const auto button = [&](const char* name, const QString& text, void (CSpectrumView::*run)()) {
    auto* b = new QPushButton(text, this);
    SetNames(b, QString::fromLatin1(name), QString(text).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, run);
    row->addWidget(b);
    return b;
  };
  button("addMeasurementButton", QStringLiteral("Add &Measurement..."), &CSpectrumView::OnAddMeasurement);
  m_removeButton = button("removeMeasurementButton", QStringLiteral("R&emove"), &CSpectrumView::OnRemoveMeasurement);
  if (m_host.applyFit) m_fitButton = button("fitButton", QStringLiteral("F&it..."), &CSpectrumView::OnFit);
  column->addLayout(row);
}

// Everything that follows the measurement, after it is added or removed.
void CSpectrumView::ShowMeasurement() {
  const std::optional<Measurement>& measurement = *m_host.measurement;
  m_overlay = measurement ? m_overlayOf(measurement->spectrum) : std::nullopt;
  QString text;
  if (measurement) {
    text = QStringLiteral("Measured: %1, %2 points")
               .arg(QFileInfo(QString::fromStdString(measurement->reference.file)).fileName())
               .arg(measurement->spectrum.points.size());
    if (measurement->spectrum.zeroHertzLeftOut) text += QStringLiteral(", its 0 Hz bin left out");
    if (!m_overlay) text += QStringLiteral(": cannot be taken to the output");
  }
  m_measurementLabel->setText(text);
  m_removeButton->setEnabled(measurement.has_value());
  if (m_fitButton) m_fitButton->setEnabled(measurement.has_value());
  m_residualCheck->setEnabled(m_overlay.has_value());
  SetWeighting(m_weighting);
  ShowResidual();
  ShowBandComparison();
  // The plot keeps room to be read beside all that (ShowPlot): the window
  // grows, where the screen has room, rather than squeeze it.
  if (measurement) ResizeWithinScreen(window(), window()->size().expandedTo(window()->sizeHint()));
}

void CSpectrumView::ShowResidual() {
  delete m_residual;
  m_residual = nullptr;
  if (!m_overlay) return;
  QList<QPointF> points;
  for (const OverlayPoint& p : *m_overlay)
    if (p.ratioDb) points.append({p.frequency, *p.ratioDb});
  m_residual = new CResidualStrip(std::move(points), m_plot, this);
  SetNames(m_residual, QStringLiteral("residualStrip"), QStringLiteral("Measured over predicted"));
  static_cast<QVBoxLayout*>(layout())->insertWidget(1, m_residual);
  m_residual->setVisible(m_residualCheck->isChecked());
}

// Its rows whole, the plot taking the rest.
void CSpectrumView::ShowBandComparison() {
  const std::optional<Measurement>& measurement = *m_host.measurement;
  const std::optional<BandComparison> comparison =
      measurement ? m_compareOf(measurement->spectrum) : std::nullopt;
  m_bandTable->setVisible(comparison.has_value());
  std::optional<std::string> note;
  if (comparison) {
    FillTable(m_bandTable, BandComparisonTable(*comparison));
    m_bandTable->resizeColumnsToContents();
    m_bandTable->setFixedHeight(m_bandTable->horizontalHeader()->height() + m_bandTable->verticalHeader()->length() +
                                2 * m_bandTable->frameWidth());
    note = PartialBandNote(*comparison, {m_band.lowerFreq, m_band.upperFreq});
  } else if (measurement) {
    note = BandComparisonText(std::nullopt);
  }
  m_bandNote->setText(note ? FromCp1252(*note) : QString());
  m_bandNote->setVisible(note.has_value());
}

void CSpectrumView::OnAddMeasurement() {
  const std::unique_ptr<CMeasurementDlg> dialog = AskMeasurement(this);
  if (!dialog) return;
  *m_host.measurement = dialog->Read();
  ShowMeasurement();
}

void CSpectrumView::OnRemoveMeasurement() {
  m_host.measurement->reset();
  ShowMeasurement();
}

// Fitted in the stage as calculated; "Apply" hands the fit on, which
// closes this window for a new calculation.
void CSpectrumView::OnFit() {
  if (!*m_host.measurement) return;
  CFitDlg dialog(this, **m_host.measurement, m_result);
  if (dialog.exec() == QDialog::Accepted && dialog.Applied() && m_host.applyFit) m_host.applyFit(*dialog.Applied());
}

const LogLogPlot* CSpectrumView::FullPlot() const { return m_fullPlot.get(); }

void CSpectrumView::SaveAs() {
  if (!m_plot) return;
  QString filter;
  QString path = AskSaveFileName(this, QStringLiteral("Save Spectrum"), QStringLiteral("spectrum.png"),
                                 kSaveFilters.join(QStringLiteral(";;")), &filter);
  if (path.isEmpty()) return;
  // The name's own suffix, when it has one of ours, wins over the filter.
  QString format = QFileInfo(path).suffix().toLower();
  if (!kSaveFormats.contains(format)) {
    format = kSaveFormats.value(std::max<qsizetype>(kSaveFilters.indexOf(filter), 0));
    path += QLatin1Char('.') + format;
  }
  SaveTo(path, format);
}

void CSpectrumView::SaveTo(const QString& path, const QString& format) {
  if (format == QLatin1String("svg")) {
    SaveFile(this, path, [this](QIODevice& file) {
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      svg.setSize(m_plot->size());
      svg.setViewBox(m_plot->rect());
      svg.setTitle(m_plot->accessibleName());
      QPainter painter(&svg);
      painter.setFont(m_plot->font());
      DrawLogLogPlot(painter, m_plot->Plot(), m_plot->size());
      return painter.end();
    });
  } else if (format == QLatin1String("png")) {
    SaveFile(this, path, [this](QIODevice& file) { return m_plot->Picture().save(&file, "PNG"); });
  } else {
    SaveFile(this, path, QByteArray::fromStdString(Cp1252ToPrintableUtf8(m_csv())));
  }
}

}  // namespace tervane::ui
