#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tervane {

// A weighted least-squares problem: m residuals r_i(x) of p unknowns, each
// unknown bounded below, the cost the sum of w_i r_i^2 / 2.
struct LeastSquaresProblem {
  std::vector<double> weights;  // w_i > 0, one per residual
  std::vector<double> lower;    // each unknown's bound (-inf for none)
  // The residuals at x, and where `jacobian` is not empty dr_i/dx_j at
  // [i * p + j]; false where they are not finite there.
  std::function<bool(std::span<const double> x, std::span<double> residuals, std::span<double> jacobian)> evaluate;
};

struct LeastSquaresSolution {
  std::vector<double> x;  // the lowest cost found
  // Each unknown's standard error at x, from the Jacobian scaled by the
  // residuals' variance (a sandwich of the weighted normal matrix, right for
  // residuals of equal variance whatever the weights), the bounds left
  // aside; none where the residuals do not determine the unknowns.
  std::vector<std::optional<double>> standardError;
  double cost = 0;
  bool converged = false;  // the Gauss-Newton step from x lowers the cost by nothing that counts
  int iterations = 0;
};

// Levenberg-Marquardt with Marquardt's scaling, each step cut back to the
// bounds and an unknown at its bound held there while the cost would go
// on falling past it. Stops after `maxIterations` steps at the most,
// converged or not. `start` must be within the bounds with finite
// residuals.
LeastSquaresSolution SolveLeastSquares(const LeastSquaresProblem& problem, std::vector<double> start,
                                       int maxIterations);

}  // namespace tervane
