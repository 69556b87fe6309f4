#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/calculator_form.h"
#include "form/chain_form.h"
#include "form/form_calculation.h"
#include "measured/noise_fit.h"
#include "noise/weighting.h"
#include "parts/part_library.h"

class QComboBox;
class QPlainTextEdit;

namespace Ui {
class ResultsDialog;
}

namespace tervane::ui {

class CBreakdownView;
class CComparisonView;
class CFiguresView;
class CSpectrumView;
struct Measurement;
struct PdfPage;

// "Noise Results": the report first, in a read-only, unwrapped text field
// that has the focus, then the views of the same calculation: the
// breakdown by source, the spectrum, the part library compared in the
// circuit and the data-sheet figures. A weighting chosen above the tabs
// applies to the breakdown's totals, the spectrum, the comparison's ranking,
// the figures and a chain's report (the PDF's too), and is kept for the next
// window while the program runs.
// "Save As..." writes the view shown to a file, "Save PDF..." the whole
// calculation on one page. No OK button: it closes with the close box,
// Escape, Enter in the report, or by choosing a part in the comparison.
// It opens within its screen and can be made as small as its views allow.
class CResultsDlg : public QDialog {
 public:
  // `report` is the calculation's text, `form` the circuit as calculated
  // and `library` the parts to compare in it, which must outlive the window.
  // `partName` is the part selected for the calculation, if any. Given
  // `measurement`, the spectrum is measured against what it holds, which
  // the spectrum's commands change.
  CResultsDlg(QWidget* owner, std::string report, const NoiseResult& result, const CalculatorForm& form,
              const PartLibrary& library, std::optional<std::string> partName = std::nullopt,
              std::optional<Measurement>* measurement = nullptr);
  // The chain `result` of `stages`, whose inputs the PDF shows side by side.
  CResultsDlg(QWidget* owner, const ChainCalculation& result, const std::vector<ChainStageForm>& stages);
  ~CResultsDlg() override;

  // The part chosen in the comparison, which closed the window: the caller
  // selects it once the calculation's write-back is done.
  const std::optional<std::string>& ChosenPart() const { return m_chosenPart; }
  // The fit whose "Apply" closed the window: the caller puts its figures
  // into the form and calculates again.
  const std::optional<NoiseFit>& AppliedFit() const { return m_appliedFit; }

  // The weighting the views read through: the last one chosen in any
  // results window while the program runs, at first none.
  static Weighting CurrentWeighting();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The report, the weighting and the buttons, round the views each adds.
  CResultsDlg(QWidget* owner, std::string report);
  void OnInitDialog();
  void AddViews(const NoiseResult& result, const CalculatorForm& form, const PartLibrary& library,
                std::optional<Measurement>* measurement);
  void AddViews(const ChainCalculation& result);
  void AddView(QWidget* view, const char* objectName, const QString& title);
  void AddWeightingChoice();
  void AddBuiltCircuitLine(const NoiseResult& result);
  void OnWeighting();
  void MakeResizable();
  void FitScreen();
  void WidenToReport();
  void AddButtons();
  void OnChoosePart(const std::string& name);
  void OnSaveAs();
  void OnSavePdf();
  QString ReportText() const;

  std::unique_ptr<Ui::ResultsDialog> m_ui;
  QPlainTextEdit* m_editResults = nullptr;
  QComboBox* m_weighting = nullptr;
  CBreakdownView* m_breakdown = nullptr;
  CSpectrumView* m_spectrum = nullptr;
  CComparisonView* m_comparison = nullptr;
  CFiguresView* m_figures = nullptr;
  std::string m_strResults;
  std::function<std::string(Weighting weighting)> m_reportOf;  // a report that follows the weighting
  // What the PDF shows of the calculation but its report and plot, through a weighting.
  std::function<void(PdfPage& page, Weighting weighting)> m_page;
  std::optional<std::string> m_chosenPart;
  std::optional<NoiseFit> m_appliedFit;
  bool m_initialised = false;
};

}  // namespace tervane::ui
