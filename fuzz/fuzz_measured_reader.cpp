// The measured spectrum's reader on any bytes, the first of them choosing
// the unit and the columns. What reads is a spectrum every view can take:
// at least 3 points, frequencies above 0 and rising, densities above 0 and
// finite, and a band total that is a number. What does not read says why,
// on a line the text has.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "measured/measured_band.h"
#include "measured/spectrum_reader.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t choice = data[0];
  tervane::ReadOptions options;
  options.unit = {tervane::kDensityUnits[choice % tervane::kDensityUnits.size()].unit, 1, 1.5};
  if (choice & 0x40) options.columns = {std::size_t{2}, std::size_t{3}};
  if (choice & 0x80) options.columns = {std::string("f"), std::string("n")};
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const tervane::MeasuredReading reading = tervane::ReadMeasuredText(text, options);
  if (!reading.spectrum) {
    Check(!reading.reason.empty(), "a text refused gives its reason");
    Check(reading.line <= static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
          "the line refused is one the text has");
    return 0;
  }
  const auto& points = reading.spectrum->points;
  Check(points.size() >= 3, "a spectrum has at least 3 points");
  for (std::size_t k = 0; k < points.size(); ++k) {
    Check(points[k].frequency > 0 && std::isfinite(points[k].frequency), "frequencies are above 0 and finite");
    Check(k == 0 || points[k].frequency > points[k - 1].frequency, "frequencies rise");
    Check(points[k].density > 0 && std::isfinite(points[k].density), "densities are above 0 and finite");
  }
  if (const auto total = tervane::MeasuredPowerOverBand(points, {1, 1e4}))
    for (const double power : total->power) Check(power >= 0, "a band total is a number, not below 0");
  return 0;
}
