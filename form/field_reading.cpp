#include "form/field_reading.h"

#include "form/temperature.h"
#include "notation/eng_parse.h"
#include "notation/shown_value.h"

namespace tervane {
namespace {

// A field's text in a note: on one line, and short.
std::string Shown(std::string_view text) {
  constexpr std::size_t kShown = 24;
  std::string shown(text.substr(0, kShown));
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = '?';
  return text.size() > kShown ? shown + "..." : shown;
}

std::string Note(const FormTextField& field, std::string_view text) {
  std::string number(text);
  std::string scale;
  if (field.member == &CalculatorForm::m_strTemperature) {
    TemperatureText split = SplitTemperature(text);
    number = std::move(split.number);
    if (split.lettered) scale = std::string(1, split.scale);
  }
  const EngReading reading = ReadEngValue(number);
  if (!reading.partUnread) return {};
  return std::string(field.caption) + " reads \"" + Shown(text) + "\" as " + ShownValue(reading.value) + scale;
}

}  // namespace

std::vector<std::string> FieldReadingNotes(const CalculatorForm& form, std::span<const FormTextField> table) {
  std::vector<std::string> notes;
  for (const FormTextField& field : table) notes.push_back(Note(field, form.*field.member));
  return notes;
}

}  // namespace tervane
