// The noise model against a circuit simulator. Each stage is built as a
// netlist from the same values the engine takes, ngspice works out its
// output noise density from a decade below the band to a decade above it
// and its total over the band, and each must agree with the engine's.
// Nothing of the engine's formulas goes into the netlists: the simulator
// finds every noise gain from the circuit itself. Textbook stages (the
// closed forms), circuits as they are built, and stages in cascade.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "noise/chain_calculation.h"
#include "noise/chain_views.h"
#include "noise/noise_calculation.h"
#include "noise/noise_spectrum.h"

namespace tervane {
namespace {

// ngspice's Boltzmann constant (CODATA 2014, as measured from ngspice 39):
// the generators are scaled with it so that their densities are en and in.
constexpr double kSpiceBoltzmann = 1.38064852e-23;

// The closed-loop error is about the noise gain over the open-loop gain,
// under 1e-7 here; a higher gain worsens the simulator's conditioning.
constexpr double kOpenLoopGain = 1e9;

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// A generator of density d·√(1 + fc/f) from p to n (H: volts, F: amperes),
// built from noiseless parts: a 1 Ω helper's noise current, shorted by a 0 V
// source, drives the controlled source. A flicker coefficient kf with af = 0
// adds kf/f to the helper's 4kT/R, so kf = fc·4kT/R gives 4kT/R·(1 + fc/f).
std::string Generator(char kind, const std::string& name, const std::string& p, const std::string& n, double density,
                      double corner, double kelvin) {
  const double helperPower = 4 * kSpiceBoltzmann * kelvin;
  std::string out = "R" + name + " h" + name + " 0 1" + (corner > 0 ? " fl" + name : "") + "\nVs" + name + " h" + name +
                    " 0 0\n" + kind + name + " " + p + " " + n + " Vs" + name + " " +
                    Num(density / std::sqrt(helperPower)) + "\n";
  if (corner > 0) out += ".model fl" + name + " r kf=" + Num(corner * helperPower) + " af=0\n";
  return out;
}

// A resistor, or a short where it is 0 Ω (which a SPICE resistor cannot be).
std::string Resistor(const std::string& name, const std::string& a, const std::string& b, double ohms) {
  return (ohms == 0 ? "V" : "R") + name + " " + a + " " + b + " " + Num(ohms) + "\n";
}

// ngspice's output for `netlist`. It reports many failures on its output and
// still exits with 0 at "quit 0": any "error" fails the run.
std::string RunNgspice(const std::string& netlist) {
  const auto file = std::filesystem::temp_directory_path() / ("tervane_spice_" + std::to_string(getpid()) + ".cir");
  std::ofstream(file) << netlist;
  std::string log;
  if (FILE* run = popen(("ngspice -b " + file.string() + " 2>&1").c_str(), "r")) {
    for (int c; (c = std::fgetc(run)) != EOF;) log += static_cast<char>(c);
    EXPECT_EQ(pclose(run), 0) << log;
  }
  std::filesystem::remove(file);
  EXPECT_EQ(log.find("rror"), std::string::npos) << netlist << log;
  return log;
}

// The number printed after `label`; NaN where there is none.
double Printed(const std::string& log, const std::string& label) {
  const std::size_t at = log.find(label);
  return at == std::string::npos ? NAN : std::strtod(log.c_str() + at + label.size(), nullptr);
}

// The two inputs' current noise, each in(f), correlated by c: a shared
// generator of in sqrt(c) drives both, an own one of in sqrt(1 - c) each.
std::string CurrentNoise(const StageInputs& s, double corner, const std::string& tag) {
  const double c = s.inCorrelation.value_or(0);
  const double own = s.in * std::sqrt(1 - c);
  std::string net = Generator('F', "inp" + tag, "np" + tag, "0", own, corner, s.kelvin) +
                    Generator('F', "inm" + tag, "nm" + tag, "0", own, corner, s.kelvin);
  if (c == 0) return net;
  const double shared = s.in * std::sqrt(c);
  return net + Generator('F', "sh" + tag, "np" + tag, "0", shared, corner, s.kelvin) + "Fshm" + tag + " nm" + tag +
         " 0 Vssh" + tag + " " + Num(shared / std::sqrt(4 * kSpiceBoltzmann * s.kelvin)) + "\n";
}

// The stage with its source inductance, load, feedback capacitor and an op
// amp whose open-loop gain is GBW / (j f): a transconductance 2 pi GBW into
// 1 F (its 1 Tohm sets a pole at 1.6e-13 Hz), buffered. Without a GBW, the
// amplifier of the stages above. Rb || Cb lies between the + input's
// voltage noise and ground or the source. Driven from node `input`; every
// element and node name ends in `tag`, its output is "out" + tag.
std::string StageElements(const StageInputs& s, const std::string& input, const std::string& tag) {
  const bool inverting = s.ampType == AMP_INVERTING;
  const auto n = [&tag](const char* node) { return node + tag; };
  const std::string plus = n(inverting ? "src" : "pin");
  const std::string bias = inverting ? "0" : n("pin");
  const double currentCorner = s.currentCorner ? *s.currentCorner : s.applyCorner ? s.cornerFreq : 0;
  std::string net =
      Resistor(n("s"), input, n("a"), s.sourceResistor) +
      (s.sourceInductance ? "Ls" + tag + " " + n("a") + " " + plus + " " + Num(*s.sourceInductance) + "\n"
                          : Resistor(n("ls"), n("a"), plus, 0)) +
      Resistor(n("2"), n("out"), n("nm"), s.r2) + Resistor(n("b"), bias, n("pb"), s.biasResistor.value_or(0)) +
      Generator('H', n("en"), n("pb"), n("np"), s.en, s.cornerFreq, s.kelvin) + CurrentNoise(s, currentCorner, tag);
  if (s.biasCapacitor) net += "Cb" + tag + " " + bias + " " + n("pb") + " " + Num(*s.biasCapacitor) + "\n";
  if (s.loadResistor) net += "Rload" + tag + " " + n("pin") + " 0 " + Num(*s.loadResistor) + "\n";
  if (s.loadCapacitor) net += "Cload" + tag + " " + n("pin") + " 0 " + Num(*s.loadCapacitor) + "\n";
  if (s.feedbackCapacitor) net += "Cf" + tag + " " + n("out") + " " + n("nm") + " " + Num(*s.feedbackCapacitor) + "\n";
  if (s.ampType == AMP_NONINVERTING) net += Resistor(n("1"), n("nm"), "0", s.r1);
  if (inverting) net += Resistor(n("1"), n("src"), n("nm"), s.r1);
  if (s.gainBandwidth)
    net += "Gop" + tag + " 0 " + n("x") + " " + n("np") + " " + n("nm") + " " +
           Num(2 * std::numbers::pi * *s.gainBandwidth) + "\nCop" + tag + " " + n("x") + " 0 1\nRop" + tag + " " +
           n("x") + " 0 1e12\nEop" + tag + " " + n("out") + " 0 " + n("x") + " 0 1\n";
  else
    net += "Eamp" + tag + " " + n("out") + " 0 " + n("np") + " " + n("nm") + " " + Num(kOpenLoopGain) + "\n";
  return net;
}

// Stages in cascade, each driven by the output before it, the first from
// Vin, all at the first one's temperature and over its band.
std::string CircuitNetlist(const std::vector<StageInputs>& stages) {
  const StageInputs& s = stages.front();
  const double celsius = s.kelvin - 273.15;
  std::string net = "* circuit\n.options temp=" + Num(celsius) + " tnom=" + Num(celsius) + "\nVin in 0 dc 0 ac 1\n";
  std::string output = "in";
  for (std::size_t k = 0; k < stages.size(); ++k) {
    const std::string tag = k == 0 ? "" : "_" + std::to_string(k);
    net += StageElements(stages[k], output, tag);
    output = "out" + tag;
  }
  // The densities at 20 points a decade from a decade below the band to a
  // decade above it; then the total over the band, 2000 points a decade.
  return net + ".control\nset numdgt=15\nnoise v(" + output + ") Vin dec 20 " + Num(s.lowerFreq / 10) + " " +
         Num(s.upperFreq * 10) + "\nprint noise1.onoise_spectrum\nnoise v(" + output + ") Vin dec 2000 " +
         Num(s.lowerFreq) + " " + Num(s.upperFreq) + "\nprint noise4.onoise_total\nquit 0\n.endc\n.end\n";
}

// Rb, Cb and the inputs' current noise correlation of a row.
struct Bias {
  double rb = 0, cb = 0, correlation = 0;
};
constexpr Bias WithBias(double rb, double cb, double correlation) { return {rb, cb, correlation}; }

// A circuit as a row: 0 for a value the circuit does not have.
struct CircuitCase {
  const char* name;
  AmplifierType ampType;
  double rs, ls, rload, cload, r1, r2, cf, gbw, fL, fH, en, in, fc, fci;
  bool applyCorner;
  Bias bias = {};

  StageInputs Stage() const {
    StageInputs s;
    s.ampType = ampType, s.sourceResistor = rs, s.r1 = r1, s.r2 = r2, s.kelvin = 298.15;
    s.lowerFreq = fL, s.upperFreq = fH, s.refVoltage = 1, s.en = en, s.in = in, s.cornerFreq = fc;
    s.applyCorner = applyCorner;
    const std::pair<std::optional<double>*, double> given[] = {
        {&s.sourceInductance, ls},  {&s.loadResistor, rload},    {&s.loadCapacitor, cload},
        {&s.feedbackCapacitor, cf}, {&s.gainBandwidth, gbw},     {&s.currentCorner, fci},
        {&s.biasResistor, bias.rb}, {&s.biasCapacitor, bias.cb}, {&s.inCorrelation, bias.correlation}};
    for (const auto& [field, value] : given)
      if (value != 0) *field = value;
    return s;
  }
};

// Phono cartridges (1k + 0.5 H into 47k || 200p, and unloaded at Q = 10), a
// dynamic microphone, Cf in both topologies, GBW-limited gains, a closed
// loop that rings (Q = 17.6 at 1.9 MHz), loads alone, an inductive source
// into the inverting stage; the textbook stages last.
const CircuitCase kCircuits[] = {
    {"CartridgeNonInverting", AMP_NONINVERTING, 1e3, 0.5, 47e3, 200e-12, 1e3, 9e3, 0, 8e6, 20, 20e3, 3e-9, 1e-12, 10,
     200, true},
    {"CartridgeBuffer", AMP_BUFFER, 1e3, 0.5, 47e3, 200e-12, 0, 0, 0, 10e6, 20, 20e3, 3e-9, 1e-12, 10, 200, true},
    {"CartridgeUnloadedQ10", AMP_NONINVERTING, 5e3, 0.5, 0, 200e-12, 1e3, 9e3, 0, 8e6, 20, 20e3, 3e-9, 1e-12, 0, 0,
     false},
    {"DynamicMicrophoneGainOf100", AMP_NONINVERTING, 300, 2e-3, 2e3, 1e-9, 100, 9.9e3, 0, 50e6, 20, 20e3, 1e-9, 2e-12,
     100, 0, false},
    {"InvertingWithCf", AMP_INVERTING, 1e3, 0, 0, 0, 10e3, 100e3, 1e-9, 1e6, 10, 100e3, 5e-9, 0.5e-12, 0, 0, false},
    {"GbwLimitedGainOf100", AMP_NONINVERTING, 50, 0, 0, 0, 100, 9.9e3, 0, 1e6, 20, 20e3, 3e-9, 1e-12, 0, 0, false},
    {"BufferGbw", AMP_BUFFER, 10e3, 0, 0, 0, 0, 1e3, 0, 10e6, 1, 100e3, 5e-9, 0.5e-12, 0, 0, false},
    {"InvertingRinging", AMP_INVERTING, 14, 0.57e-3, 0, 0, 1.4, 220e3, 12e-12, 45e3, 50, 5e6, 2e-9, 1e-12, 0, 0, false},
    {"NonInvertingCfCurrentCorner", AMP_NONINVERTING, 20e3, 0, 0, 0, 1e3, 100e3, 1e-9, 100e6, 10, 100e3, 4e-9, 1e-12,
     30, 500, false},
    {"BufferLoadResistorOnly", AMP_BUFFER, 10e3, 0, 10e3, 0, 0, 0, 0, 0, 20, 20e3, 3e-9, 1e-12, 0, 0, false},
    {"NonInvertingLoadCapacitorCorner", AMP_NONINVERTING, 2e3, 0, 0, 1e-9, 1e3, 1e3, 0, 0, 20, 20e3, 3e-9, 2e-12, 50, 0,
     true},
    {"InvertingInductiveSource", AMP_INVERTING, 100, 10e-3, 0, 0, 1e3, 10e3, 0, 0, 20, 200e3, 3e-9, 1e-12, 0, 0, false},
    // Rb at the + input, bare and bypassed by Cb, and the two inputs'
    // current noise correlated, in every topology.
    {"InvertingBiasResistor", AMP_INVERTING, 1e3, 0, 0, 0, 10e3, 100e3, 0, 1e6, 10, 100e3, 2e-9, 2e-12, 0, 0, false,
     WithBias(10e3, 0, 0)},
    {"InvertingBiasResistorBypassedCorrelated", AMP_INVERTING, 1e3, 0, 0, 0, 10e3, 100e3, 100e-12, 1e6, 1, 100e3, 2e-9,
     2e-12, 0, 300, false, WithBias(10e3, 100e-9, 0.7)},
    {"NonInvertingCorrelatedNoBias", AMP_NONINVERTING, 10e3, 0.1, 47e3, 1e-9, 22e3, 22e3, 0, 0, 20, 20e3, 2e-9, 3e-12,
     0, 0, false, WithBias(0, 0, 0.5)},
    {"CartridgeBiasResistorBypassedCorrelated", AMP_NONINVERTING, 1e3, 0.5, 47e3, 200e-12, 1e3, 9e3, 0, 8e6, 20, 20e3,
     3e-9, 1e-12, 10, 200, true, WithBias(4.7e3, 1e-6, 0.9)},
    {"BufferBiasResistorFullyCorrelated", AMP_BUFFER, 2e3, 0, 0, 0, 0, 10e3, 0, 10e6, 20, 20e3, 1e-9, 2e-12, 0, 0,
     false, WithBias(8e3, 0, 1)},
    // Every term of each topology counts in some stage: Rs, R1 and R2
    // unequal or absent, corners applied to the current noise and not, some
    // dominating their band.
    {"TextbookBufferCurrentCorner", AMP_BUFFER, 47e3, 0, 0, 0, 0, 2.2e3, 0, 0, 10, 1e3, 5e-9, 1e-12, 100, 0, true},
    {"TextbookNonInverting", AMP_NONINVERTING, 600, 0, 0, 0, 100, 10e3, 0, 0, 20, 20e3, 1.1e-9, 1.7e-12, 0, 0, false},
    {"TextbookNonInvertingCorner", AMP_NONINVERTING, 2e3, 0, 0, 0, 1e3, 9e3, 0, 0, 20, 20e3, 5e-9, 1e-12, 50, 0, false},
    {"TextbookInvertingNoSource", AMP_INVERTING, 0, 0, 0, 0, 1e3, 1e3, 0, 0, 20, 20e3, 3e-9, 400e-15, 0, 0, false},
    {"TextbookInvertingCornerBelow10Hz", AMP_INVERTING, 220, 0, 0, 0, 2.2e3, 100e3, 0, 0, 0.1, 10, 8e-9, 3e-12, 1e3, 0,
     false},
    {"TextbookInvertingCurrentCorner", AMP_INVERTING, 10e3, 0, 0, 0, 10e3, 33e3, 0, 0, 20, 2e3, 2e-9, 5e-12, 300, 0,
     true},
};

// 1e-4, as the engine's k against ngspice's (1.4e-6), the ideal amplifier's
// closed-loop error (1e-7) and ngspice's power-law integration between its
// points (far below 1e-5 at 2000 a decade) leave ample room, and still
// catches a missing or misplaced term.
constexpr double kCircuitTolerance = 1e-4;

// ngspice's spectrum of `stages` in cascade, point by point, and its total
// over the band against the engine's `density` at f and `total`.
void ExpectNgspiceAgrees(const std::vector<StageInputs>& stages, const std::function<double(double)>& density,
                         double total) {
  const std::string netlist = CircuitNetlist(stages);
  const std::string log = RunNgspice(netlist);
  int points = 0;
  // Rows "index frequency density" of the printed spectrum.
  for (std::size_t at = log.find("\n0\t"); at != std::string::npos; at = log.find('\n', at + 1)) {
    int index = 0;
    double f = 0, spice = 0;
    if (std::sscanf(log.c_str() + at + 1, "%d %lf %lf", &index, &f, &spice) != 3 || index != points) break;
    ++points;
    EXPECT_NEAR(density(f) / spice - 1, 0, kCircuitTolerance) << f << " Hz";
  }
  EXPECT_GE(points, 50) << log;
  EXPECT_NEAR(Printed(log, "noise4.onoise_total = ") / total - 1, 0, kCircuitTolerance) << netlist;
}

TEST(Ngspice, TheCircuitAsItIsBuiltAgreesWithTheEngineAtEveryFrequency) {
  if (std::system("ngspice -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "ngspice is not on PATH";
  for (const CircuitCase& c : kCircuits) {
    SCOPED_TRACE(c.name);
    const StageInputs s = c.Stage();
    const StageResult engine = CalculateStage(s);
    ASSERT_FALSE(engine.failure);
    ExpectNgspiceAgrees(
        {s}, [&](double f) { return NoiseSpectrumAt(s, engine, f)->total; }, *engine.totalNoise);
  }
}

// Cartridge preamps into an inverting stage with Cf behind a 1k resistor, and
// into an inductive source's stage and a third stage, each later one over
// the first one's band.
TEST(Ngspice, StagesInCascadeAgreeWithTheChain) {
  if (std::system("ngspice -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "ngspice is not on PATH";
  const std::vector<std::vector<int>> cascades{{0, 4}, {5, 11, 8}};
  for (const std::vector<int>& cascade : cascades) {
    std::vector<StageInputs> stages;
    for (const int k : cascade) stages.push_back(kCircuits[k].Stage());
    SCOPED_TRACE(kCircuits[cascade[0]].name);
    const ChainResult chain = CalculateChain(stages);
    ASSERT_FALSE(chain.failure);
    ExpectNgspiceAgrees(
        stages, [&](double f) { return ChainSpectrumAt(chain, f)->total; },
        std::sqrt(chain.power[WeightingIndex(Weighting::kNone)]));
  }
}

}  // namespace
}  // namespace tervane
