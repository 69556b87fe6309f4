#include "ui/qt_text.h"

#include <cmath>

#include "cli/cp1252.h"
#include "notation/eng_format.h"

namespace tervane::ui {

QString FromCp1252(std::string_view text) {
  const std::string utf8 = cli::Cp1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1252(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return cli::Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString EngText(double value, const QString& unit) {
  if (std::isinf(value)) return (value > 0 ? QStringLiteral("∞") : QStringLiteral("-∞")) + unit;
  return FromCp1252(FormatEngValue(value, kShownDigits)) + unit;
}

}  // namespace tervane::ui
