#pragma once

#include <QWidget>

#include "form/form_calculation.h"

namespace tervane::ui {

// "Spectrum": the output noise density against frequency on log-log axes,
// from a decade below the band to a decade above it, the band shaded: the
// total bold, each source thin with the 1/f rise where it applies. A source
// without noise has no place on a log axis and is named under the plot
// instead. A result without a spectrum shows one line saying why.
class CSpectrumView : public QWidget {
 public:
  CSpectrumView(const NoiseResult& result, QWidget* parent);
};

}  // namespace tervane::ui
