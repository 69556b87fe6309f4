#include "noise/corner_estimate.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "notation/eng_format.h"
#include "notation/eng_parse.h"

namespace tervane {
namespace {

constexpr double kPeakToPeakPerRms = 6.0;

// The first `count` words, as "%s" reads them: white space skipped, a word
// runs to the next white space. A word longer than the dialog's 31-character
// buffers is kept whole; only its first 31 characters are ever read anyway.
std::vector<std::string_view> FirstWords(std::string_view text, std::size_t count) {
  constexpr std::string_view kSpace = " \t\n\v\f\r";
  text = text.substr(0, text.find('\0'));
  std::vector<std::string_view> words;
  std::size_t pos = text.find_first_not_of(kSpace);
  while (pos != std::string_view::npos && words.size() < count) {
    const std::size_t end = std::min(text.find_first_of(kSpace, pos), text.size());
    words.push_back(text.substr(pos, end - pos));
    pos = text.find_first_not_of(kSpace, end);
  }
  return words;
}

struct Estimate {
  std::optional<double> corner;  // nothing when the input cannot be read
  bool unitError = false;
};

Estimate AtSingleFrequency(const CornerDialogState& state, double en) {
  const double f = ParseEngValue(state.m_strFreqRange);
  const double n = ParseEngValue(state.m_strNoise);
  if (f == 0 && n == 0) return {};
  return {(n * n - en * en) * f / (en * en)};
}

Estimate ThroughRange(const CornerDialogState& state, double en) {
  const auto band = FirstWords(state.m_strFreqRange, 2);
  if (band.size() < 2) return {};
  const double fL = ParseEngValue(band[0]);
  const double fH = ParseEngValue(band[1]);
  const auto noise = FirstWords(state.m_strNoise, 2);
  if (noise.empty()) return {};
  double v = ParseEngValue(noise[0]);
  const char unit = noise.size() > 1 ? noise[1].front() : 'p';
  bool unitError = false;
  if (unit == 'p')
    v /= kPeakToPeakPerRms;
  else if (unit != 'r')
    unitError = true;  // taken as rms
  return {(v * v / (en * en) + fL - fH) / std::log(fH / fL), unitError};
}

}  // namespace

void SetCornerPlaceholders(CornerDialogState& state, CornerMode mode) {
  if (mode == CORNER_SINGLE_FREQ) {
    state.m_strFreqRange = "<freq>";
    state.m_strNoise = "<rms noise>";
  } else {
    state.m_strFreqRange = "<lower freq> <upper freq>";
    state.m_strNoise = "<noise> [<p-p | rms>]";
  }
}

void ClearPlaceholder(std::string& field) {
  if (!field.empty() && field.front() == '<') field.clear();
}

CornerEstimate EstimateCorner(const CornerDialogState& state, std::string_view noiseVoltage) {
  const double en = ParseEngValue(noiseVoltage);
  const Estimate e = state.m_nSpecifyMode == CORNER_SINGLE_FREQ ? AtSingleFrequency(state, en)
                                                                : ThroughRange(state, en);
  // A corner that is not a finite, non-negative frequency (reversed band,
  // noise below the white floor, zero density) is not written.
  if (!e.corner || !std::isfinite(*e.corner) || *e.corner < 0) return {std::nullopt, true};
  return {FormatEngValue(*e.corner, kShownDigits), e.unitError};
}

}  // namespace tervane
