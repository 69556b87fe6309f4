// The corner dialog on any field texts. The input is the mode (the low bit
// of the first byte: 0 a single frequency, 1 a range), then the dialog's
// Frequency/Range text, its Noise text and the form's Noise Voltage,
// separated by '|', a character that means nothing to either reader.
//
// ScanWords must give words of the text, in order, each a whole run of
// characters between white space; the estimate must be a written corner
// that reads back as a finite, non-negative frequency, or "Input error".

#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cmath>
#include <span>
#include <string>
#include <string_view>

#include "form/corner_estimate.h"
#include "fuzz/fuzz_check.h"
#include "notation/eng_format.h"
#include "notation/eng_parse.h"
#include "notation/words.h"

namespace {

using tervane::fuzz::Check;

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The words ScanWords found must be the text's first words: inside the text
// before any NUL, in order, bounded by white space or the ends, and with
// nothing but white space between them.
void CheckWords(std::string_view field) {
  std::array<std::string_view, 4> words;
  const std::size_t count = tervane::ScanWords(field, words);
  Check(count <= words.size(), "no more words than asked for");
  const std::string_view text = field.substr(0, field.find('\0'));
  std::size_t pos = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view word = words[i];
    Check(!word.empty() && word.data() >= text.data() + pos && word.data() + word.size() <= text.data() + text.size(),
          "a word lies in the text, after the previous one");
    const std::size_t start = static_cast<std::size_t>(word.data() - text.data());
    for (std::size_t k = pos; k < start; ++k) Check(IsSpace(text[k]), "only white space between words");
    for (char c : word) Check(!IsSpace(c), "a word holds no white space");
    pos = start + word.size();
    Check(pos == text.size() || IsSpace(text[pos]), "a word runs to white space or the end");
  }
  if (count < words.size())
    for (std::size_t k = pos; k < text.size(); ++k) Check(IsSpace(text[k]), "no word is missed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::array<std::string, 3> fields;
  for (std::string& field : fields) {
    const std::size_t bar = rest.find('|');
    field = rest.substr(0, bar);
    rest.remove_prefix(bar == std::string_view::npos ? rest.size() : bar + 1);
  }
  for (const std::string& field : fields) CheckWords(field);

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
