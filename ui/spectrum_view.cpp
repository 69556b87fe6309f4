#include "ui/spectrum_view.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <vector>

#include "noise/noise_source.h"
#include "noise/noise_spectrum.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

// Smooth at any width the window is likely to have, over five decades.
constexpr std::size_t kSpectrumPoints = 241;
// The plot is in nV/√Hz: its axis then reads in plain numbers.
constexpr double kPlotPerVolt = 1e9;

const QString kNoSpectrum = QStringLiteral(
    "No spectrum: a source's noise power is negative somewhere in the range (a negative resistor, temperature "
    "or corner).");
const QString kSilentStage = QStringLiteral("No spectrum: the stage makes no noise at all.");

using Curve = QList<QPointF>;

// One density of every point, in the plot's unit: the total, or a source's.
template <class Pick>
Curve CurveOf(const std::vector<SpectrumPoint>& spectrum, Pick pick) {
  Curve curve;
  curve.reserve(static_cast<qsizetype>(spectrum.size()));
  for (const SpectrumPoint& point : spectrum) curve.append({point.frequency, pick(point) * kPlotPerVolt});
  return curve;
}

// A log axis has no place for zero.
bool Drawable(const Curve& curve) {
  return std::all_of(curve.begin(), curve.end(), [](const QPointF& p) { return p.y() > 0; });
}

struct NamedCurve {
  QString name;
  Curve curve;
  Qt::PenStyle style = Qt::SolidLine;
};

// Sources often lie on one another (R1 and R2 of a gain of 2 always do);
// a dash pattern of each lets the one beneath show through.
constexpr std::array<Qt::PenStyle, kStageSourceCount> kSourceStyles{
    Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashLine, Qt::DashDotDotLine};

struct Decades {
  double lower = 0;
  double upper = 0;
};

// The whole decades that hold every curve.
Decades DecadesOf(const std::vector<NamedCurve>& curves) {
  double lowest = HUGE_VAL;
  double highest = 0;
  for (const NamedCurve& named : curves)
    for (const QPointF& p : named.curve) {
      lowest = std::min(lowest, p.y());
      highest = std::max(highest, p.y());
    }
  const double lower = std::pow(10.0, std::floor(std::log10(lowest)));
  const double upper = std::pow(10.0, std::ceil(std::log10(highest)));
  return {lower, upper > lower ? upper : lower * 10};
}

QLogValueAxis* LogAxis(const QString& title, double lower, double upper) {
  auto* axis = new QLogValueAxis;
  axis->setBase(10);
  axis->setTitleText(title);
  axis->setLabelFormat(QStringLiteral("%g"));
  axis->setMinorTickCount(8);
  axis->setRange(lower, upper);
  return axis;
}

QLineSeries* AddLine(QChart* chart, const NamedCurve& named, qreal width) {
  auto* series = new QLineSeries;
  series->setName(named.name);
  series->replace(named.curve);
  chart->addSeries(series);
  // The theme gives a series its colour as it joins the chart.
  QPen pen = series->pen();
  pen.setWidthF(width);
  pen.setStyle(named.style);
  series->setPen(pen);
  return series;
}

// The band as a translucent rectangle over the plot's full height.
QAreaSeries* BandSeries(const NoiseResult& result, const Decades& decades) {
  auto* band = new QAreaSeries;
  // An area does not own its edges; as its children they go with it.
  auto* top = new QLineSeries(band);
  top->append({{result.lowerFreq, decades.upper}, {result.upperFreq, decades.upper}});
  auto* bottom = new QLineSeries(band);
  bottom->append({{result.lowerFreq, decades.lower}, {result.upperFreq, decades.lower}});
  band->setUpperSeries(top);
  band->setLowerSeries(bottom);
  band->setName(
      QStringLiteral("Band %1 to %2")
          .arg(EngText(result.lowerFreq, QStringLiteral("Hz")), EngText(result.upperFreq, QStringLiteral("Hz"))));
  band->setPen(Qt::NoPen);
  band->setBrush(QColor(70, 130, 220, 40));
  return band;
}

struct Plot {
  std::vector<NamedCurve> curves;  // the total first, then the sources with noise
  QStringList silent;              // the topology's sources without noise
};

Plot PlotOf(const NoiseResult& result, const std::vector<SpectrumPoint>& spectrum) {
  Plot plot;
  plot.curves.push_back({QStringLiteral("Total"), CurveOf(spectrum, [](const SpectrumPoint& p) { return p.total; })});
  for (std::size_t i = 0; i < kStageSourceCount; ++i) {
    const auto source = static_cast<NoiseSource>(i);
    if (!TopologyHasSource(result.ampType, source)) continue;
    NamedCurve named{FromCp1252(NoiseSourceLabel(source)),
                     CurveOf(spectrum, [i](const SpectrumPoint& p) { return p.density[i]; }), kSourceStyles[i]};
    if (Drawable(named.curve))
      plot.curves.push_back(std::move(named));
    else
      plot.silent << named.name;
  }
  return plot;
}

QChart* ChartOf(const NoiseResult& result, const Plot& plot) {
  const Decades decades = DecadesOf(plot.curves);
  const SpectrumRange range = SpectrumRangeOf(result);

  auto* chart = new QChart;
  // Drawn in the order added: the band under every curve, the total over
  // the sources.
  chart->addSeries(BandSeries(result, decades));
  for (auto source = std::next(plot.curves.begin()); source != plot.curves.end(); ++source)
    AddLine(chart, *source, 1.5);
  AddLine(chart, plot.curves.front(), 3)->setColor(Qt::black);

  QLogValueAxis* x = LogAxis(QStringLiteral("Frequency (Hz)"), range.lower, range.upper);
  QLogValueAxis* y = LogAxis(QStringLiteral("Output noise density (nV/√Hz)"), decades.lower, decades.upper);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  chart->legend()->setAlignment(Qt::AlignRight);
  chart->setBackgroundRoundness(0);
  chart->layout()->setContentsMargins(0, 0, 0, 0);  // the chart fills its view
  return chart;
}

}  // namespace

CSpectrumView::CSpectrumView(const NoiseResult& result, QWidget* parent) : QWidget(parent) {
  if (result.error) {
    ShowUnavailable(this, FailedCalculationText());
    return;
  }
  const std::optional<std::vector<SpectrumPoint>> spectrum = NoiseSpectrum(result, kSpectrumPoints);
  if (!spectrum) {
    ShowUnavailable(this, kNoSpectrum);
    return;
  }
  const Plot plot = PlotOf(result, *spectrum);
  if (!Drawable(plot.curves.front().curve)) {
    ShowUnavailable(this, kSilentStage);
    return;
  }

  auto* layout = new QVBoxLayout(this);
  auto* view = new QChartView(ChartOf(result, plot), this);
  SetNames(view, "spectrumChart", QStringLiteral("Output noise spectrum"));
  view->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(view);
  if (!plot.silent.isEmpty()) {
    const QString text =
        QStringLiteral("Without noise here, not drawn: %1.").arg(plot.silent.join(QStringLiteral(", ")));
    auto* note = new QLabel(text, this);
    SetNames(note, "silentSourcesLabel", text);
    note->setWordWrap(true);
    layout->addWidget(note);
  }
}

}  // namespace tervane::ui
