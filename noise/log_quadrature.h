#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "noise/band.h"

namespace tervane {

// One node of a quadrature rule over a band: the integral of g(f) df is
// about the sum of weight * g(frequency) over the nodes.
struct QuadratureNode {
  double frequency = 0;  // Hz
  double weight = 0;     // Hz
};

struct Quadrature {
  std::vector<QuadratureNode> nodes;
  std::vector<double> integrals;  // of each component of the integrand
};

// The most components an integrand may have.
inline constexpr std::size_t kMaxQuadratureComponents = 440;

// Writes the integrand's components at each of `frequencies` into
// `values`, a row of them per frequency: a panel's nodes at once, so that
// neither the call nor what an integrand sets up is paid at every node.
using QuadratureProbe = std::function<void(std::span<const double> frequencies, std::span<double> values)>;

// The one integrator of every band integral of the program: 21-point
// Gauss-Kronrod panels on ln f (whose ten Gauss-Legendre nodes give each
// panel's error estimate), a decade wide, ending at the band's edges and at
// every breakpoint inside it. Panels are halved, the worst first, until for
// every component the estimated error is below 1e-10 of the integral of its
// magnitude. A narrow peak between the nodes of a panel goes unseen: give
// its frequency as a breakpoint (a resonance's edges, and points at
// distances from it that grow no faster than the panels' widths) and the
// panels next to it find it. Nothing unless 0 < lower <= upper with
// upper / lower finite, or for more than kMaxQuadratureComponents; an empty band
// integrates to 0 with no nodes.
std::optional<Quadrature> IntegrateOverBand(Band band, std::span<const double> breakpoints, std::size_t components,
                                            const QuadratureProbe& probe);

}  // namespace tervane
