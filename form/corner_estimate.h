#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tervane {

// The two ways a datasheet gives low-frequency noise, in the order of the
// dialog's radio buttons.
enum CornerMode { CORNER_SINGLE_FREQ = 0, CORNER_THROUGH_RANGE = 1 };

// The members of the "Calculate 1/f Noise Corner" dialog.
struct CornerDialogState {
  int m_nSpecifyMode = -1;
  std::string m_strFreqRange;  // f, or "fL fH"
  std::string m_strNoise;      // spot density N, or band noise V and a unit word
};

// Replaces both texts with the placeholders of `mode`, discarding any typing.
void SetCornerPlaceholders(CornerDialogState& state, CornerMode mode);

// A field entered while it shows a placeholder (text beginning with "<")
// is emptied for typing.
void ClearPlaceholder(std::string& field);

inline constexpr std::string_view kCornerInputError = "Input error";

struct CornerEstimate {
  std::optional<std::string> cornerText;  // the new corner field, when one is written
  bool inputError = false;                // show "Input error" (after writing, if both)
};

// Reads the dialog's texts and solves for the corner (flicker_corner.h): at
// one frequency, or over a band from the total noise (rms, or peak-to-peak
// taken as kPeakToPeakPerRms x rms). `noiseVoltage` is the main form's white
// noise density field.
CornerEstimate EstimateCorner(const CornerDialogState& state, std::string_view noiseVoltage);

}  // namespace tervane
