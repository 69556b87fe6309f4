#include "form/temperature.h"

#include <string>

#include "notation/eng_parse.h"

namespace tervane {
namespace {

constexpr double kKelvinOffset = 273.15;

std::string WithoutLetter(std::string_view text, char letter) {
  std::string out;
  for (char c : text)
    if (c != letter) out += c;
  return out;
}

}  // namespace

Temperature ReadTemperature(std::string_view text) {
  Temperature t{};
  if (text.find('K') != std::string_view::npos) {
    t.kelvin = ParseEngValue(WithoutLetter(text, 'K'));
    t.celsius = t.kelvin - kKelvinOffset;
    t.fahrenheit = t.celsius * 1.8 + 32;
  } else if (text.find('C') != std::string_view::npos) {
    t.celsius = ParseEngValue(WithoutLetter(text, 'C'));
    t.kelvin = t.celsius + kKelvinOffset;
    t.fahrenheit = t.celsius * 1.8 + 32;
  } else {
    t.fahrenheit = ParseEngValue(WithoutLetter(text, 'F'));
    t.celsius = (t.fahrenheit - 32) / 1.8;
    t.kelvin = t.celsius + kKelvinOffset;
  }
  return t;
}

}  // namespace tervane
