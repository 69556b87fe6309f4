#pragma once

namespace tervane {

// Four times Boltzmann's constant (CODATA 2006), as one double: a
// resistance R at T kelvin has a thermal noise of 4kTR, V^2/Hz.
inline constexpr double kFourBoltzmann = 5.5226016e-23;

// The elementary charge q, C (exact since the SI of 2019): a current I
// has a shot noise of 2qI, A^2/Hz.
inline constexpr double kElementaryCharge = 1.602176634e-19;

}  // namespace tervane
