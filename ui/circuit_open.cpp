#include "ui/circuit_open.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>

#include <filesystem>
#include <string_view>

#include "form/circuit_file.h"
#include "parts/file_check.h"
#include "ui/file_save.h"

namespace tervane::ui {

QString CircuitFileFilters() { return QStringLiteral("Tervane circuit (*.tervane);;All files (*)"); }

std::optional<std::vector<ChainStageForm>> OpenCircuitFile(QWidget* parent, const QString& caption,
                                                           const QString& path, const CalculatorForm& onto,
                                                           const QString& unchanged,
                                                           std::optional<MeasurementReference>* measurement) {
  // Looked at before it is opened: a pipe would keep the window waiting.
  QString reason = QString::fromStdString(NotAFileReason(std::filesystem::path(path.toStdU16String())));
  QFile file(path);
  if (reason.isEmpty() && !file.open(QIODevice::ReadOnly)) reason = file.errorString();
  ChainReading reading;
  if (reason.isEmpty()) {
    // One byte over the cap is enough to tell an oversized file.
    const QByteArray bytes = file.read(static_cast<qint64>(kMaxCircuitFileSize) + 1);
    reading = ReadChainFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), onto);
    reason = QString::fromStdString(reading.reason);
  }
  if (!reading.stages) {
    QMessageBox::warning(parent, caption,
                         QStringLiteral("Could not open %1: %2.\n%3").arg(QDir::toNativeSeparators(path), reason, unchanged));
    return std::nullopt;
  }
  RememberFolder(path);
  if (measurement) {
    *measurement = std::move(reading.measurement);
    if (*measurement)
      (*measurement)->file = QString::fromStdU16String(
          MeasurementPathOf(std::filesystem::path(path.toStdU16String()), **measurement).u16string()).toStdString();
  }
  return std::move(reading.stages);
}

}  // namespace tervane::ui
