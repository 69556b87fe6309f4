#pragma once

#include "form/calculator_form.h"

class QLabel;

namespace tervane::ui {

// Shows the drawing of the topology in the picture, at the drawing's own
// size in pixels, rendered for the screen's scale so that it stays crisp.
// A drawing that cannot be loaded leaves the picture empty.
void ShowCircuit(QLabel* picture, AmplifierType type);

}  // namespace tervane::ui
