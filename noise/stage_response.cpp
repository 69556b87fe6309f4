#include "noise/stage_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "noise/physical_constants.h"

namespace tervane {
namespace {

using Complex = std::complex<double>;
constexpr double kTwoPi = 2 * std::numbers::pi;

template <typename Circuit>
auto& Kernel(Circuit& c, NoiseSource source) {
  return c.kernel[SourceIndex(source)];
}

// The circuit's arithmetic on a complex number, std::complex, or on one in
// each lane, ComplexLanes, alike: each the same operations on the parts as
// std::complex's own, where it has one.

// |z|^2, as std::norm.
template <typename C>
auto Norm(const C& z) {
  return z.real() * z.real() + z.imag() * z.imag();
}

// 1 / z as its conjugate over |z|^2, and the plain product: the circuit's
// values keep |z|^2 far from overflow and every part finite, and these are
// several times quicker than the library's careful division and its
// recovery of infinite parts, which every node of every integral would pay.
template <typename C>
C Inverse(const C& z) {
  const auto k = 1.0 / Norm(z);
  return {z.real() * k, -z.imag() * k};
}
template <typename C>
C Mul(const C& a, const C& b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// 1 + z, a + b, and x z for a real x.
template <typename C>
C OnePlus(const C& z) {
  return {z.real() + 1.0, z.imag()};
}
template <typename C>
C Add(const C& a, const C& b) {
  return {a.real() + b.real(), a.imag() + b.imag()};
}
template <typename C, typename Real>
C Scale(Real x, const C& z) {
  return {z.real() * x, z.imag() * x};
}

// x as a Real: a double, or x in each lane.
template <typename Real>
Real Splat(double x) {
  if constexpr (std::is_same_v<Real, Lanes>)
    return Lanes{x, x};
  else
    return x;
}

// The resonances among the roots of a0 + a1 s + a2 s^2 + a3 s^3 = 0
// (s = j 2 pi f): a complex pair peaks near |Im| with a half-power width of
// |Re| either side, however narrow; its edges, and points around it (Add),
// in Hz, are where a panel must end. A real root is a first-order corner,
// which a decade's panel integrates to the last digit wherever it lies.
// Nothing from a polynomial that is not finite.
class Resonances {
 public:
  explicit Resonances(std::vector<double>& out) : out_(out) {}

  void Of(std::array<double, 4> a) {
    for (const double c : a)
      if (!std::isfinite(c)) return;
    if (a[3] != 0) return Cubic({a[0] / a[3], a[1] / a[3], a[2] / a[3]});
    if (a[2] != 0) Quadratic(a[0] / a[2], a[1] / a[2]);
  }

 private:
  // s^2 + b s + c.
  void Quadratic(double c, double b) {
    const double discriminant = b * b - 4 * c;
    if (discriminant < 0) Add(-b / 2, std::sqrt(-discriminant) / 2);
  }

  // s^3 + a2 s^2 + a1 s + a0: a real root r by bisection within the
  // Cauchy bound, where the odd polynomial changes sign; the other two are
  // those of s^2 - sum s + product, from Vieta's rules, the sum taken the
  // way that keeps its digits.
  void Cubic(std::array<double, 3> a) {
    auto p = [&](double s) { return ((s + a[2]) * s + a[1]) * s + a[0]; };
    double low = -1 - std::fmax(std::fabs(a[0]), std::fmax(std::fabs(a[1]), std::fabs(a[2])));
    double high = -low;
    if (!(p(low) < 0 && p(high) > 0)) return;
    for (int i = 0; i < 200; ++i) {
      const double mid = (low + high) / 2;
      if (mid == low || mid == high) break;
      (p(mid) < 0 ? low : high) = mid;
    }
    const double r = (low + high) / 2;
    if (r == 0) return Quadratic(a[1], a[2]);
    const double product = -a[0] / r;
    const double sum = r * r > std::fabs(product) ? (a[1] - product) / r : -a[2] - r;
    Quadratic(product, -sum);
  }

  // The half-power edges, then distances from the peak growing fourfold up
  // to half its frequency: each panel beside the peak is three times as
  // wide as its distance from it, so its nodes see the peak's flank
  // wherever the band's edges lie. A panel from a sharp peak's edge to a
  // far band edge would set its first node decades beyond the flank, and
  // its two rules would agree on missing a quarter of the peak's power.
  void Add(double re, double im) {
    double d = std::fabs(re);
    do {
      for (const double w : {im - d, im + d})
        if (w > 0 && std::isfinite(w)) out_.push_back(w / kTwoPi);
      d *= 4;
    } while (d > 0 && d < im / 2);
  }

  std::vector<double>& out_;
};

bool HasExcessNoise(const StageInputs& s) {
  return std::ranges::any_of(s.excess, [](const std::optional<ExcessNoise>& e) { return e.has_value(); });
}

// Each resistor's excess noise, by ExcessResistor: its power density times
// f, (V 10^(NI/20) 1e-6)^2 / ln 10; none where it has none.
using ExcessDensities = std::array<std::optional<double>, kExcessResistorCount>;
ExcessDensities ExcessDensitiesOf(const StageInputs& s) {
  ExcessDensities densities;
  for (std::size_t r = 0; r < kExcessResistorCount; ++r)
    if (const std::optional<ExcessNoise>& e = s.excess[r]) {
      const double perDecade = e->dcVolts * std::pow(10.0, e->noiseIndexDb / 20) * 1e-6;
      densities[r] = perDecade * perDecade / std::numbers::ln10;
    }
  return densities;
}

// Each resistor's excess noise kernel: its density times the |transfer|^2
// of a voltage in series with it (by ExcessResistor).
template <typename Real, typename Complex>
[[gnu::noinline]] void SetExcessNoise(BasicCircuitAt<Real, Complex>& c, const ExcessDensities& densities,
                                      const std::array<Real, kExcessResistorCount>& transfer) {
  for (std::size_t r = 0; r < kExcessResistorCount; ++r)
    if (densities[r]) c.kernel[SourceIndex(NoiseSource::kExcessR1) + r] = *densities[r] * transfer[r];
}

// The + input's current flows through the source with its load and Rb in
// series, one current through both: its power is split between their rows
// in proportion to the voltages' magnitudes across them, |Zsl| and |Zb|,
// which never makes a row negative (for resistances, Rsl (Rsl + Rb) and
// Rb (Rsl + Rb)).
void SplitPlusInputCurrent(CircuitAt& c, double power, Complex zsl, Complex zb) {
  const double source = std::sqrt(std::norm(zsl));
  const double bias = std::sqrt(std::norm(zb));
  const double whole = source + bias;
  if (whole == 0) return;
  Kernel(c, NoiseSource::kCurrentNoiseRs) = power * (source / whole);
  Kernel(c, NoiseSource::kCurrentNoiseRb) = power * (bias / whole);
}

}  // namespace

OpAmpNoise OpAmpOf(const StageInputs& s) {
  return {s.en,           s.in,          s.cornerFreq,           s.applyCorner,
          s.gainBandwidth, s.currentCorner, s.inCorrelation,        s.commonModeCapacitance,
          s.differentialCapacitance};
}

StageInputs WithOpAmp(StageInputs s, const OpAmpNoise& opAmp) {
  s.en = opAmp.en;
  s.in = opAmp.in;
  s.cornerFreq = opAmp.cornerFreq;
  s.applyCorner = opAmp.applyCorner;
  s.gainBandwidth = opAmp.gainBandwidth;
  s.currentCorner = opAmp.currentCorner;
  s.inCorrelation = opAmp.inCorrelation;
  s.commonModeCapacitance = opAmp.commonModeCapacitance;
  s.differentialCapacitance = opAmp.differentialCapacitance;
  return s;
}

namespace {

// CurrentNoiseRise at a frequency, or at one in each lane.
template <typename Real>
Real CurrentNoiseRiseAt(const OpAmpNoise& opAmp, Real frequency) {
  if (opAmp.currentCorner) return 1 + *opAmp.currentCorner / frequency;
  if (RisesBelowCorner(SourceDrive::kCurrent, opAmp.applyCorner)) return 1 + opAmp.cornerFreq / frequency;
  return Splat<Real>(1);
}

}  // namespace

double CurrentNoiseRise(const OpAmpNoise& opAmp, double frequency) { return CurrentNoiseRiseAt(opAmp, frequency); }

namespace {

// R2 || 1/(j w Cf), and Z2 / R2, through which a voltage in series with R2
// reaches the output; w = 2 pi f, or one in each lane.
template <typename Complex>
struct Feedback {
  Complex share;  // Z2 / R2
  Complex z2;
};
template <typename Complex, typename Real>
Feedback<Complex> FeedbackAt(double r2, double cf, Real w) {
  const Complex share = Inverse(Complex{Splat<Real>(1), w * r2 * cf});
  return {share, Scale(r2, share)};
}

// What every topology is made of at one frequency (noise_model.md, "Over
// frequency").
struct Impedances {
  double w = 0;    // 2 pi f
  double kT4 = 0;  // 4kT
  Complex zs;
  Complex r2Share;  // Z2 / R2
  Complex z2;       // R2 || 1/(j w Cf)
  // Rb || 1/(j w Cb) = Rb * bShare; a voltage in series with Rb reaches the
  // + input through bShare. Without Rb, 0.
  Complex bShare;
  Complex zb;
};

Impedances ImpedancesAt(const StageInputs& s, double frequency) {
  Impedances z;
  z.w = kTwoPi * frequency;
  z.kT4 = kFourBoltzmann * s.kelvin;
  z.zs = {s.sourceResistor, z.w * s.sourceInductance.value_or(0)};
  const Feedback<Complex> feedback = FeedbackAt<Complex>(s.r2, s.feedbackCapacitor.value_or(0), z.w);
  z.r2Share = feedback.share;
  z.z2 = feedback.z2;
  if (s.biasResistor) {
    z.bShare = Inverse(Complex{1, z.w * *s.biasResistor * s.biasCapacitor.value_or(0)});
    z.zb = *s.biasResistor * z.bShare;
  }
  return z;
}

// What a topology leaves to the kernels every stage has: a current out of
// the + input (through Zp, or Zb inverting) reaches the output through
// plus (one out of the - input through -Z2), a voltage in series with R1,
// and one in series with Rload, through their |transfer|^2.
struct Transfers {
  Complex plus;
  double r1Voltage = 0;
  double loadVoltage = 0;
};

// The buffer and the non-inverting stage (noise_model.md, "Non-inverting
// stage and buffer"): the source with its load and Rb at the + input. The
// voltages' transfers only where `excess` noise wants them; nothing for a
// non-inverting stage without R1.
std::optional<Transfers> PlusInputStage(CircuitAt& c, const StageInputs& s, const Impedances& z, bool excess) {
  using enum NoiseSource;
  const bool buffer = s.ampType == AMP_BUFFER;
  if (!buffer && s.r1 == 0) return std::nullopt;
  const Complex yl{s.loadResistor ? 1 / *s.loadResistor : 0, z.w * s.loadCapacitor.value_or(0)};
  const Complex d = Inverse(1.0 + Mul(z.zs, yl));        // Zl / (Zs + Zl)
  const Complex zsl = Mul(z.zs, d);                      // Zs || Zl
  const Complex zp = s.biasResistor ? zsl + z.zb : zsl;  // and Rb in series
  const Complex ng = buffer ? Complex{1} : 1.0 + z.z2 * (1 / s.r1);
  Transfers t;
  c.noiseGain = ng;
  c.signalGain = Mul(d, ng);
  t.plus = Mul(zp, ng);
  const double plusInput = std::norm(t.plus);
  Kernel(c, kVoltageNoise) = std::norm(ng);
  if (s.biasResistor)
    SplitPlusInputCurrent(c, plusInput, zsl, z.zb);
  else
    Kernel(c, kCurrentNoiseRs) = plusInput;
  if (!buffer) Kernel(c, kR1Thermal) = z.kT4 / s.r1 * std::norm(z.z2);
  if (!buffer && excess) t.r1Voltage = std::norm(z.z2 * (1 / s.r1));
  Kernel(c, kRsThermal) = z.kT4 * s.sourceResistor * std::norm(c.signalGain);
  if (s.loadResistor) {
    // A current at the source's end of Rb: through Zsl alone.
    const double atLoad = s.biasResistor ? std::norm(Mul(zsl, ng)) : plusInput;
    Kernel(c, kRloadThermal) = z.kT4 / *s.loadResistor * atLoad;
    if (excess) t.loadVoltage = atLoad / (*s.loadResistor * *s.loadResistor);
  }
  c.loadedSourceKernel = kFourBoltzmann * zsl.real() * std::norm(ng);
  return t;
}

// The inverting stage (noise_model.md, "Inverting stage"): the source in
// the gain network, Rb from the + input to ground. Nothing where Zi = 0.
std::optional<Transfers> InvertingStage(CircuitAt& c, const StageInputs& s, const Impedances& z) {
  using enum NoiseSource;
  const Complex zi = z.zs + s.r1;
  if (zi == 0.0) return std::nullopt;
  const Complex a = Mul(z.z2, Inverse(zi));
  Transfers t;
  c.noiseGain = 1.0 + a;
  c.signalGain = -a;
  t.plus = Mul(z.zb, c.noiseGain);
  Kernel(c, kVoltageNoise) = std::norm(c.noiseGain);
  Kernel(c, kR1Thermal) = z.kT4 * s.r1 * std::norm(a);
  Kernel(c, kRsThermal) = z.kT4 * s.sourceResistor * std::norm(a);
  Kernel(c, kCurrentNoiseRb) = std::norm(t.plus);
  t.r1Voltage = std::norm(a);
  c.loadedSourceKernel = kFourBoltzmann * s.sourceResistor * std::norm(a);
  return t;
}

// What every topology's feedback forms alike: R2's noise and the - input's
// current through Z2, and the two inputs' currents' cross term where one
// out of the + input reaches the output through `plus`.
template <typename Real, typename Complex>
void SetFeedbackKernels(BasicCircuitAt<Real, Complex>& c, double kT4, const Complex& z2, const Complex& plus) {
  using enum NoiseSource;
  Kernel(c, kR2Thermal) = kT4 * z2.real();
  Kernel(c, kCurrentNoiseR2) = Norm(z2);
  // 2 Re{E[i+ conj(i-)] T+ conj(T-)} with T- = -Z2: the currents' cross term per c in(f)^2.
  Kernel(c, kCurrentCorrelation) = -2 * (plus.real() * z2.real() + plus.imag() * z2.imag());
}

// The kernels that every voltage stage forms alike from its gains and `t`.
void SetSharedKernels(CircuitAt& c, const StageInputs& s, const Impedances& z, const Transfers& t, bool excess) {
  using enum NoiseSource;
  SetFeedbackKernels(c, z.kT4, z.z2, t.plus);
  // Rs's own noise reaches the output as the signal does.
  c.sourceKernel = kFourBoltzmann * s.sourceResistor * std::norm(c.signalGain);
  // Rb's noise, a voltage at the + input.
  const double ng2 = std::norm(c.noiseGain);
  if (s.biasResistor) Kernel(c, kRbThermal) = z.kT4 * z.zb.real() * ng2;
  // Each resistor's excess noise, a voltage in series with it: R2's inside
  // Z2 reaches the output through Z2 / R2, Rs's as the signal, Rb's through
  // Zb / Rb and NG.
  if (excess)
    SetExcessNoise(
        c, ExcessDensitiesOf(s),
        {t.r1Voltage, std::norm(z.r2Share), std::norm(c.signalGain), t.loadVoltage, std::norm(z.bShare) * ng2});
}

}  // namespace

TransimpedanceCircuit::TransimpedanceCircuit(const StageInputs& s)
    : solvable_(s.ampType == AMP_TRANSIMPEDANCE && s.r2 != 0 && s.shuntResistance != 0.0),
      kT4_(kFourBoltzmann * s.kelvin),
      r2_(s.r2),
      cf_(s.feedbackCapacitor.value_or(0)),
      shunt_(s.shuntResistance ? 1 / *s.shuntResistance : 0),
      minusCapacitance_(s.diodeCapacitance.value_or(0) + s.commonModeCapacitance.value_or(0)),
      cdiff_(s.differentialCapacitance.value_or(0)),
      bias_(s.biasResistor.has_value()),
      rb_(s.biasResistor.value_or(0)),
      plusCapacitance_(s.biasCapacitor.value_or(0) + s.commonModeCapacitance.value_or(0)),
      shotNoise_(2 * kElementaryCharge * (s.darkCurrent.value_or(0) + s.photocurrent.value_or(0))),
      excess_(ExcessDensitiesOf(s)),
      anyExcess_(HasExcessNoise(s)) {}

// The transimpedance stage (noise_model.md, "Light in: the transimpedance
// amplifier"): the photodiode's current into the - input, Rsh || Cd and
// Ccm from there to ground, Cdiff between the inputs, the + input grounded
// or through Rb || (Cb and Ccm). Every kernel its own, as its + input
// meets the - input through Cdiff.
template <typename Real, typename Complex>
bool TransimpedanceCircuit::Fill(BasicCircuitAt<Real, Complex>& c) const {
  using enum NoiseSource;
  if (!solvable_) return false;
  const Real w = kTwoPi * c.frequency;
  const Feedback<Complex> feedback = FeedbackAt<Complex>(r2_, cf_, w);
  const Complex& z2 = feedback.z2;
  const Complex ym{Splat<Real>(shunt_), w * minusCapacitance_};
  const Complex yd{Splat<Real>(0), w * cdiff_};
  // The + input's impedance to ground, Zp (0 where it is grounded), and Zp
  // / Rb, through which a voltage in series with Rb reaches it.
  const Complex pShare = Inverse(Complex{Splat<Real>(1), w * rb_ * plusCapacitance_});
  const Complex zp = Scale(rb_, pShare);
  // Cdiff's current divides at the + input: the op amp amplifies 1 + Yd Zp times more.
  const Complex coupling = OnePlus(Mul(yd, zp));
  const Complex fromPlus = OnePlus(Mul(z2, ym));  // what a voltage at the + input makes, per Zp's current
  const Complex plus = Mul(zp, fromPlus);
  const Real minus = Norm(z2);
  // NG = (1 + Zf Yin) (1 + Yd Zp) with Yin = Ym + Yd / (1 + Yd Zp),
  // multiplied out: with no division, whose wait would hold up every node.
  c.noiseGain = Add(Mul(fromPlus, coupling), Mul(z2, yd));
  c.signalGain = {-z2.real(), -z2.imag()};
  Kernel(c, kVoltageNoise) = Norm(c.noiseGain);
  SetFeedbackKernels(c, kT4_, z2, plus);
  if (bias_) {
    Kernel(c, kCurrentNoiseRb) = Norm(plus);
    Kernel(c, kRbThermal) = kT4_ * zp.real() * Norm(fromPlus);  // 4kT / Rb |Zp|^2 |1 + Zf Ym|^2
  }
  Kernel(c, kRshThermal) = kT4_ * shunt_ * minus;
  Kernel(c, kShotNoise) = shotNoise_ * minus;
  c.sourceKernel = c.loadedSourceKernel = kFourBoltzmann * shunt_ * minus;
  if (anyExcess_)
    SetExcessNoise(c, excess_, {Real{}, Norm(feedback.share), Real{}, Real{}, Norm(pShare) * Norm(fromPlus)});
  return true;
}

bool TransimpedanceCircuit::At(CircuitAt& circuit) const { return Fill(circuit); }
bool TransimpedanceCircuit::At(CircuitLanes& circuit) const { return Fill(circuit); }

std::optional<CircuitAt> CircuitResponseAt(const StageInputs& s, double frequency) {
  // Built where it is returned: a CircuitAt is copied at every node of
  // every integral otherwise.
  std::optional<CircuitAt> result(std::in_place);
  CircuitAt& c = *result;
  c.frequency = frequency;
  if (s.ampType == AMP_TRANSIMPEDANCE) {
    if (!TransimpedanceCircuit(s).At(c)) result.reset();
    return result;
  }
  const bool excess = HasExcessNoise(s);
  const Impedances z = ImpedancesAt(s, frequency);
  std::optional<Transfers> t;
  switch (s.ampType) {
    case AMP_BUFFER:
    case AMP_NONINVERTING:
      t = PlusInputStage(c, s, z, excess);
      break;
    case AMP_INVERTING:
      t = InvertingStage(c, s, z);
      break;
    default:
      break;
  }
  if (!t) {
    result.reset();
    return result;
  }
  SetSharedKernels(c, s, z, *t, excess);
  return result;
}

namespace {

template <typename Real, typename Complex>
Complex ClosedLoopAt(const BasicCircuitAt<Real, Complex>& c, const std::optional<double>& gainBandwidth) {
  if (!gainBandwidth) return {Splat<Real>(1), Splat<Real>(0)};
  const Real x = c.frequency / *gainBandwidth;  // 1 + j x NG
  return Inverse(Complex{1 - x * c.noiseGain.imag(), x * c.noiseGain.real()});
}

template <typename Real, typename Complex>
BasicDriveScales<Real, Complex> ScalesAt(const BasicCircuitAt<Real, Complex>& c, const OpAmpNoise& opAmp) {
  BasicDriveScales<Real, Complex> d;
  d.h = ClosedLoopAt(c, opAmp.gainBandwidth);
  d.gain = Mul(c.signalGain, d.h);
  const Real h2 = Norm(d.h);
  const Real voltage = opAmp.en * opAmp.en * (1 + opAmp.cornerFreq / c.frequency);
  const Real current = opAmp.in * opAmp.in * CurrentNoiseRiseAt(opAmp, c.frequency);
  d.scale = {voltage * h2, current * h2, h2, Real{}, current * opAmp.inCorrelation.value_or(0) * h2, h2 / c.frequency};
  return d;
}

}  // namespace

std::complex<double> ClosedLoopResponse(const CircuitAt& c, const std::optional<double>& gainBandwidth) {
  return ClosedLoopAt(c, gainBandwidth);
}

DriveScales ScalesOf(const CircuitAt& c, const OpAmpNoise& opAmp) { return ScalesAt(c, opAmp); }
DriveScalesLanes ScalesOf(const CircuitLanes& c, const OpAmpNoise& opAmp) { return ScalesAt(c, opAmp); }

StageResponse RespondWith(const CircuitAt& c, const OpAmpNoise& opAmp) {
  static const std::array<SourceDrive, kStageSourceCount> kDrives = [] {
    std::array<SourceDrive, kStageSourceCount> drives{};
    for (std::size_t i = 0; i < kStageSourceCount; ++i) drives[i] = DriveOf(static_cast<NoiseSource>(i));
    return drives;
  }();
  const DriveScales d = ScalesOf(c, opAmp);
  StageResponse r;
  r.gain = d.gain;
  for (std::size_t i = 0; i < kStageSourceCount; ++i) r.power[i] = c.kernel[i] * d.scale[static_cast<int>(kDrives[i])];
  r.sourcePerKelvin = c.sourceKernel * std::norm(d.h);
  r.loadedSourcePerKelvin = c.loadedSourceKernel * std::norm(d.h);
  return r;
}

std::optional<StageResponse> StageResponseAt(const StageInputs& stage, double frequency) {
  const std::optional<CircuitAt> c = CircuitResponseAt(stage, frequency);
  if (!c) return std::nullopt;
  return RespondWith(*c, OpAmpOf(stage));
}

std::optional<double> BiasCancellingResistor(const StageInputs& s) {
  auto parallel = [](double a, double b) { return a * b / (a + b); };
  const double sourceDc = s.loadResistor ? parallel(s.sourceResistor, *s.loadResistor) : s.sourceResistor;
  double rb = NAN;
  switch (s.ampType) {
    case AMP_BUFFER:
      rb = s.r2 - sourceDc;
      break;
    case AMP_NONINVERTING:
      rb = parallel(s.r1, s.r2) - sourceDc;
      break;
    case AMP_INVERTING:
      rb = parallel(s.sourceResistor + s.r1, s.r2);
      break;
    case AMP_TRANSIMPEDANCE:
      rb = s.shuntResistance ? parallel(*s.shuntResistance, s.r2) : s.r2;
      break;
  }
  if (!std::isfinite(rb)) return std::nullopt;
  return std::fmax(rb, 0.0);
}

std::optional<double> LosslessResonance(const StageInputs& s) {
  if (s.ampType != AMP_BUFFER && s.ampType != AMP_NONINVERTING) return std::nullopt;
  // (Rs + j w Ls)(Gl + j w Cl) + 1 = 0: its imaginary part is w (Rs Cl + Ls Gl).
  const double gl = s.loadResistor ? 1 / *s.loadResistor : 0;
  const double ls = s.sourceInductance.value_or(0);
  const double cl = s.loadCapacitor.value_or(0);
  if (s.sourceResistor * cl + ls * gl != 0) return std::nullopt;
  const double w2 = (1 + s.sourceResistor * gl) / (ls * cl);
  if (!(w2 > 0 && std::isfinite(w2))) return std::nullopt;
  const double f = std::sqrt(w2) / kTwoPi;
  if (!(f >= s.lowerFreq && f <= s.upperFreq)) return std::nullopt;
  return f;
}

std::optional<ExcessResistor> ExcessNoiseOfNoResistor(const StageInputs& s) {
  const bool plusInput = s.ampType == AMP_BUFFER || s.ampType == AMP_NONINVERTING;
  const std::array<std::optional<double>, kExcessResistorCount> ohms{
      s.ampType == AMP_BUFFER || s.ampType == AMP_TRANSIMPEDANCE ? std::nullopt : std::optional(s.r1), s.r2,
      s.ampType == AMP_TRANSIMPEDANCE ? std::nullopt : std::optional(s.sourceResistor),
      plusInput ? s.loadResistor : std::nullopt, s.biasResistor};
  for (std::size_t r = 0; r < kExcessResistorCount; ++r)
    if (s.excess[r] && ohms[r].value_or(0) == 0) return static_cast<ExcessResistor>(r);
  return std::nullopt;
}

std::vector<double> CircuitBreakpoints(const StageInputs& s, const std::optional<double>& gainBandwidth) {
  const double rs = s.sourceResistor;
  const double r1 = s.r1;
  const double r2 = s.r2;
  const double ls = s.sourceInductance.value_or(0);
  const double gl = s.loadResistor ? 1 / *s.loadResistor : 0;
  const double cl = s.loadCapacitor.value_or(0);
  const double tau = r2 * s.feedbackCapacitor.value_or(0);  // Z2 = R2 / (1 + s tau)
  const double g = kTwoPi * gainBandwidth.value_or(0);      // A = g / s
  std::vector<double> out;
  Resonances resonances(out);
  switch (s.ampType) {
    case AMP_BUFFER:
    case AMP_NONINVERTING:
      // The source with its load: Zs + Zl = 0, (Rs + s Ls)(Gl + s Cl) + 1 = 0.
      resonances.Of({rs * gl + 1, rs * cl + ls * gl, ls * cl, 0});
      // The closed loop, g + s NG = 0 with NG = (R1 + R2 + s R1 tau) / (R1 (1 + s tau)).
      if (gainBandwidth && s.ampType == AMP_NONINVERTING) resonances.Of({g * r1, g * r1 * tau + r1 + r2, r1 * tau, 0});
      break;
    case AMP_INVERTING: {
      // Zi = r + s Ls. NG = 1 + Z2 / Zi is 0 at (r + s Ls)(1 + s tau) + R2 = 0,
      // and the closed loop rings at (g + s)(r + s Ls)(1 + s tau) + s R2 = 0.
      const double r = rs + r1;
      resonances.Of({r + r2, ls + r * tau, ls * tau, 0});
      if (gainBandwidth) resonances.Of({g * r, g * (ls + r * tau) + r + r2, g * ls * tau + ls + r * tau, ls * tau});
      break;
    }
    case AMP_TRANSIMPEDANCE:
      // The loop with the + input at AC ground (noise_model.md, "The loop"):
      // (C + Cf) s^2 + (g Cf + G) s + g / Rf = 0 with G = 1/Rf + 1/Rsh.
      if (gainBandwidth && r2 != 0) {
        const double cf = s.feedbackCapacitor.value_or(0);
        const double shunt = s.shuntResistance ? 1 / *s.shuntResistance : 0;
        resonances.Of({g / r2, g * cf + 1 / r2 + shunt, TransimpedanceInputCapacitance(s) + cf, 0});
      }
      break;
  }
  return out;
}

}  // namespace tervane
