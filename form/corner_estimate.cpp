#include "form/corner_estimate.h"

#include <array>
#include <cmath>

#include "noise/flicker_corner.h"
#include "notation/eng_parse.h"
#include "notation/shown_value.h"
#include "notation/words.h"

namespace tervane {
namespace {

struct Estimate {
  std::optional<double> corner;  // nothing when the input cannot be read
  bool unitError = false;
};

Estimate AtSingleFrequency(const CornerDialogState& state, double en) {
  const double f = ParseEngValue(state.m_strFreqRange);
  const double n = ParseEngValue(state.m_strNoise);
  if (f == 0 && n == 0) return {};
  return {CornerAtFrequency(en, f, n)};
}

Estimate ThroughRange(const CornerDialogState& state, double en) {
  // Words longer than the dialog's 31-character buffers are kept whole:
  // only their first 31 characters are ever read anyway.
  std::array<std::string_view, 2> band;
  if (ScanWords(state.m_strFreqRange, band) < band.size()) return {};
  const double fL = ParseEngValue(band[0]);
  const double fH = ParseEngValue(band[1]);
  std::array<std::string_view, 2> noise;
  const std::size_t noiseWords = ScanWords(state.m_strNoise, noise);
  if (noiseWords == 0) return {};
  double v = ParseEngValue(noise[0]);
  const char unit = noiseWords > 1 ? noise[1].front() : 'p';
  bool unitError = false;
  if (unit == 'p')
    v /= kPeakToPeakPerRms;
  else if (unit != 'r')
    unitError = true;  // taken as rms
  return {CornerThroughBand(en, fL, fH, v), unitError};
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
  const Estimate e =
      state.m_nSpecifyMode == CORNER_SINGLE_FREQ ? AtSingleFrequency(state, en) : ThroughRange(state, en);
  // A corner that is not a finite, non-negative frequency (reversed band,
  // noise below the white floor, zero density) is not written.
  if (!e.corner || !std::isfinite(*e.corner) || *e.corner < 0) return {std::nullopt, true};
  return {ShownValue(*e.corner), e.unitError};
}

}  // namespace tervane
