#pragma once

namespace tervane {

// The stage's topology, in the order of the radio buttons. The form holds it
// as an int, -1 before any button is chosen, hence the fixed underlying type.
enum AmplifierType : int { AMP_BUFFER = 0, AMP_NONINVERTING = 1, AMP_INVERTING = 2 };

}  // namespace tervane
