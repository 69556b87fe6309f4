#pragma once

#include <complex>

namespace tervane {

// 1 / z as its conjugate over |z|^2: a circuit's admittances and gains keep
// |z|^2 far from overflow and every part finite, and this is several times
// quicker than the library's careful division and its recovery of infinite
// parts, which every node of every band integral would pay.
inline std::complex<double> Inverse(std::complex<double> z) { return std::conj(z) * (1 / std::norm(z)); }

}  // namespace tervane
