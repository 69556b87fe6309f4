#include "ui/calculator_dialog.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStyle>

#include <algorithm>
#include <filesystem>

#include "form/built_circuit.h"
#include "form/circuit_file.h"
#include "form/corner_estimate.h"
#include "form/form_calculation.h"
#include "form/measured_text.h"
#include "form/noise_report.h"
#include "form/part_selection.h"
#include "form/write_back.h"
#include "measured/spectrum_reader.h"
#include "parts/file_check.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "ui/built_circuit_dialog.h"
#include "ui/chain_dialog.h"
#include "ui/circuit_open.h"
#include "ui/circuit_picture.h"
#include "ui/corner_dialog.h"
#include "ui/dialog_units.h"
#include "ui/file_save.h"
#include "ui/links.h"
#include "ui/part_list.h"
#include "ui/qt_text.h"
#include "ui/radio_group.h"
#include "ui/reading_notes.h"
#include "ui/results_dialog.h"
#include "ui_calculator_dialog.h"

namespace tervane::ui {
namespace {

constexpr std::size_t kCarryField = kFormTextFields.size() - 1;
static_assert(kFormTextFields[kCarryField].member == &CalculatorForm::m_strCarry,
              "the carry field is exchanged last, after the check box");

const QString kExitQuestion = QStringLiteral("Are you certain that you want to exit?");
const QString kAboutItem = QStringLiteral("&About Tervane...");
const QString kSaveCircuitItem = QStringLiteral("&Save Circuit...");
const QString kSaveChainItem = QStringLiteral("&Save Chain...");
const QString kSaveStageItem = QStringLiteral("Save S&tage...");
const QString kOpenCircuitItem = QStringLiteral("&Open Circuit...");
const QString kChainItem = QStringLiteral("&Chain of Stages...");

// The depth the part list drops to, in dialog units.
constexpr int kPartListDropUnits = 220;

// `text` if it fits the label, else as many of its comma-separated parts as
// fit with an ellipsis after them.
QString FittedText(const QLabel* label, const QString& text) {
  const QString separator = QStringLiteral(", ");
  const QStringList parts = text.split(separator);
  QString shown = text;
  for (qsizetype kept = parts.size() - 1; kept > 0 && !FitsLabel(label, shown); --kept)
    shown = parts.mid(0, kept).join(separator) + separator + QChar(0x2026);
  return shown;
}

}  // namespace

CCalculatorDlg::CCalculatorDlg(const std::filesystem::path& partFile) : m_ui(std::make_unique<Ui::CalculatorDialog>()) {
  OnInitDialog(partFile);
}

CCalculatorDlg::~CCalculatorDlg() = default;

// The steps run in this order: the controls start from the form as
// constructed (empty), the part list is filled before the defaults go in,
// and the first part's figures replace the defaults' last.
void CCalculatorDlg::OnInitDialog(const std::filesystem::path& partFile) {
  SetUpControls();
  ConnectControls();
  RefreshOut();
  setWindowIcon(AppIcon());
  ShowCircuit(m_circuitPicture, AMP_NONINVERTING);

  const bool opened = LoadParts(partFile);
  ApplyDefaults();
  if (opened) SelectFirstPart();
  m_ui->temperatureEdit->setFocus();
}

void CCalculatorDlg::SetUpControls() {
  m_ui->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  ConvertDialogUnits(this);

  m_title = windowTitle();
  m_partList = m_ui->partList;
  m_helpButton = m_ui->helpButton;
  m_circuitPicture = m_ui->circuitPicture;
  m_editR1 = m_ui->r1Edit;
  m_ampTypeGroup = MakeRadioGroup(
      this, {m_ui->bufferRadio, m_ui->nonInvertingRadio, m_ui->invertingRadio, m_ui->transimpedanceRadio});
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i)
    m_textFields[i] = findChild<QLineEdit*>(FieldEditName(kFormTextFields[i].key));

  // The list is as tall as an edit field; its drop-down shows as many rows
  // as fit the template's drop depth.
  const DialogUnits units = DialogUnits::ForFont(font());
  m_partList->setFixedHeight(m_ui->sourceResistorEdit->height());
  const int dropPixels = units.ToPixels(QRect(0, 0, 0, kPartListDropUnits)).height() - m_partList->height();
  m_partList->setMaxVisibleItems(std::max(1, dropPixels / (fontMetrics().height() + 2)));
}

void CCalculatorDlg::ConnectControls() {
  connect(m_ui->exitButton, &QPushButton::clicked, this, &CCalculatorDlg::OnExit);
  connect(m_ui->calculateButton, &QPushButton::clicked, this, &CCalculatorDlg::OnCalculate);
  connect(m_ui->bufferRadio, &QRadioButton::clicked, this, &CCalculatorDlg::OnBuffer);
  connect(m_ui->nonInvertingRadio, &QRadioButton::clicked, this, &CCalculatorDlg::OnNonInverting);
  connect(m_ui->invertingRadio, &QRadioButton::clicked, this, &CCalculatorDlg::OnInverting);
  connect(m_ui->transimpedanceRadio, &QRadioButton::clicked, this, [this] { ShowAmplifierType(AMP_TRANSIMPEDANCE); });
  connect(m_helpButton, &QPushButton::clicked, this, &CCalculatorDlg::OnHelpButton);
  connect(m_ui->riaaButton, &QPushButton::clicked, this, &CCalculatorDlg::OnRiaaNbw);
  connect(m_ui->calcCornerButton, &QPushButton::clicked, this, &CCalculatorDlg::OnCalcCornerFreq);
  connect(m_ui->builtCircuitButton, &QPushButton::clicked, this, &CCalculatorDlg::OnBuiltCircuit);
  connect(m_partList, &QComboBox::activated, this, &CCalculatorDlg::OnSelchangePartName);
  connect(m_ui->calcWithCarryButton, &QPushButton::clicked, this, &CCalculatorDlg::OnCalculateWithCarry);
  connect(m_ui->chainButton, &QPushButton::clicked, this, &CCalculatorDlg::OnChain);
  for (QLineEdit* field : m_textFields) {
    connect(field, &QLineEdit::textChanged, this, &CCalculatorDlg::ShowReadingNotes);
    connect(field, &QLineEdit::textChanged, this, &CCalculatorDlg::FormEdited);
  }
  connect(m_ampTypeGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) FormEdited();
  });
  connect(m_ui->applyCornerCheck, &QCheckBox::toggled, this, &CCalculatorDlg::FormEdited);
  connect(m_partList, &QComboBox::currentIndexChanged, this, &CCalculatorDlg::FormEdited);
  // F1 opens the help page, the program's only help.
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &CCalculatorDlg::OnHelpHelp);
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &CCalculatorDlg::OnSave);
  connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this, &CCalculatorDlg::OnOpenCircuit);
}

// A missing or unreadable file leaves the list empty; true when it opened.
// Why there is no library, or what the part file holds that gave no part,
// is said under the form, and in the tip of the list and of a mark beside
// it.
bool CCalculatorDlg::LoadParts(const std::filesystem::path& partFile) {
  const bool opened = LoadPartLibrary(partFile, m_partLibrary);
  FillPartList(m_partList, m_partLibrary.m_partTable.List());
  if (!opened) {
    const std::string reason = NotAFileReason(partFile);
    m_partFileNote = QStringLiteral("No part library: %1: %2; type the op amp's figures.")
                         .arg(QString::fromStdU16String(partFile.u16string()),
                              QString::fromStdString(reason.empty() ? "cannot be read" : reason));
  } else if (const std::string note = PartFileNote(m_partLibrary); !note.empty()) {
    m_partFileNote = QString::fromStdU16String(partFile.filename().u16string()) + QStringLiteral(": ") +
                     QString::fromStdString(note);
  }
  if (!m_partFileNote.isEmpty()) {
    QLabel* const mark = m_ui->partFileMark;
    mark->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(mark->size()));
    mark->setToolTip(PlainTip(m_partFileNote));
    m_partList->setToolTip(PlainTip(m_partFileNote));
  }
  ShowReadingNotes();
  return opened;
}

void CCalculatorDlg::ApplyDefaults() {
  ApplyFormDefaults(m_form);
  RefreshOut();
}

void CCalculatorDlg::SelectFirstPart() {
  m_partList->setCurrentIndex(0);
  OnSelchangePartName();
}

void CCalculatorDlg::RefreshIn() {
  m_form.m_nAmpType = m_ampTypeGroup->checkedId();
  for (std::size_t i = 0; i < kFormTextFields.size(); ++i) {
    if (i == kCarryField) m_form.m_bApplyCorner = m_ui->applyCornerCheck->isChecked() ? 1 : 0;
    m_form.*kFormTextFields[i].member = ToCp1252(m_textFields[i]->text());
  }
}

// The controls' own signals keep quiet while they are set: a refresh in
// from one of them would read the others before they are set. The form is
// edited once they all are.
void CCalculatorDlg::RefreshOut() {
  {
    const QScopedValueRollback quiet(m_quiet, true);
    CheckRadio(m_ampTypeGroup, m_form.m_nAmpType);
    for (std::size_t i = 0; i < kFormTextFields.size(); ++i) {
      if (i == kCarryField) m_ui->applyCornerCheck->setChecked(m_form.m_bApplyCorner != 0);
      m_textFields[i]->setText(FromCp1252(m_form.*kFormTextFields[i].member));
    }
  }
  FormEdited();
  // The circuit as built has no field here: a line says what of it is in
  // use, so that nobody forgets it is set; the whole of it is in its tip.
  const std::optional<std::string> built = BuiltCircuitLine(ReadNoiseInputs(m_form).inputs);
  const QString line = built ? FromCp1252(*built) : QString();
  m_ui->builtCircuitLine->setText(FittedText(m_ui->builtCircuitLine, line));
  m_ui->builtCircuitLine->setToolTip(PlainTip(line));
}

// --- Ending the program -------------------------------------------------

// A changed chain's Save / Discard / Cancel is the question: its Discard is
// the answer to leaving, which a second question would only repeat.
bool CCalculatorDlg::ConfirmExit() {
  if (ChainOpen() && m_chain->HasChanges()) return m_chain->MayLeave(QStringLiteral("exiting"));
  QMessageBox question(QMessageBox::NoIcon, QCoreApplication::applicationName(), kExitQuestion,
                       QMessageBox::Ok | QMessageBox::Cancel, this);
  question.setDefaultButton(QMessageBox::Ok);
  return question.exec() == QMessageBox::Ok;
}

void CCalculatorDlg::OnExit() {
  if (!ConfirmExit()) return;
  RefreshIn();
  QDialog::accept();
}

void CCalculatorDlg::reject() {
  if (ConfirmExit()) QDialog::reject();
}

void CCalculatorDlg::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) {
    QDialog::keyPressEvent(event);
    return;
  }
  // Enter presses the button that has the focus; anywhere else it would end
  // the program, so it asks first, as the Exit button does, rather than
  // throw a form full of typing away.
  if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
    button->click();
  else
    OnExit();
}

// The window manager's own menu cannot take an item everywhere, so the
// About item lives in the window's context menu, beside the circuit files
// and the chain (the dialog has no menu bar). With a chain open, Ctrl+S
// saves the chain and the stage alone has a command of its own.
void CCalculatorDlg::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* saveChain = ChainOpen() ? menu.addAction(kSaveChainItem) : nullptr;
  QAction* save = menu.addAction(ChainOpen() ? kSaveStageItem : kSaveCircuitItem);
  (saveChain ? saveChain : save)->setShortcut(QKeySequence::Save);
  QAction* open = menu.addAction(kOpenCircuitItem);
  open->setShortcut(QKeySequence::Open);
  QAction* chain = menu.addAction(kChainItem);
  menu.addSeparator();
  QAction* about = menu.addAction(kAboutItem);
  const QAction* chosen = menu.exec(event->globalPos());
  if (chosen && chosen == saveChain) m_chain->Save();
  if (chosen == save) OnSaveCircuit();
  if (chosen == open) OnOpenCircuit();
  if (chosen == chain) OnChain();
  if (chosen == about) OnAboutBox();
}

void CCalculatorDlg::OnAboutBox() {
  CAboutDlg about(this);
  about.exec();
}

// --- Circuit files -----------------------------------------------------------

void CCalculatorDlg::OnSave() {
  if (ChainOpen())
    m_chain->Save();
  else
    OnSaveCircuit();
}

// The form alone: the circuit, or the chain's stage it edits.
void CCalculatorDlg::OnSaveCircuit() {
  RefreshIn();
  const std::string text = WriteCircuitFile(m_form, SelectedPartName(),
                                            m_measurement ? std::optional(m_measurement->reference) : std::nullopt);
  const QString caption = ChainOpen() ? QStringLiteral("Save Stage") : QStringLiteral("Save Circuit");
  const QString path = AskSaveFileName(this, caption, QStringLiteral("circuit.tervane"), CircuitFileFilters());
  if (!path.isEmpty()) SaveFile(this, path, QByteArray::fromStdString(text));
}

void CCalculatorDlg::OnOpenCircuit() {
  const QString path = AskOpenFileName(this, QStringLiteral("Open Circuit"), CircuitFileFilters());
  if (!path.isEmpty()) OpenCircuit(path);
}

bool CCalculatorDlg::OpenCircuit(const QString& path) {
  std::optional<MeasurementReference> measurement;
  std::optional<std::vector<ChainStageForm>> stages = OpenCircuitFile(
      this, QStringLiteral("Open Circuit"), path, m_form, QStringLiteral("The form is unchanged."), &measurement);
  if (!stages) return false;
  if (stages->size() > 1) return Chain().OpenChain(std::move(*stages));
  if (ChainOpen()) return m_chain->OpenStage(stages->front());
  ShowStage(stages->front());
  OpenMeasurement(measurement);
  return true;
}

// A circuit's measurement, read as it says; one that cannot be read now
// (moved, changed) is said, and the circuit is open without it.
void CCalculatorDlg::OpenMeasurement(const std::optional<MeasurementReference>& reference) {
  m_measurement.reset();
  if (!reference) return;
  const QString file = QString::fromStdString(reference->file);
  MeasuredReading reading = ReadMeasuredFile(std::filesystem::path(file.toStdU16String()), reference->options);
  if (reading.spectrum) {
    m_measurement = Measurement{*reference, std::move(*reading.spectrum)};
    return;
  }
  const QString line = reading.line ? QStringLiteral("line %1: ").arg(reading.line) : QString();
  QMessageBox::warning(this, QStringLiteral("Open Circuit"),
                       QStringLiteral("The circuit's measurement %1 cannot be read: %2%3.\nThe circuit is open without it.")
                           .arg(QDir::toNativeSeparators(file), line, FromCp1252(reading.reason)));
}

// --- The chain of stages -----------------------------------------------------

void CCalculatorDlg::OnChain() { Chain().ShowChain(); }

CChainDlg& CCalculatorDlg::Chain() {
  if (!m_chain) m_chain = new CChainDlg(*this, *this);
  return *m_chain;
}

bool CCalculatorDlg::ChainOpen() const { return m_chain && m_chain->IsOpen(); }

// Every change of the form, typed or set by a command, goes into the
// chain's stage as it is made; a stage the chain puts in is not one.
void CCalculatorDlg::FormEdited() {
  if (!m_quiet && m_chain) m_chain->FormEdited();
}

ChainStageForm CCalculatorDlg::StageInForm() {
  RefreshIn();
  return {m_form, SelectedPartName()};
}

// The stage's texts are what was typed: the part is selected in the list
// only, without its figures replacing them.
void CCalculatorDlg::ShowStage(const ChainStageForm& stage) {
  const QScopedValueRollback quiet(m_quiet, true);
  m_form = stage.form;
  RefreshOut();
  ShowAmplifierType(static_cast<AmplifierType>(m_form.m_nAmpType));
  m_partList->setCurrentIndex(stage.partName ? m_partList->findText(FromCp1252(*stage.partName)) : -1);
}

void CCalculatorDlg::ShowStagePlace(const QString& place, bool changed) {
  setWindowTitle(place.isEmpty() ? m_title : m_title + QStringLiteral(" \u2014 ") + place + QStringLiteral("[*]"));
  setWindowModified(changed);
}

// --- Calculation -----------------------------------------------------------

void CCalculatorDlg::OnCalculate() {
  m_form.m_bWithCarry = 0;
  CalculateNoise();
}

void CCalculatorDlg::OnCalculateWithCarry() {
  m_form.m_bWithCarry = 1;
  CalculateNoise();
}

// A fit applied among the results goes into the fields as typed, and the
// stage is calculated again with it.
void CCalculatorDlg::CalculateNoise() {
  RefreshIn();
  const NoiseResult result = ComputeNoise(m_form);
  const std::optional<std::string> partName = SelectedPartName();

  CResultsDlg results(this, BuildNoiseReport(result, partName), result, m_form, m_partLibrary, partName,
                      &m_measurement);
  results.exec();

  if (!result.outcome.failure) {  // otherwise the fields keep exactly what was typed
    WriteBackResults(m_form, result);
    RefreshOut();
  }
  // The write-back puts the calculated part's figures back, so a part
  // chosen among the results is selected only after it.
  if (results.ChosenPart()) SelectListedPart(*results.ChosenPart());
  if (results.AppliedFit()) {
    ApplyFit(m_form, *results.AppliedFit());
    RefreshOut();
    CalculateNoise();
  }
}

void CCalculatorDlg::SelectListedPart(const std::string& name) {
  m_partList->setCurrentIndex(m_partList->findText(FromCp1252(name)));
  OnSelchangePartName();
}

std::optional<std::string> CCalculatorDlg::SelectedPartName() const {
  const int index = m_partList->currentIndex();
  if (index < 0) return std::nullopt;
  return ToCp1252(m_partList->itemText(index));
}

// --- Amplifier type --------------------------------------------------------

void CCalculatorDlg::OnBuffer() { ShowAmplifierType(AMP_BUFFER); }
void CCalculatorDlg::OnNonInverting() { ShowAmplifierType(AMP_NONINVERTING); }
void CCalculatorDlg::OnInverting() { ShowAmplifierType(AMP_INVERTING); }

// The radio has checked itself; the next refresh in reads it. Only the
// enabling of the fields the type reads and the drawing follow the choice
// here; the fields keep their texts. The transimpedance amplifier reads
// neither R1 nor Rs, nor a 0 dB reference: its signal is its photocurrent.
void CCalculatorDlg::ShowAmplifierType(AmplifierType type) {
  const bool current = type == AMP_TRANSIMPEDANCE;
  m_editR1->setEnabled(type != AMP_BUFFER && !current);
  m_ui->sourceResistorEdit->setEnabled(!current);
  m_ui->refVoltageEdit->setEnabled(!current);
  ShowCircuit(m_circuitPicture, type);
}

// --- Help --------------------------------------------------------------------

void CCalculatorDlg::OnHelpButton() {
  struct HelpItem {
    const char* text;
    void (CCalculatorDlg::*handler)();
  };
  static constexpr HelpItem kItems[] = {
      {"Help", &CCalculatorDlg::OnHelpHelp},
      {"Website", &CCalculatorDlg::OnHelpWebsite},
      {"Bug Report", &CCalculatorDlg::OnHelpReportBug},
      {"Contact", &CCalculatorDlg::OnHelpContact},
      {"About", &CCalculatorDlg::OnHelpAbout},
  };

  QMenu menu(this);
  for (const HelpItem& item : kItems) menu.addAction(QString::fromLatin1(item.text));
  // The menu opens over the button, its top-left corner on the button's;
  // the chosen command runs once the menu is gone.
  const QAction* chosen = menu.exec(m_helpButton->mapToGlobal(QPoint(0, 0)));
  const qsizetype index = menu.actions().indexOf(chosen);
  if (index >= 0) (this->*kItems[index].handler)();
}

void CCalculatorDlg::OnHelpHelp() { OpenLink(this, kHelpPageLink); }
void CCalculatorDlg::OnHelpWebsite() { OpenLink(this, kWebsiteLink); }
void CCalculatorDlg::OnHelpReportBug() { OpenLink(this, kBugReportLink); }
void CCalculatorDlg::OnHelpContact() { OpenLink(this, kContactLink); }
void CCalculatorDlg::OnHelpAbout() { OnAboutBox(); }

// --- Form presets and the part list ----------------------------------------

void CCalculatorDlg::OnRiaaNbw() {
  RefreshIn();
  ApplyRiaaBand(m_form);
  RefreshOut();
}

void CCalculatorDlg::OnCalcCornerFreq() {
  CCornerDlg corner(this);
  if (corner.exec() != QDialog::Accepted) return;

  RefreshIn();
  const CornerEstimate estimate = EstimateCorner(corner.State(), m_form.m_strNoiseVoltage);
  if (estimate.cornerText) {
    m_form.m_strCornerFreq = *estimate.cornerText;
    RefreshOut();
  }
  if (estimate.inputError) {
    // The estimator's message has no caption, unlike every other box.
    QMessageBox error(QMessageBox::NoIcon, QString(), FromCp1252(kCornerInputError), QMessageBox::Ok, this);
    error.exec();
  }
}

// Under the form, as the fields are typed: the part file's note, then what
// each field whose text is read in part will be read as.
void CCalculatorDlg::ShowReadingNotes() {
  ui::ShowReadingNotes(m_ui->readingNotes, m_textFields, kFormTextFields, m_partFileNote);
}

// "Source & Bandwidth...": its fields replace the form's after "OK".
void CCalculatorDlg::OnBuiltCircuit() {
  RefreshIn();
  CBuiltCircuitDlg dialog(this, m_form);
  if (dialog.exec() != QDialog::Accepted) return;
  for (const FormTextField& field : kBuiltCircuitFields) m_form.*field.member = dialog.Form().*field.member;
  RefreshOut();
}

void CCalculatorDlg::OnSelchangePartName() {
  const std::optional<std::string> name = SelectedPartName();
  RefreshIn();
  if (name) SelectPart(m_form, m_partLibrary.m_partTable, *name);
  RefreshOut();
}

}  // namespace tervane::ui
