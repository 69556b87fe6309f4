// The corner dialog on any field texts. The input is the mode (the low bit
// of the first byte: 0 a single frequency, 1 a range), then the dialog's
// Frequency/Range text, its Noise text and the form's Noise Voltage,
// separated by '|', a character that means nothing to either reader.
//
// The estimate must be a written corner that reads back as a finite,
// non-negative frequency, or "Input error". (ScanWords is checked against
// the C library in the notation tests.)

#include <cstddef>
#include <cstdint>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "form/corner_estimate.h"
#include "fuzz/fuzz_check.h"
#include "notation/eng_format.h"
#include "notation/eng_parse.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<std::string> fields = tervane::fuzz::Split({reinterpret_cast<const char*>(data) + 1, size - 1}, '|');
  fields.resize(3);
  tervane::CornerDialogState dialog;
  dialog.m_nSpecifyMode = (data[0] & 1) ? tervane::CORNER_THROUGH_RANGE : tervane::CORNER_SINGLE_FREQ;
  dialog.m_strFreqRange = fields[0];
  dialog.m_strNoise = fields[1];
  const tervane::CornerEstimate estimate = tervane::EstimateCorner(dialog, fields[2]);
  if (estimate.cornerText) {
    const std::string& text = *estimate.cornerText;
    Check(text.size() <= tervane::kShownDigits + 7, "the corner fits its field");
    const double corner = tervane::ParseEngValue(text);
    Check(std::isfinite(corner) && corner >= 0, "a written corner is a finite, non-negative frequency");
  } else {
    Check(estimate.inputError, "a corner that is not written is an input error");
  }
  return 0;
}
