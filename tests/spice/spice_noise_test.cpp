// The noise model against a circuit simulator. Each stage is built as a
// netlist from the same values the engine takes, ngspice works out its
// output noise density from a decade below the band to a decade above it
// and its total over the band, and each must agree with the engine's.
// Nothing of the engine's formulas goes into the netlists: the simulator
// finds every noise gain from the circuit itself. Textbook stages (the
// closed forms), circuits as they are built, and stages in cascade.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "noise/chain_calculation.h"
#include "noise/chain_views.h"
#include "noise/noise_calculation.h"
#include "noise/noise_spectrum.h"
#include "tests/spice/spice_support.h"

namespace tervane {
namespace {

using namespace spice;

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
  return net + OpAmp(s.gainBandwidth.value_or(0), n("np"), n("nm"), n("out"), tag);
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
  return net + NoiseAnalyses(output, "Vin", s.lowerFreq, s.upperFreq, 2000);
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
  const std::vector<std::vector<double>> rows = PrintedRows(log);
  for (const std::vector<double>& row : rows)
    EXPECT_NEAR(density(row[0]) / row[1] - 1, 0, kCircuitTolerance) << row[0] << " Hz";
  EXPECT_GE(rows.size(), 50u) << log;
  EXPECT_NEAR(Printed(log, "onoise_total = ") / total - 1, 0, kCircuitTolerance) << netlist;
}

TEST(Ngspice, TheCircuitAsItIsBuiltAgreesWithTheEngineAtEveryFrequency) {
  if (NgspiceMissing()) GTEST_SKIP() << "ngspice is not on PATH";
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
  if (NgspiceMissing()) GTEST_SKIP() << "ngspice is not on PATH";
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
