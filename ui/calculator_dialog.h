#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "form/calculator_form.h"
#include "form/chain_form.h"
#include "parts/part_library.h"
#include "ui/measurement_dialog.h"
#include "ui/stage_editor.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class CalculatorDialog;
}

namespace tervane::ui {

class CChainDlg;

// The calculator's main window. It owns the form and the part library;
// every handler is one bracket: refresh in, one call into the core,
// refresh out. Its form is the stage editor of the chain's window.
class CCalculatorDlg : public QDialog, public StageEditor {
 public:
  // Reads the part library from `partFile`, the file in the current folder
  // unless a caller (a test) names another.
  explicit CCalculatorDlg(const std::filesystem::path& partFile = std::filesystem::path(kPartFileName));
  ~CCalculatorDlg() override;

  // Fills the form from a circuit file as if typed, or the chain's window
  // from a chain's file; a file that cannot be opened or read is told in a
  // message naming it, and changes nothing. With a chain open, the chain's
  // window asks first what the file does to it (CChainDlg). True when the
  // file was taken.
  bool OpenCircuit(const QString& path);

  // Why the part list is empty or short (no library, lines that gave no
  // part), as the window says it under its buttons; empty when all is well.
  const QString& PartLibraryNote() const { return m_partFileNote; }

  // Escape, the close box and the window manager's close all end here.
  void reject() override;

  ChainStageForm StageInForm() override;
  void ShowStage(const ChainStageForm& stage) override;
  void ShowStagePlace(const QString& place, bool changed) override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void RefreshIn();
  void RefreshOut();
  void OnInitDialog(const std::filesystem::path& partFile);
  void SetUpControls();
  void ConnectControls();
  bool LoadParts(const std::filesystem::path& partFile);
  void ApplyDefaults();
  void SelectFirstPart();

  void OnExit();
  bool ConfirmExit();
  void OnAboutBox();

  void OnSave();
  void OnSaveCircuit();
  void OnOpenCircuit();
  void OpenMeasurement(const std::optional<MeasurementReference>& reference);
  void OnChain();
  CChainDlg& Chain();
  bool ChainOpen() const;
  void FormEdited();

  void OnCalculate();
  void OnCalculateWithCarry();
  void CalculateNoise();
  std::optional<std::string> SelectedPartName() const;
  void SelectListedPart(const std::string& name);

  void OnBuffer();
  void OnNonInverting();
  void OnInverting();
  void ShowAmplifierType(AmplifierType type);

  void OnHelpButton();
  void OnHelpHelp();
  void OnHelpWebsite();
  void OnHelpReportBug();
  void OnHelpContact();
  void OnHelpAbout();

  void OnRiaaNbw();
  void OnCalcCornerFreq();
  void OnBuiltCircuit();
  void OnSelchangePartName();
  void ShowReadingNotes();

  std::unique_ptr<Ui::CalculatorDialog> m_ui;
  QComboBox* m_partList = nullptr;
  QPushButton* m_helpButton = nullptr;
  QLabel* m_circuitPicture = nullptr;
  QButtonGroup* m_ampTypeGroup = nullptr;
  QLineEdit* m_editR1 = nullptr;
  std::array<QLineEdit*, kFormTextFields.size()> m_textFields{};  // in kFormTextFields order

  CChainDlg* m_chain = nullptr;  // made when first asked for, a child of this window
  QString m_title;               // the window's own, without a stage's place
  bool m_quiet = false;          // while the controls are set, not edited

  CalculatorForm m_form;
  PartLibrary m_partLibrary;
  QString m_partFileNote;  // the lines of the part file that gave no part, when there are any
  std::optional<Measurement> m_measurement;  // the stage's spectrum is drawn against it while the program runs
};

}  // namespace tervane::ui
