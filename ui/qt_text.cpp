#include "ui/qt_text.h"

#include "notation/cp1252.h"
#include "notation/shown_value.h"

namespace tervane::ui {

// Byte by byte into the string's own storage: the part list converts every
// name of a library at start-up, and a detour through UTF-8 took two
// allocations a name.
QString FromCp1252(std::string_view text) {
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* to = out.data();
  for (char byte : text) *to++ = QChar(static_cast<char16_t>(Cp1252Char(static_cast<unsigned char>(byte))));
  return out;
}

std::string ToCp1252(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString UnitText(std::string_view unit) {
  if (unit == "ohms") return QStringLiteral("Ω");
  return FromCp1252(unit).replace(QStringLiteral("rtHz"), QStringLiteral("√Hz"));
}

QString FieldCaption(const FormTextField& field) {
  QString caption = FromCp1252(field.caption);
  if (!field.unit.empty()) caption += QStringLiteral(" (%1)").arg(UnitText(field.unit));
  return caption;
}

QString FieldEditName(std::string_view key) {
  QString name;
  bool upper = false;
  for (const char c : key) {
    if (c == '_') {
      upper = true;
      continue;
    }
    name += upper ? QChar(c).toUpper() : QChar(c);
    upper = false;
  }
  return name + QStringLiteral("Edit");
}

QString EngText(double value, const QString& unit) {
  switch (ShownInfinityOf(value)) {
    case ShownInfinity::kPlus:
      return QStringLiteral("∞") + unit;
    case ShownInfinity::kMinus:
      return QStringLiteral("-∞") + unit;
    case ShownInfinity::kNone:
      break;
  }
  return FromCp1252(ShownValue(value)) + unit;
}

}  // namespace tervane::ui
