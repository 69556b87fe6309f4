#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tervane {

// Two doubles worked on at once, one in each lane of a vector register
// (SSE2 on x86-64, NEON on ARM, a pair of scalars where there is neither),
// by the vector extension GCC and Clang share. Each lane gets the IEEE
// operation a double alone would, so two numbers worked out at once come
// out bit for bit as each would alone: the integrals' hot loops take two
// nodes, or two components, in little more than the time of one, and the
// results stay the same to the last digit.
using Lanes = double __attribute__((vector_size(2 * sizeof(double))));

inline Lanes LoadLanes(const double* from) {
  Lanes x;
  std::memcpy(&x, from, sizeof x);
  return x;
}

// The bits of each lane's double.
using LaneBits = std::uint64_t __attribute__((vector_size(sizeof(Lanes))));
inline constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;

// std::fabs of each lane: its sign bit cleared.
inline Lanes AbsLanes(Lanes x) { return std::bit_cast<Lanes>(std::bit_cast<LaneBits>(x) & ~kSignBit); }

// A complex number in each lane, with the members of std::complex that the
// circuit's arithmetic reads.
struct ComplexLanes {
  Lanes re{};
  Lanes im{};
  Lanes real() const { return re; }
  Lanes imag() const { return im; }
};

}  // namespace tervane
