#pragma once

#include <string_view>

namespace tervane {

struct Temperature {
  double fahrenheit;
  double celsius;
  double kelvin;
};

// Reads the temperature field. The first of the upper-case letters K, C, F
// that occurs anywhere in the text picks the scale (kelvin, Celsius,
// Fahrenheit); every occurrence of that letter is dropped and the rest is
// read as an engineering value. Without a letter the text is in Fahrenheit,
// the scale the field's label names.
Temperature ReadTemperature(std::string_view text);

}  // namespace tervane
