#pragma once

#include "form/calculator_form.h"
#include "form/form_calculation.h"

namespace tervane {

// After a successful calculation: every value read goes back into its field
// in normalised notation (R1 only where the topology uses it, the temperature
// in Fahrenheit, the parts of the circuit as it is built only where given),
// the total noise into the carry field, and the band is kept
// for the next carry calculation. A failed calculation changes nothing.
void WriteBackResults(CalculatorForm& form, const NoiseResult& result);

}  // namespace tervane
