#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

#include "form/measured_overlay.h"
#include "measured/measured_spectrum.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tervane::ui {

// A measured spectrum the stage's spectrum is drawn against: the file (in
// UTF-8) and how it was read, and what it read as. The main window keeps it from one
// calculation to the next.
struct Measurement {
  MeasurementReference reference;
  MeasuredSpectrum spectrum;
};

// "Add Measurement": the file's first lines, and how to read them (the
// unit, for a reading per bin the bin width and the window, the columns,
// where on the stage it was taken; where asked, the source resistor it was
// taken with). "OK" reads the file; a file that cannot be read as chosen,
// or a source resistor that is none, keeps the window open with the reason.
class CMeasurementDlg : public QDialog {
 public:
  CMeasurementDlg(QWidget* parent, const QString& path, bool askSourceResistor = false);

  // What was read, once the window is accepted.
  const std::optional<Measurement>& Read() const { return m_read; }
  // The source resistor it was taken with, ohms, once accepted where asked.
  std::optional<double> SourceResistor() const { return m_sourceResistor; }
  void accept() override;

 private:
  void ShowPreview();
  void OnUnit();
  std::optional<NoiseUnit> UnitChosen(QString& fault) const;

  QString m_path;
  QPlainTextEdit* m_preview = nullptr;
  QComboBox* m_unit = nullptr;
  QLineEdit* m_binWidth = nullptr;
  QComboBox* m_window = nullptr;
  QLineEdit* m_enbw = nullptr;  // the bins of a window not listed
  QLineEdit* m_frequencyColumn = nullptr;
  QLineEdit* m_noiseColumn = nullptr;
  QComboBox* m_referred = nullptr;
  QLineEdit* m_sourceResistorEdit = nullptr;  // where asked
  QLabel* m_fault = nullptr;
  std::optional<Measurement> m_read;
  std::optional<double> m_sourceResistor;
};

// A measured spectrum's file chosen, then previewed and read: the accepted
// preview, none where either window was cancelled.
std::unique_ptr<CMeasurementDlg> AskMeasurement(QWidget* parent, bool askSourceResistor = false);

}  // namespace tervane::ui
