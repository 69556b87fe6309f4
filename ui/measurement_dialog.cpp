#include "ui/measurement_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <filesystem>

#include "form/form_calculation.h"
#include "measured/spectrum_reader.h"
#include "notation/eng_parse.h"
#include "parts/file_check.h"
#include "ui/file_save.h"
#include "ui/qt_text.h"
#include "ui/view_support.h"

namespace tervane::ui {
namespace {

// The preview shows the head of the file: enough lines to see its header
// and columns, never more bytes than a glance needs.
constexpr int kPreviewLines = 20;
constexpr qint64 kPreviewBytes = 4096;

// The head of the file as text to look at: cut at kPreviewLines, control
// characters but tabs shown as U+FFFD, so that a binary file cannot upset
// the field. A file that is no regular file is not opened (a pipe would
// keep the window waiting); the reading says why.
QString PreviewOf(const QString& path) {
  if (!NotAFileReason(std::filesystem::path(path.toStdU16String())).empty()) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.read(kPreviewBytes));
  text.remove(QLatin1Char('\r'));
  QStringList lines = text.split(QLatin1Char('\n')).mid(0, kPreviewLines);
  for (QString& line : lines)
    for (QChar& c : line)
      if (c.category() == QChar::Other_Control && c != QLatin1Char('\t')) c = QChar::ReplacementCharacter;
  return lines.join(QLatin1Char('\n'));
}

QString WindowItem(const AnalyserWindow& window) {
  return QStringLiteral("%1 (%2 bins)").arg(FromCp1252(window.key), QString::number(window.enbwBins));
}

// A column as typed: empty when blank.
std::optional<ColumnChoice> ColumnOf(const QLineEdit* edit) {
  const QString text = edit->text().trimmed();
  if (text.isEmpty()) return std::nullopt;
  // A header is matched as the file holds it, in UTF-8.
  return ColumnChoiceOf(text.toStdString());
}

}  // namespace

CMeasurementDlg::CMeasurementDlg(QWidget* parent, const QString& path, bool askSourceResistor)
    : QDialog(parent), m_path(path) {
  setObjectName(QStringLiteral("MeasurementDialog"));
  setWindowTitle(QStringLiteral("Add Measurement"));
  auto* layout = new QVBoxLayout(this);
  // The name alone: the folder is where the file dialog was; the whole path
  // is the label's tooltip.
  auto* fileLabel = new QLabel(QFileInfo(path).fileName(), this);
  fileLabel->setToolTip(QDir::toNativeSeparators(path));
  SetNames(fileLabel, QStringLiteral("measurementFileLabel"), QStringLiteral("File"));
  fileLabel->setWordWrap(true);
  layout->addWidget(fileLabel);
  m_preview = new QPlainTextEdit(this);
  SetNames(m_preview, QStringLiteral("measurementPreview"), QStringLiteral("The file's first lines"));
  m_preview->setReadOnly(true);
  m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_preview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_preview->setMinimumHeight(8 * m_preview->fontMetrics().height());
  layout->addWidget(m_preview);

  auto* form = new QFormLayout;
  const auto add = [&](QWidget* field, const char* name, const QString& caption) {
    const QString plain = QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':'));
    SetNames(field, QString::fromLatin1(name), plain);
    auto* label = new QLabel(caption, this);
    SetNames(label, QString::fromLatin1(name) + QStringLiteral("Label"), plain);
    label->setBuddy(field);
    form->addRow(label, field);
  };
  m_unit = new QComboBox(this);
  for (const DensityUnitName& unit : kDensityUnits) m_unit->addItem(UnitText(unit.key));
  add(m_unit, "measurementUnitCombo", QStringLiteral("&Unit:"));
  m_binWidth = new QLineEdit(this);
  add(m_binWidth, "binWidthEdit", QStringLiteral("&Bin width (Hz):"));
  m_window = new QComboBox(this);
  for (const AnalyserWindow& window : kAnalyserWindows) m_window->addItem(WindowItem(window));
  m_window->addItem(QStringLiteral("Other, in bins:"));
  m_window->setCurrentIndex(1);  // Hann: what most analysers use for noise
  m_window->setToolTip(QStringLiteral("The window's equivalent noise bandwidth, in bins"));
  m_enbw = new QLineEdit(this);
  SetNames(m_enbw, QStringLiteral("enbwEdit"), QStringLiteral("Equivalent noise bandwidth in bins"));
  auto* windowRow = new QHBoxLayout;
  windowRow->addWidget(m_window);
  windowRow->addWidget(m_enbw);
  SetNames(m_window, QStringLiteral("windowCombo"), QStringLiteral("Window"));
  auto* windowLabel = new QLabel(QStringLiteral("&Window:"), this);
  SetNames(windowLabel, QStringLiteral("windowComboLabel"), QStringLiteral("Window"));
  windowLabel->setBuddy(m_window);
  form->addRow(windowLabel, windowRow);
  m_frequencyColumn = new QLineEdit(this);
  m_frequencyColumn->setPlaceholderText(QStringLiteral("number or header name"));
  m_frequencyColumn->setToolTip(QStringLiteral("Blank, with the noise's blank too, for a file of two columns"));
  add(m_frequencyColumn, "frequencyColumnEdit", QStringLiteral("&Frequency column:"));
  m_noiseColumn = new QLineEdit(this);
  m_noiseColumn->setPlaceholderText(m_frequencyColumn->placeholderText());
  m_noiseColumn->setToolTip(m_frequencyColumn->toolTip());
  add(m_noiseColumn, "noiseColumnEdit", QStringLiteral("&Noise column:"));
  m_referred = new QComboBox(this);
  m_referred->addItems({QStringLiteral("Output"), QStringLiteral("Input (divided by the gain)")});
  add(m_referred, "referredCombo", QStringLiteral("&Referred to:"));
  if (askSourceResistor) {
    m_sourceResistorEdit = new QLineEdit(this);
    m_sourceResistorEdit->setToolTip(QStringLiteral("The source resistor the stage had when this was measured"));
    add(m_sourceResistorEdit, "measurementRsEdit", QStringLiteral("&Source resistor (%1):").arg(UnitText("ohms")));
  }
  layout->addLayout(form);

  m_fault = new QLabel(this);
  SetNames(m_fault, QStringLiteral("measurementFaultLabel"), QStringLiteral("Why the file cannot be read"));
  m_fault->setWordWrap(true);
  m_fault->setStyleSheet(QStringLiteral("color: #b00020"));
  layout->addWidget(m_fault);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMeasurementDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CMeasurementDlg::reject);
  layout->addWidget(buttons);

  connect(m_unit, &QComboBox::currentIndexChanged, this, &CMeasurementDlg::OnUnit);
  connect(m_window, &QComboBox::currentIndexChanged, this, &CMeasurementDlg::OnUnit);
  OnUnit();
  m_preview->setPlainText(PreviewOf(path));
}

// The bin width and the window only mean something for a reading per bin,
// a number of bins only for a window of another kind.
void CMeasurementDlg::OnUnit() {
  const bool perBin = IsPerBin(kDensityUnits[static_cast<std::size_t>(m_unit->currentIndex())].unit);
  m_binWidth->setEnabled(perBin);
  m_window->setEnabled(perBin);
  m_enbw->setEnabled(perBin && static_cast<std::size_t>(m_window->currentIndex()) == kAnalyserWindows.size());
}

std::optional<NoiseUnit> CMeasurementDlg::UnitChosen(QString& fault) const {
  NoiseUnit unit{kDensityUnits[static_cast<std::size_t>(m_unit->currentIndex())].unit};
  if (!IsPerBin(unit.unit)) return unit;
  const EngReading width = ReadEngValue(ToCp1252(m_binWidth->text()));
  unit.binWidth = width.partUnread ? 0 : width.value;
  const auto chosen = static_cast<std::size_t>(m_window->currentIndex());
  if (chosen < kAnalyserWindows.size()) {
    unit.enbwBins = kAnalyserWindows[chosen].enbwBins;
  } else {
    const EngReading bins = ReadEngValue(ToCp1252(m_enbw->text()));
    unit.enbwBins = bins.partUnread ? 0 : bins.value;
  }
  if (const std::string why = NoiseUnitFault(unit); !why.empty()) {
    fault = FromCp1252(why);
    return std::nullopt;
  }
  return unit;
}

void CMeasurementDlg::accept() {
  if (m_sourceResistorEdit) {
    m_sourceResistor = ReadSourceResistor(ToCp1252(m_sourceResistorEdit->text()));
    if (!m_sourceResistor) {
      m_fault->setText(QStringLiteral("Source resistor: \"%1\" is not a resistance of 0 %2 or more.")
                           .arg(m_sourceResistorEdit->text(), UnitText("ohms")));
      return;
    }
  }
  QString fault;
  const std::optional<NoiseUnit> unit = UnitChosen(fault);
  if (!unit) {
    m_fault->setText(fault);
    return;
  }
  ReadOptions options{*unit, std::nullopt, m_referred->currentIndex() == 1 ? Referred::kInput : Referred::kOutput};
  const std::optional<ColumnChoice> frequency = ColumnOf(m_frequencyColumn), noise = ColumnOf(m_noiseColumn);
  if (frequency.has_value() != noise.has_value()) {
    m_fault->setText(QStringLiteral("Name both columns, or neither for a file of two."));
    return;
  }
  if (frequency) options.columns = std::pair(*frequency, *noise);
  MeasuredReading reading = ReadMeasuredFile(std::filesystem::path(m_path.toStdU16String()), options);
  if (!reading.spectrum) {
    const QString reason = FromCp1252(reading.reason);
    m_fault->setText(reading.line ? QStringLiteral("line %1: %2").arg(reading.line).arg(reason) : reason);
    return;
  }
  m_read = Measurement{{m_path.toStdString(), options}, std::move(*reading.spectrum)};
  QDialog::accept();
}

std::unique_ptr<CMeasurementDlg> AskMeasurement(QWidget* parent, bool askSourceResistor) {
  const QString path = AskOpenFileName(parent, QStringLiteral("Add Measurement"),
                                       QStringLiteral("Measured spectra (*.csv *.txt *.tsv *.dat);;All files (*)"));
  if (path.isEmpty()) return nullptr;
  auto dialog = std::make_unique<CMeasurementDlg>(parent, path, askSourceResistor);
  if (dialog->exec() != QDialog::Accepted) return nullptr;
  RememberFolder(path);
  return dialog;
}

}  // namespace tervane::ui
