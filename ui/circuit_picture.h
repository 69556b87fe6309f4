#pragma once

#include "form/calculator_form.h"

class QLabel;
class QPainter;
class QRectF;

namespace tervane::ui {

// Shows the drawing of the topology in the picture, at the drawing's own
// size in pixels, rendered for the screen's scale so that it stays crisp.
// A drawing that cannot be loaded leaves the picture empty.
void ShowCircuit(QLabel* picture, AmplifierType type);

// Shows the drawing of the form's topology with its source, load, feedback
// capacitor, op amp and bias resistor as built, each part labelled with the
// value the calculation reads, a part left out in grey (Cb too where Rb is).
void ShowBuiltCircuit(QLabel* picture, const CalculatorForm& form);

// Draws the topology's drawing as lines and text, fitted into `area` with
// its proportions kept; returns where it went (empty when it cannot be
// loaded).
QRectF DrawCircuit(QPainter& painter, AmplifierType type, const QRectF& area);

}  // namespace tervane::ui
