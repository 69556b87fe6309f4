#pragma once

namespace tervane {

// The stage's topology, in the order of the radio buttons. The form holds it
// as an int, -1 before any button is chosen, hence the fixed underlying type.
// The three voltage stages amplify a source's EMF; the transimpedance
// amplifier turns a photodiode's current into a voltage.
enum AmplifierType : int { AMP_BUFFER = 0, AMP_NONINVERTING = 1, AMP_INVERTING = 2, AMP_TRANSIMPEDANCE = 3 };

}  // namespace tervane
