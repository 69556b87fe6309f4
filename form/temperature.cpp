#include "form/temperature.h"

#include <string>

#include "notation/eng_parse.h"

namespace tervane {
namespace {

constexpr double kKelvinOffset = 273.15;

}  // namespace

TemperatureText SplitTemperature(std::string_view text) {
  for (const char letter : {'K', 'C', 'F'}) {
    if (text.find(letter) == std::string_view::npos) continue;
    TemperatureText split{letter, true, {}};
    for (char c : text)
      if (c != letter) split.number += c;
    return split;
  }
  return {'F', false, std::string(text)};
}

Temperature ReadTemperature(std::string_view text) {
  const TemperatureText split = SplitTemperature(text);
  const double value = ParseEngValue(split.number);
  Temperature t{};
  if (split.scale == 'K') {
    t.kelvin = value;
    t.celsius = t.kelvin - kKelvinOffset;
    t.fahrenheit = t.celsius * 1.8 + 32;
  } else if (split.scale == 'C') {
    t.celsius = value;
    t.kelvin = t.celsius + kKelvinOffset;
    t.fahrenheit = t.celsius * 1.8 + 32;
  } else {
    t.fahrenheit = value;
    t.celsius = (t.fahrenheit - 32) / 1.8;
    t.kelvin = t.celsius + kKelvinOffset;
  }
  return t;
}

}  // namespace tervane
