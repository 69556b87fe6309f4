#include "measured/noise_fit.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "measured/least_squares.h"
#include "noise/noise_source.h"

namespace tervane {
namespace {

constexpr double kDbPerNeper = 10 / std::numbers::ln10;  // 10 log10(P) = kDbPerNeper ln(P)

// A measured point with the model's terms there.
struct FitRow {
  OpAmpTerms terms;
  double measuredDb = 0;  // 10 log10 of the measured power density
  double weight = 0;      // the decades the point stands for
};

// The decades each point stands for: half the span to its neighbours.
void AddRows(std::span<const MeasuredPoint> points, std::span<const OpAmpTerms> terms, std::vector<FitRow>& rows) {
  for (std::size_t k = 0; k < points.size(); ++k) {
    const double below = points[k > 0 ? k - 1 : k].frequency;
    const double above = points[k + 1 < points.size() ? k + 1 : k].frequency;
    rows.push_back({terms[k], 2 * kDbPerNeper * std::log(points[k].density),
                    std::log10(above / below) / 2});
  }
}

// The op amp all the stages share, with the current's own corner where it
// is fitted.
OpAmpNoise SharedOpAmp(const StageInputs& first, const FitOptions& options) {
  OpAmpNoise opAmp = OpAmpOf(first);
  if (options.chosen[FitIndex(FitParameter::kCurrentCorner)] && !opAmp.currentCorner)
    opAmp.currentCorner = RisesBelowCorner(SourceDrive::kCurrent, opAmp.applyCorner) ? opAmp.cornerFreq : 0;
  return opAmp;
}

// The rows of every measurement, or the reason there are none.
std::optional<std::vector<FitRow>> RowsOf(std::span<const FitMeasurement> measurements, const OpAmpNoise& opAmp,
                                          CornerRule rule, std::string& reason) {
  std::vector<FitRow> rows;
  for (std::size_t k = 0; k < measurements.size(); ++k) {
    const std::string which = measurements.size() > 1 ? "measurement " + std::to_string(k + 1) + ": " : "";
    const StageInputs stage = WithOpAmp(measurements[k].stage, opAmp);
    const std::optional<MeasuredSpectrum> output = AtOutput(measurements[k].spectrum, stage);
    if (!output) {
      reason = which + "the stage has no gain to take it from its input to its output";
      return std::nullopt;
    }
    const std::optional<std::vector<OpAmpTerms>> terms = OpAmpTermsOf(stage, rule, output->points);
    if (!terms) {
      reason = which + "the stage has no spectrum at its frequencies";
      return std::nullopt;
    }
    AddRows(output->points, *terms, rows);
  }
  double total = 0;
  for (const FitRow& row : rows) total += row.weight;
  for (FitRow& row : rows) row.weight *= static_cast<double>(rows.size()) / total;
  return rows;
}

}  // namespace

NoiseFitting FitNoise(std::span<const FitMeasurement> measurements, const FitOptions& options) {
  std::vector<std::size_t> moved;  // FitIndex of each unknown the solver moves
  for (std::size_t j = 0; j < kFitParameterCount; ++j)
    if (options.chosen[j]) moved.push_back(j);
  if (moved.empty()) return {std::nullopt, "no figure is chosen to fit"};
  if (measurements.empty()) return {std::nullopt, "there is no measurement to fit"};
  OpAmpNoise opAmp = SharedOpAmp(measurements[0].stage, options);
  const CornerRule rule{opAmp.applyCorner, opAmp.currentCorner.has_value()};
  std::string reason;
  const std::optional<std::vector<FitRow>> rows = RowsOf(measurements, opAmp, rule, reason);
  if (!rows) return {std::nullopt, reason};
  if (rows->size() <= moved.size()) return {std::nullopt, "there are fewer points than figures to fit"};

  const FitUnknowns start{opAmp.en * opAmp.en, opAmp.cornerFreq, opAmp.in * opAmp.in,
                          opAmp.currentCorner.value_or(0), 0};
  const auto full = [&](std::span<const double> x) {
    FitUnknowns all = start;
    for (std::size_t j = 0; j < moved.size(); ++j) all[moved[j]] = x[j];
    return all;
  };
  LeastSquaresProblem problem;
  for (const FitRow& row : *rows) problem.weights.push_back(row.weight);
  for (const std::size_t j : moved) problem.lower.push_back(j == FitIndex(FitParameter::kGain) ? -INFINITY : 0.0);
  problem.evaluate = [&](std::span<const double> x, std::span<double> r, std::span<double> jacobian) {
    const FitUnknowns all = full(x);
    for (std::size_t i = 0; i < rows->size(); ++i) {
      const ModelPoint m = ModelAt((*rows)[i].terms, rule, all);
      if (!(m.power > 0 && std::isfinite(m.power))) return false;
      r[i] = kDbPerNeper * std::log(m.power) - (*rows)[i].measuredDb;
      if (!jacobian.empty())
        for (std::size_t j = 0; j < moved.size(); ++j)
          jacobian[i * moved.size() + j] = kDbPerNeper * m.slope[moved[j]] / m.power;
    }
    return true;
  };
  std::vector<double> x0;
  for (const std::size_t j : moved) x0.push_back(start[j]);
  std::vector<double> probe(rows->size());
  if (!problem.evaluate(x0, probe, {})) return {std::nullopt, "the model as given has no noise to fit"};

  const LeastSquaresSolution solution = SolveLeastSquares(problem, x0, options.maxIterations);
  NoiseFit fit;
  fit.converged = solution.converged;
  fit.iterations = solution.iterations;
  fit.residualRmsDb = std::sqrt(2 * solution.cost / static_cast<double>(rows->size()));
  for (std::size_t j = 0; j < moved.size(); ++j) {
    const double x = solution.x[j];
    const std::optional<double> error = solution.standardError[j];
    FittedValue value;
    switch (static_cast<FitParameter>(moved[j])) {
      case FitParameter::kEn:
      case FitParameter::kIn:  // x = v^2: dv = dx / 2v
        value.value = std::sqrt(x);
        if (error && x > 0) value.standardError = *error / (2 * value.value);
        break;
      case FitParameter::kGain:  // x = ln g: dg = g dx
        value.value = std::exp(x);
        if (error) value.standardError = *error * value.value;
        break;
      default:
        value = {x, error};
    }
    fit.fitted[moved[j]] = value;
  }
  const FitUnknowns all = full(solution.x);
  fit.opAmp = opAmp;
  fit.opAmp.en = std::sqrt(all[FitIndex(FitParameter::kEn)]);
  fit.opAmp.cornerFreq = all[FitIndex(FitParameter::kCorner)];
  fit.opAmp.in = std::sqrt(all[FitIndex(FitParameter::kIn)]);
  if (rule.currentCorner) fit.opAmp.currentCorner = all[FitIndex(FitParameter::kCurrentCorner)];
  return {fit, {}};
}

}  // namespace tervane
