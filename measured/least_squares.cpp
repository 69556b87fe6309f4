#include "measured/least_squares.h"

#include <algorithm>
#include <cmath>

namespace tervane {
namespace {

// The weighted normal equations at one x, over the unknowns that move.
struct Normal {
  std::size_t p = 0;
  std::vector<double> a;     // J^T W J, p x p
  std::vector<double> b;     // J^T W^2 J, the sandwich's middle
  std::vector<double> g;     // J^T W r, the cost's gradient
  std::vector<bool> free;    // the unknowns that move
};

Normal NormalOf(const LeastSquaresProblem& problem, std::span<const double> x, std::span<const double> r,
                std::span<const double> jacobian) {
  const std::size_t p = x.size();
  Normal n{p, std::vector<double>(p * p), std::vector<double>(p * p), std::vector<double>(p), std::vector<bool>(p)};
  for (std::size_t i = 0; i < r.size(); ++i) {
    const double w = problem.weights[i];
    const double* row = &jacobian[i * p];
    for (std::size_t j = 0; j < p; ++j) {
      n.g[j] += w * row[j] * r[i];
      for (std::size_t k = 0; k < p; ++k) {
        n.a[j * p + k] += w * row[j] * row[k];
        n.b[j * p + k] += w * w * row[j] * row[k];
      }
    }
  }
  // An unknown with no effect, or at its bound with the cost falling past it, stays.
  for (std::size_t j = 0; j < p; ++j) n.free[j] = n.a[j * p + j] > 0 && !(x[j] <= problem.lower[j] && n.g[j] > 0);
  return n;
}

// Solves (S + lambda I) y = rhs in place for the unknowns of `among`, S
// being A scaled to a unit diagonal (Cholesky); the others' y is 0. False
// where the matrix is not positive definite.
bool SolveScaled(const Normal& n, const std::vector<bool>& among, double lambda, std::vector<double>& y) {
  std::vector<std::size_t> f;
  for (std::size_t j = 0; j < n.p; ++j)
    if (among[j]) f.push_back(j);
  const std::size_t q = f.size();
  std::vector<double> l(q * q);
  for (std::size_t i = 0; i < q; ++i)
    for (std::size_t j = 0; j <= i; ++j) {
      const std::size_t fi = f[i], fj = f[j];
      double sum = n.a[fi * n.p + fj] / std::sqrt(n.a[fi * n.p + fi] * n.a[fj * n.p + fj]) + (i == j ? lambda : 0);
      for (std::size_t k = 0; k < j; ++k) sum -= l[i * q + k] * l[j * q + k];
      if (i == j) {
        if (!(sum > 1e-14)) return false;
        l[i * q + i] = std::sqrt(sum);
      } else {
        l[i * q + j] = sum / l[j * q + j];
      }
    }
  std::vector<double> z(q);
  for (std::size_t i = 0; i < q; ++i) {
    z[i] = y[f[i]];
    for (std::size_t k = 0; k < i; ++k) z[i] -= l[i * q + k] * z[k];
    z[i] /= l[i * q + i];
  }
  for (std::size_t i = q; i-- > 0;) {
    for (std::size_t k = i + 1; k < q; ++k) z[i] -= l[k * q + i] * z[k];
    z[i] /= l[i * q + i];
  }
  std::fill(y.begin(), y.end(), 0.0);
  for (std::size_t i = 0; i < q; ++i) y[f[i]] = z[i];
  return true;
}

// The step that lowers the cost's quadratic model most with damping
// `lambda`, in the unknowns' own units; nothing where it cannot be solved.
std::optional<std::vector<double>> StepOf(const Normal& n, double lambda) {
  std::vector<double> y(n.p);
  for (std::size_t j = 0; j < n.p; ++j) y[j] = n.free[j] ? -n.g[j] / std::sqrt(n.a[j * n.p + j]) : 0;
  if (!SolveScaled(n, n.free, lambda, y)) return std::nullopt;
  for (std::size_t j = 0; j < n.p; ++j)
    if (n.free[j]) y[j] /= std::sqrt(n.a[j * n.p + j]);
  return y;
}

double Cost(const LeastSquaresProblem& problem, std::span<const double> r) {
  double cost = 0;
  for (std::size_t i = 0; i < r.size(); ++i) cost += problem.weights[i] * r[i] * r[i];
  return cost / 2;
}

// The Gauss-Newton step's fall of the cost, -g.step / 2, is below what
// counts: a millionth of a millionth of the cost, or residuals of 1e-9 rms.
bool AtMinimum(const LeastSquaresProblem& problem, const Normal& n, double cost) {
  const std::optional<std::vector<double>> step = StepOf(n, 1e-12);
  if (!step) return false;
  double fall = 0;
  for (std::size_t j = 0; j < n.p; ++j) fall -= n.g[j] * (*step)[j] / 2;
  double weights = 0;
  for (const double w : problem.weights) weights += w;
  return fall <= 1e-12 * cost + weights * 1e-18 / 2;
}

// The sandwich A^-1 B A^-1 s^2, s^2 the weighted residuals' variance, over
// every unknown with an effect: one held at its bound is as uncertain as
// the residuals make it, and so are the others with it. A^-1 column by
// column through the scaled solve.
std::vector<std::optional<double>> StandardErrors(const LeastSquaresProblem& problem, const Normal& n, double cost) {
  std::vector<std::optional<double>> errors(n.p);
  std::vector<bool> effective(n.p);
  std::size_t q = 0;
  for (std::size_t j = 0; j < n.p; ++j) q += effective[j] = n.a[j * n.p + j] > 0;
  const auto m = static_cast<double>(problem.weights.size());
  if (m <= static_cast<double>(q)) return errors;
  // The weights scaled to a mean of 1 make 2 cost m / sum(w) the residuals'
  // sum of squares; A^-1 B A^-1 does not change with the weights' scale.
  double weights = 0;
  for (const double w : problem.weights) weights += w;
  const double variance = 2 * cost * m / weights / (m - static_cast<double>(q));
  std::vector<double> inverse(n.p * n.p);  // A^-1 by columns
  for (std::size_t c = 0; c < n.p; ++c) {
    if (!effective[c]) continue;
    std::vector<double> y(n.p);
    y[c] = 1 / std::sqrt(n.a[c * n.p + c]);
    if (!SolveScaled(n, effective, 0, y)) return errors;
    for (std::size_t j = 0; j < n.p; ++j)
      if (effective[j]) inverse[c * n.p + j] = y[j] / std::sqrt(n.a[j * n.p + j]);
  }
  for (std::size_t j = 0; j < n.p; ++j) {
    if (!effective[j]) continue;
    double sum = 0;  // (A^-1 B A^-1)_jj
    for (std::size_t k = 0; k < n.p; ++k)
      for (std::size_t l = 0; l < n.p; ++l) sum += inverse[j * n.p + k] * n.b[k * n.p + l] * inverse[j * n.p + l];
    errors[j] = std::sqrt(sum * variance);
  }
  return errors;
}

}  // namespace

LeastSquaresSolution SolveLeastSquares(const LeastSquaresProblem& problem, std::vector<double> start,
                                       int maxIterations) {
  const std::size_t m = problem.weights.size();
  const std::size_t p = start.size();
  for (std::size_t j = 0; j < p; ++j) start[j] = std::max(start[j], problem.lower[j]);
  LeastSquaresSolution s{start, std::vector<std::optional<double>>(p), 0, false, 0};
  std::vector<double> r(m), jacobian(m * p), trial(p), trialR(m);
  if (!problem.evaluate(s.x, r, jacobian)) {
    s.cost = INFINITY;
    return s;
  }
  s.cost = Cost(problem, r);
  Normal n = NormalOf(problem, s.x, r, jacobian);
  double lambda = 1e-3;
  while (!(s.converged = AtMinimum(problem, n, s.cost)) && s.iterations < maxIterations) {
    ++s.iterations;
    bool lowered = false;
    for (; lambda < 1e16 && !lowered; lambda *= 10) {
      const std::optional<std::vector<double>> step = StepOf(n, lambda);
      if (!step) continue;
      for (std::size_t j = 0; j < p; ++j) trial[j] = std::max(s.x[j] + (*step)[j], problem.lower[j]);
      lowered = problem.evaluate(trial, trialR, {}) && Cost(problem, trialR) < s.cost;
    }
    if (!lowered) break;  // no step lowers the cost: x is as low as it goes
    lambda = std::max(lambda / 100, 1e-12);
    s.x = trial;
    problem.evaluate(s.x, r, jacobian);
    s.cost = Cost(problem, r);
    n = NormalOf(problem, s.x, r, jacobian);
  }
  s.standardError = StandardErrors(problem, n, s.cost);
  return s;
}

}  // namespace tervane
