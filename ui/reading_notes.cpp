#include "ui/reading_notes.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTextDocument>

#include "form/field_reading.h"
#include "ui/qt_text.h"

namespace tervane::ui {

QString PlainTip(const QString& text) { return text.isEmpty() ? text : Qt::convertFromPlainText(text); }

bool FitsLabel(const QLabel* label, const QString& text) {
  const QRect room(0, 0, label->width(), QWIDGETSIZE_MAX);
  return label->fontMetrics().boundingRect(room, Qt::TextWordWrap, text).height() <= label->height();
}

void ShowReadingNotes(QLabel* label, std::span<QLineEdit* const> edits, std::span<const FormTextField> table,
                      const QString& first) {
  CalculatorForm typed;
  for (std::size_t i = 0; i < table.size(); ++i) typed.*table[i].member = ToCp1252(edits[i]->text());
  const std::vector<std::string> notes = FieldReadingNotes(typed, table);
  QStringList fieldNotes;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const QString note = FromCp1252(notes[i]);
    edits[i]->setToolTip(PlainTip(note));
    if (!note.isEmpty()) fieldNotes << note;
  }
  const auto text = [&](qsizetype shown) {
    QStringList lines;
    if (!first.isEmpty()) lines << first;
    QString fields = fieldNotes.mid(0, shown).join(QStringLiteral("; "));
    if (shown < fieldNotes.size())
      fields += QStringLiteral("; %1 more in the fields' tips").arg(fieldNotes.size() - shown);
    if (!fields.isEmpty()) lines << fields;
    return lines.join(QLatin1Char('\n'));
  };
  qsizetype shown = fieldNotes.size();
  while (shown > 0 && !FitsLabel(label, text(shown))) --shown;
  label->setText(text(shown));
}

}  // namespace tervane::ui
