#pragma once

#include <string>
#include <string_view>

namespace tervane {

struct Temperature {
  double fahrenheit;
  double celsius;
  double kelvin;
};

// A temperature text as its scale letter and the rest: the first of the
// upper-case letters K, C, F that occurs picks the scale (kelvin, Celsius,
// Fahrenheit) and every occurrence of it is dropped; without one the text
// is in Fahrenheit, with no letter dropped.
struct TemperatureText {
  char scale = 'F';
  bool lettered = false;  // the scale was given by its letter
  std::string number;
};
TemperatureText SplitTemperature(std::string_view text);

// Reads the temperature field. The first of the upper-case letters K, C, F
// that occurs anywhere in the text picks the scale (kelvin, Celsius,
// Fahrenheit); every occurrence of that letter is dropped and the rest is
// read as an engineering value. Without a letter the text is in Fahrenheit,
// the scale the field's label names.
Temperature ReadTemperature(std::string_view text);

}  // namespace tervane
