#include "noise/log_quadrature.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <utility>

#include "noise/lanes.h"

namespace tervane {
namespace {

// The 21-point Kronrod extension of the 10-point Gauss-Legendre rule on
// [-1, 1]: the positive half of its nodes, the middle one last. The Gauss
// nodes are those at the odd places.
constexpr std::array<double, 11> kNodes{0.995657163025808080735527280689003,
                                        0.973906528517171720077964012084452,
                                        0.930157491355708226001207180059508,
                                        0.865063366688984510732096688423493,
                                        0.780817726586416897063717578345042,
                                        0.679409568299024406234327365114874,
                                        0.562757134668604683339000099272694,
                                        0.433395394129247190799265943165784,
                                        0.294392862701460198131126603103866,
                                        0.148874338981631210884826001129720,
                                        0.0};
constexpr std::array<double, 11> kKronrodWeights{
    0.011694638867371874278064396062192, 0.032558162307964727478818972459390, 0.054755896574351996031381300244580,
    0.075039674810919952767043140916190, 0.093125454583697605535065465083366, 0.109387158802297641899210590325805,
    0.123491976262065851077208089732600, 0.134709217311473325928054001771707, 0.142775938577060080797094273138717,
    0.147739104901338491374841515972068, 0.149445554002916905664936468389821};
constexpr std::array<double, 5> kGaussWeights{0.066671344308688137593568809893332, 0.149451349150580593145776339657697,
                                              0.219086362515982043995534934228163, 0.269266719309996355091226921569469,
                                              0.295524224714752870173892994651338};

// A decade per panel: on ln f a first-order corner or a weighting's double
// pole lies pi/2 off the axis, and a panel of 2.3 integrates it with the
// Kronrod rule to about 1e-16; what is sharper (a resonance, the 468
// curve's peak) the halving finds.
constexpr double kPanelsPerDecade = 1;
// |Kronrod - Gauss| overstates the Kronrod sum's error by orders of
// magnitude, so this bound leaves results good to far better than 1e-10.
constexpr double kRelativeError = 1e-10;
constexpr std::size_t kMaxHalvings = 2000;
// Room for a chain of stages, every source of every stage a component
// (IntegrateChain).
constexpr std::size_t kMaxComponents = kMaxQuadratureComponents;

// A panel's 21 nodes with their Kronrod and Gauss weights, the Jacobian
// f of d(ln f) taken in: the integral of g df over the panel is about the
// sum of weight * g(frequency).
constexpr std::size_t kPanelNodes = 2 * kNodes.size() - 1;

// Whether node n of a panel, in RuleOf's order, is one of the Gauss
// rule's: they come in pairs, each after a pair that is not.
constexpr bool IsGaussNode(std::size_t n) { return (n / 2) % 2 == 1; }
struct PanelRule {
  std::array<double, kPanelNodes> frequency{};
  std::array<double, kPanelNodes> kronrod{};
  std::array<double, kPanelNodes> gauss{};  // 0 at the nodes the Gauss rule lacks
};

// exp(half * x) at each of kNodes: the factors from a panel's centre to its
// nodes, on ln f half a panel wide.
struct NodeSteps {
  double half = NAN;
  std::array<double, kNodes.size()> steps{};
};
NodeSteps StepsOf(double half) {
  NodeSteps s{half};
  for (std::size_t k = 0; k < kNodes.size(); ++k) s.steps[k] = std::exp(half * kNodes[k]);
  return s;
}

// `steps`, those of a panel as wide as this one was, are worked out afresh
// only where the width differs: a halved panel's two halves, and the
// panels between two edges, are often the same width to the last bit.
PanelRule RuleOf(std::pair<double, double> bounds, NodeSteps& steps) {
  const double half = (bounds.second - bounds.first) / 2;
  if (!(steps.half == half)) steps = StepsOf(half);
  // The middle of ln f rounds by up to half an ulp, about 1e-15 of it at
  // audio frequencies: a panel beside a resonance of Q 1e11 is 1e-11 wide,
  // and all its nodes would move by a part in 1e4 of it. Where the rounding
  // is more than 1e-12 of the panel, the centre takes back what it lost; a
  // wider panel keeps its rounded centre, which moves its nodes by far
  // less than the rule's error, so that a circuit without such a resonance
  // keeps its results to the last digit.
  const double middle = (bounds.first + bounds.second) / 2;
  const double lost = (bounds.first - middle) + (bounds.second - middle);
  const double centre = std::exp(middle) * (std::fabs(lost) > 1e-12 * half ? 1 + lost / 2 : 1);
  PanelRule rule;
  for (std::size_t k = 0; k < kNodes.size(); ++k) {
    const double step = steps.steps[k];
    for (const std::size_t n : {2 * k, 2 * k + 1}) {
      if (n == rule.frequency.size()) break;  // the middle node is one
      const double f = n % 2 == 0 ? centre / step : centre * step;
      rule.frequency[n] = f;
      rule.kronrod[n] = kKronrodWeights[k] * half * f;
      rule.gauss[n] = IsGaussNode(n) ? kGaussWeights[k / 2] * half * f : 0;
    }
  }
  return rule;
}

// Panels on ln f, each with its components' Kronrod sums, error estimates
// and the Kronrod sums of their magnitudes.
class Panels {
 public:
  // With room for `room` panels, so that the first ones are not moved as
  // more come.
  Panels(std::size_t components, const QuadratureProbe& probe, std::size_t room)
      : components_(components), probe_(probe), values_(components * kPanelNodes) {
    bounds_.reserve(room);
    rules_.reserve(room);
    live_.reserve(room);
    sums_.reserve(3 * components_ * room);
  }

  std::size_t Add(double from, double to) {
    const std::size_t index = bounds_.size();
    bounds_.push_back({from, to});
    live_.push_back(true);
    sums_.resize(sums_.size() + 3 * components_, 0.0);
    const PanelRule& rule = rules_.emplace_back(RuleOf({from, to}, steps_));
    probe_(rule.frequency, values_);
    std::size_t c = 0;
    for (; c + 2 * kBlockPairs <= components_; c += 2 * kBlockPairs) Sum<kBlockPairs>(rule, c, 2 * kBlockPairs, index);
    for (; c < components_; c += 2) Sum<1>(rule, c, std::min<std::size_t>(2, components_ - c), index);
    return index;
  }

  std::size_t Count() const { return bounds_.size(); }
  std::pair<double, double> Bounds(std::size_t i) const { return bounds_[i]; }
  const PanelRule& Rule(std::size_t i) const { return rules_[i]; }
  bool Live(std::size_t i) const { return live_[i]; }
  void Retire(std::size_t i) { live_[i] = false; }
  double* Kronrod(std::size_t i) { return &sums_[3 * components_ * i]; }
  double* Error(std::size_t i) { return Kronrod(i) + components_; }
  double* Magnitude(std::size_t i) { return Kronrod(i) + 2 * components_; }

 private:
  // The pairs of components whose sums one pass over a panel's nodes holds
  // in vector registers: two sums and the sign bits of each, with a node's
  // weights and values, in the sixteen that x86-64 has.
  static constexpr std::size_t kBlockPairs = 3;

  // The values of the `count` components (2, or 1 and then a 0) from `row` on.
  static Lanes PairOf(const double* row, std::size_t count) { return count > 1 ? LoadLanes(row) : Lanes{row[0], 0}; }

  // The Kronrod sum, the error estimate and the sum of magnitudes of panel
  // `index` for `count` components from `first` on (2 kPairs, or one fewer),
  // two in each vector register, held there from the panel's first node to
  // its last: each sum taken over the nodes in their order, as one at a
  // time would. The nodes the Gauss rule lacks, of weight 0, add nothing
  // to its sums but 0 times a value: left out, they leave every finite sum
  // as it is, and where a value is infinite the Kronrod sum is too. A
  // component none of whose values has its sign bit set, as most have
  // none, has the sum of magnitudes its Kronrod sum is, to the last bit.
  template <std::size_t kPairs>
  void Sum(const PanelRule& rule, std::size_t first, std::size_t count, std::size_t index) {
    std::array<Lanes, kPairs> kronrod{};
    std::array<Lanes, kPairs> gauss{};
    std::array<LaneBits, kPairs> signs{};
    // A node's terms; whether it is a Gauss node known where the code is
    // written, so that no node tests it.
    const auto add = [&](std::size_t node, auto gaussNode) {
      const double* row = &values_[node * components_ + first];
      for (std::size_t p = 0; p < kPairs; ++p) {
        const Lanes v = PairOf(row + 2 * p, count - 2 * p);
        kronrod[p] += rule.kronrod[node] * v;
        if constexpr (decltype(gaussNode)::value) gauss[p] += rule.gauss[node] * v;
        signs[p] |= std::bit_cast<LaneBits>(v);
      }
    };
    static_assert(kPanelNodes % 4 == 1 && !IsGaussNode(0) && !IsGaussNode(1) && IsGaussNode(2) && IsGaussNode(3) &&
                  !IsGaussNode(kPanelNodes - 1));
    for (std::size_t node = 0; node + 1 < kPanelNodes; node += 4) {
      add(node, std::false_type{});
      add(node + 1, std::false_type{});
      add(node + 2, std::true_type{});
      add(node + 3, std::true_type{});
    }
    add(kPanelNodes - 1, std::false_type{});
    for (std::size_t p = 0; p < kPairs; ++p) {
      const Lanes magnitude =
          ((signs[p][0] | signs[p][1]) & kSignBit) == 0 ? kronrod[p] : MagnitudeSum(rule, first + 2 * p, count - 2 * p);
      const std::array<Lanes, 3> sums{kronrod[p], AbsLanes(kronrod[p] - gauss[p]), magnitude};
      for (std::size_t k = 0; k < sums.size(); ++k)
        for (std::size_t lane = 0; lane < 2 && 2 * p + lane < count; ++lane)
          sums_[(3 * index + k) * components_ + first + 2 * p + lane] = sums[k][lane];
    }
  }

  // The Kronrod sums of |value| of the pair of components from `first` on
  // (of one where `count` is 1).
  Lanes MagnitudeSum(const PanelRule& rule, std::size_t first, std::size_t count) const {
    Lanes sum{};
    for (std::size_t node = 0; node < kPanelNodes; ++node) {
      const double* row = &values_[node * components_ + first];
      sum += rule.kronrod[node] * AbsLanes(PairOf(row, count));
    }
    return sum;
  }

  std::size_t components_;
  const QuadratureProbe& probe_;
  std::vector<double> values_;
  std::vector<std::pair<double, double>> bounds_;
  std::vector<PanelRule> rules_;  // kept for the result's nodes
  NodeSteps steps_;               // the last panel's
  std::vector<bool> live_;
  std::vector<double> sums_;
};

// The larger of a and b, and a where b is NaN, as std::fmax gives them,
// but inlined where fmax is a call.
double Max(double a, double b) { return a < b ? b : a; }

// The whole band's error and magnitude per component, and which panel to
// halve next: the one whose error is the largest share of a component's
// allowance.
class Refinement {
 public:
  // With room for `room` panels.
  Refinement(Panels& panels, std::size_t components, std::size_t room)
      : panels_(panels), components_(components), error_(components), magnitude_(components) {
    worst_.reserve(room);
  }

  void Enter(std::size_t panel, double sign) {
    const double* error = panels_.Error(panel);
    const double* magnitude = panels_.Magnitude(panel);
    for (std::size_t c = 0; c < components_; ++c) {
      error_[c] = Max(0.0, error_[c] + sign * error[c]);
      magnitude_[c] = Max(0.0, magnitude_[c] + sign * magnitude[c]);
    }
    if (sign > 0) Push(panel);
  }

  bool Done() const {
    for (std::size_t c = 0; c < components_; ++c)
      if (error_[c] > kRelativeError * magnitude_[c]) return false;
    return true;
  }

  // The worst panel, or none when every one left is beyond halving.
  std::optional<std::size_t> Worst() {
    if (worst_.empty()) return std::nullopt;
    std::pop_heap(worst_.begin(), worst_.end());
    const std::size_t panel = worst_.back().second;
    worst_.pop_back();
    return panel;
  }

 private:
  void Push(std::size_t panel) {
    const auto [from, to] = panels_.Bounds(panel);
    const double mid = (from + to) / 2;
    if (!(mid > from && mid < to)) return;  // as narrow as a double allows
    worst_.emplace_back(Share(panels_.Error(panel)), panel);
    std::push_heap(worst_.begin(), worst_.end());
  }

  // The largest share of a component's magnitude that `error` is. Not
  // inlined: where it is, the compiler keeps the running maximum in memory,
  // and each component waits for the last one's store.
  [[gnu::noinline]] double Share(const double* error) const {
    double share = 0;
    for (std::size_t c = 0; c < components_; ++c)
      if (magnitude_[c] > 0) share = Max(share, error[c] / magnitude_[c]);
    return share;
  }

  Panels& panels_;
  std::size_t components_;
  std::vector<double> error_;
  std::vector<double> magnitude_;
  std::vector<std::pair<double, std::size_t>> worst_;
};

// ln f of the band's edges and the breakpoints strictly inside it, in order.
std::vector<double> Edges(Band band, std::span<const double> breakpoints) {
  std::vector<double> inside;
  inside.reserve(breakpoints.size());
  for (const double f : breakpoints)
    if (f > band.lower && f < band.upper) inside.push_back(f);
  std::sort(inside.begin(), inside.end());
  inside.erase(std::unique(inside.begin(), inside.end()), inside.end());
  std::vector<double> edges;
  edges.reserve(inside.size() + 2);
  edges.push_back(std::log(band.lower));
  for (const double f : inside) edges.push_back(std::log(f));
  edges.push_back(std::log(band.upper));
  return edges;
}

// How many panels, each about a decade wide, divide a stretch `width` wide
// on ln f.
int PanelCount(double width) {
  return std::max(1, static_cast<int>(std::round(width / std::log(10.0) * kPanelsPerDecade)));
}

// The panels before any halving: a decade wide, or as near as divides the
// stretch between two edges evenly.
std::vector<std::pair<double, double>> InitialPanels(const std::vector<double>& edges) {
  std::size_t total = 0;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) total += PanelCount(edges[e + 1] - edges[e]);
  std::vector<std::pair<double, double>> panels;
  panels.reserve(total);
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    const double width = edges[e + 1] - edges[e];
    const int count = PanelCount(width);
    for (int k = 0; k < count; ++k) {
      const double from = k == 0 ? edges[e] : edges[e] + width * k / count;
      const double to = k + 1 == count ? edges[e + 1] : edges[e] + width * (k + 1) / count;
      panels.push_back({from, to});
    }
  }
  return panels;
}

void AppendNodes(const PanelRule& rule, std::vector<QuadratureNode>& nodes) {
  for (std::size_t k = 0; k < rule.frequency.size(); ++k) nodes.push_back({rule.frequency[k], rule.kronrod[k]});
}

}  // namespace

std::optional<Quadrature> IntegrateOverBand(Band band, std::span<const double> breakpoints, std::size_t components,
                                            const QuadratureProbe& probe) {
  if (!(band.lower > 0 && band.lower <= band.upper && std::isfinite(band.upper / band.lower)) ||
      components > kMaxComponents)
    return std::nullopt;
  Quadrature result;
  result.integrals.assign(components, 0.0);
  if (band.lower == band.upper) return result;

  const std::vector<std::pair<double, double>> initial = InitialPanels(Edges(band, breakpoints));
  const std::size_t room = 4 * initial.size();  // the initial panels and the halvings of most integrals
  Panels panels(components, probe, room);
  Refinement refinement(panels, components, room);
  for (const auto& [from, to] : initial) refinement.Enter(panels.Add(from, to), +1);
  for (std::size_t halvings = 0; halvings < kMaxHalvings && !refinement.Done(); ++halvings) {
    const std::optional<std::size_t> worst = refinement.Worst();
    if (!worst) break;
    const auto [from, to] = panels.Bounds(*worst);
    const double mid = (from + to) / 2;
    refinement.Enter(*worst, -1);
    panels.Retire(*worst);
    refinement.Enter(panels.Add(from, mid), +1);
    refinement.Enter(panels.Add(mid, to), +1);
  }

  result.nodes.reserve(kPanelNodes * panels.Count());
  for (std::size_t i = 0; i < panels.Count(); ++i) {
    if (!panels.Live(i)) continue;
    const double* kronrod = panels.Kronrod(i);
    for (std::size_t c = 0; c < components; ++c) result.integrals[c] += kronrod[c];
    AppendNodes(panels.Rule(i), result.nodes);
  }
  return result;
}

}  // namespace tervane
