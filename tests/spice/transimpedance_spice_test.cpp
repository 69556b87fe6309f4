// The photodiode's transimpedance amplifier against ngspice: each circuit
// as a netlist from the same values, its output density a decade either
// side of the band, each source's total and the input current's over the
// band; and the loop's response with Cf for Q = 0.707 and with peaking.
// ngspice takes k from CODATA 2014 and q likewise: each netlist runs at the
// temperature where its kT is the engine's, and the shot noise is its own
// diode's 2qI, 8e-9 from the engine's q.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "noise/noise_calculation.h"
#include "noise/physical_constants.h"
#include "noise/stage_response.h"
#include "noise/transimpedance.h"
#include "tests/core/test_form.h"
#include "tests/spice/spice_support.h"

namespace tervane {
namespace {

using namespace spice;
using test::Tia;
using test::TiaStage;

// The ideal op amp's finite gain costs the densities 3e-8 here, and
// ngspice's integration between its points the totals up to 7e-7 (at the
// peak of Q = 2.5).
constexpr double kTolerance = 1e-6;

// The circuit, its photocurrent from Iin into the - input "nm", its output
// "out". Ccm at each input, Cdiff between them; en lies between the + pin
// "pb" and the op amp's own + input "np". The shot noise is a diode's,
// reverse-biased at 100 V with Is = Id + Iph in a loop of its own, its
// current copied into the - input; gmin is taken out of its current.
std::string TiaNetlist(const Tia& t) {
  const double kelvin = t.kelvin * kFourBoltzmann / (4 * kSpiceBoltzmann);
  const std::string celsius = Num(kelvin - 273.15);
  std::string net = "* transimpedance\n.options temp=" + celsius + " tnom=" + celsius +
                    " gmin=1e-30\nIin 0 nm dc 0 ac 1\nRf out nm " + Num(t.rf) + "\n" + Resistor("pb", "pb", "0", t.rb) +
                    Generator('H', "en", "pb", "np", t.en, t.fc, kelvin) +
                    Generator('F', "inp", "np", "0", t.in, t.fci, kelvin) +
                    Generator('F', "inm", "nm", "0", t.in, t.fci, kelvin) + OpAmp(t.gbw, "np", "nm", "out", "");
  const std::pair<std::string, double> optional[] = {
      {"Cf out nm ", t.cf},  {"Rsh nm 0 ", t.rsh},      {"Cd nm 0 ", t.cd}, {"Ccmm nm 0 ", t.ccm},
      {"Ccmp pb 0 ", t.ccm}, {"Cdiff pb nm ", t.cdiff}, {"Cb pb 0 ", t.cb}};
  for (const auto& [element, value] : optional)
    if (value > 0) net += element + Num(value) + "\n";
  if (const double shot = t.id + t.iph; shot > 0)
    net += "Vsb sb 0 -100\nDsh sb sd dsh\nVsh sd 0 0\nFsh nm 0 Vsh 1\n.model dsh d is=" + Num(shot) + "\n";
  return net;
}

// Rows of en, in, fc, fci, GBW, Ccm, Cdiff, Rsh, Cd, Rf, Cf, Rb, Cb, Id, Iph,
// R, T, fL, fH: bare, with Cf, Rsh and both corners, GBW-limited with a
// peak of Q = 2.5, Rb || Cb at the + input with Ccm and Cdiff coupling it
// to the - input, shot noise of dark and photocurrent, the op amp's input
// capacitances with the + input grounded.
const std::pair<const char*, Tia> kCircuits[] = {
    {"Bare", {4e-9, 10e-15, 0, 0, 0, 0, 0, 0, 20e-12, 1e6, 0, 0, 0, 0, 0, 0, 300, 10, 100e3}},
    {"FeedbackCapacitorShuntAndCorners",
     {5e-9, 2e-15, 100, 30, 0, 0, 0, 5e6, 50e-12, 1e6, 5e-12, 0, 0, 0, 0, 0, 310, 1, 1e6}},
    {"GbwPeaking", {3e-9, 5e-15, 0, 0, 50e6, 0, 0, 0, 10e-12, 100e3, 0.2e-12, 0, 0, 0, 0, 0, 300, 100, 10e6}},
    {"BiasResistorWithInputCapacitances",
     {3e-9, 1e-12, 0, 1e3, 20e6, 4e-12, 8e-12, 0, 30e-12, 1e6, 2e-12, 1e6, 10e-12, 0, 0, 0, 300, 10, 10e6}},
    {"ShotNoise", {2e-9, 1e-15, 0, 0, 100e6, 0, 0, 100e6, 5e-12, 100e3, 1e-12, 0, 0, 2e-9, 1e-6, 0, 295, 1, 10e6}},
    {"InputCapacitances",
     {2.5e-9, 2e-15, 0, 0, 5.5e9, 0.8e-12, 0.2e-12, 0, 2e-12, 10e3, 0.15e-12, 0, 0, 0, 0, 0, 298.15, 1e3, 1e9}},
};

// Each source the TIA may have, and its element in the netlist.
constexpr std::pair<NoiseSource, const char*> kElements[] = {
    {NoiseSource::kVoltageNoise, "ren"}, {NoiseSource::kCurrentNoiseR2, "rinm"}, {NoiseSource::kCurrentNoiseRb, "rinp"},
    {NoiseSource::kR2Thermal, "rf"},     {NoiseSource::kRshThermal, "rsh"},      {NoiseSource::kRbThermal, "rpb"},
    {NoiseSource::kShotNoise, "dsh"}};

TEST(NgspiceTransimpedance, AgreesOnEveryDensityAndTotal) {
  if (NgspiceMissing()) GTEST_SKIP() << "ngspice is not on PATH";
  for (const auto& [name, t] : kCircuits) {
    SCOPED_TRACE(name);
    const StageInputs s = TiaStage(t);
    const StageResult band = CalculateStage(s);
    ASSERT_FALSE(band.failure);
    const std::string log = RunNgspice(TiaNetlist(t) + NoiseAnalyses("out", "Iin", t.fL, t.fH, 2000));
    const std::vector<std::vector<double>> rows = PrintedRows(log);
    EXPECT_GE(rows.size(), 100u) << log;
    for (const std::vector<double>& row : rows) {
      const double input = *InputCurrentDensity(s, row[0]);
      EXPECT_NEAR(input * StageAt(s, row[0])->gain / row[1] - 1, 0, kTolerance) << row[0] << " Hz";
      EXPECT_NEAR(input / row[2] - 1, 0, kTolerance) << row[0] << " Hz";
    }
    EXPECT_NEAR(*band.totalNoise / Printed(log, "onoise_total = ") - 1, 0, kTolerance);
    for (const auto& [source, element] : kElements) {
      const double spice = Printed(log, std::string("onoise_total_") + element + " = ");
      const double want = std::isnan(spice) ? 0 : spice;
      EXPECT_NEAR(band.sourceNoise[SourceIndex(source)], want, kTolerance * want) << element;
    }
  }
}

// |Zt| from ngspice's AC analysis against the loop: Cf for Q = 0.707 with
// the + input grounded, without and with Rsh and the op amp's input
// capacitances, must not peak (to 1e-4 dB, where the sampling of a peak
// costs 2e-5) and must fall 3 dB at the predicted bandwidth (to 1e-6,
// where interpolating between points costs 2e-7); a small Cf peaks by
// Q / sqrt(1 - 1/(4 Q^2)).
TEST(NgspiceTransimpedance, LoopResponseAgreesWithQAndBandwidth) {
  if (NgspiceMissing()) GTEST_SKIP() << "ngspice is not on PATH";
  const Tia loops[] = {{0, 0, 0, 0, 5.5e9, 0, 0, 0, 2e-12, 10e3},
                       {0, 0, 0, 0, 1e6, 5e-12, 2e-12, 200e3, 100e-12, 1e6},
                       {0, 0, 0, 0, 50e6, 0, 0, 0, 10e-12, 100e3, 0.2e-12}};
  for (Tia t : loops) {
    t.kelvin = 300;  // the noise generators' helpers want one
    if (t.cf == 0) t.cf = CfForQ(TiaStage(t)).feedbackCapacitor;
    const TransimpedanceLoop loop = *LoopOf(TiaStage(t));
    SCOPED_TRACE(*loop.q);
    const double peak =
        *loop.q > std::sqrt(0.5) ? 20 * std::log10(*loop.q / std::sqrt(1 - 0.25 / (*loop.q * *loop.q))) : 0;
    const std::string log =
        RunNgspice(TiaNetlist(t) + ".control\nset numdgt=15\nset nobreak\nac dec 2000 " + Num(*loop.bandwidth / 90) +
                   " " + Num(*loop.bandwidth * 10) + "\nprint vdb(out)\nquit 0\n.endc\n.end\n");
    const std::vector<std::vector<double>> rows = PrintedRows(log);
    ASSERT_GE(rows.size(), 1000u) << log;
    const double dc = 20 * std::log10(t.rf);
    const double halfPower = dc - 10 * std::log10(2.0);
    const auto db = [](const std::vector<double>& row) { return row[1]; };
    EXPECT_NEAR(db(*std::ranges::max_element(rows, {}, db)) - dc, peak, 1e-4);
    const auto below = std::ranges::find_if(rows, [&](const std::vector<double>& row) { return row[1] < halfPower; });
    ASSERT_TRUE(below != rows.begin() && below != rows.end());
    const std::vector<double>& above = *(below - 1);
    const double f3db = above[0] * std::pow((*below)[0] / above[0], (halfPower - above[1]) / ((*below)[1] - above[1]));
    EXPECT_NEAR(f3db / *loop.bandwidth - 1, 0, 1e-6);
  }
}

}  // namespace
}  // namespace tervane
