// The noise model against a circuit simulator. Each stage is built as a
// netlist from the same values the form holds, ngspice works out its total
// output noise over the band, and that must agree with the engine's. Nothing
// of the engine's formulas goes into the netlists: the simulator finds every
// noise gain from the circuit itself.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "form/calculator_form.h"
#include "form/form_calculation.h"

namespace tervane {
namespace {

// ngspice's Boltzmann constant (CODATA 2014, as measured from ngspice 39):
// the generators are scaled with it so that their densities are en and in.
constexpr double kSpiceBoltzmann = 1.38064852e-23;

// The closed-loop error is about the noise gain over the open-loop gain,
// under 1e-7 here; a higher gain worsens the simulator's conditioning.
constexpr double kOpenLoopGain = 1e9;

// The engine's k = 1.3806504e-23 is 1.4e-6 above ngspice's, which moves the
// total by at most 0.7e-6; 1e-5 leaves a margin over that and the closed-loop
// error and still catches any wrong term, factor or flicker average. Every
// gain is flat, so each source is flat or exactly 1/f at the output and the
// simulator's power-law integration is exact on a linear grid, which also
// ends at fH exactly.
constexpr double kTolerance = 1e-5;

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// A generator of density d·√(1 + fc/f) from p to n (H: volts, F: amperes),
// built from noiseless parts: a 1 Ω helper's noise current, shorted by a 0 V
// source, drives the controlled source. A flicker coefficient kf with af = 0
// adds kf/f to the helper's 4kT/R, so kf = fc·4kT/R gives 4kT/R·(1 + fc/f).
std::string Generator(char kind, const std::string& name, const std::string& p, const std::string& n,
                      double density, double corner, double kelvin) {
  const double helperPower = 4 * kSpiceBoltzmann * kelvin;
  std::string out = "R" + name + " h" + name + " 0 1" + (corner > 0 ? " fl" + name : "") + "\nVs" + name + " h" +
                    name + " 0 0\n" + kind + name + " " + p + " " + n + " Vs" + name + " " +
                    Num(density / std::sqrt(helperPower)) + "\n";
  if (corner > 0) out += ".model fl" + name + " r kf=" + Num(corner * helperPower) + " af=0\n";
  return out;
}

// A resistor, or a short where it is 0 Ω (which a SPICE resistor cannot be).
std::string Resistor(const std::string& name, const std::string& a, const std::string& b, double ohms) {
  return (ohms == 0 ? "V" : "R") + name + " " + a + " " + b + " " + Num(ohms) + "\n";
}

struct Stage {
  const char* name;
  int ampType;
  double rs, r1, r2;        // Ω; r1 unused by the buffer
  const char* temperature;  // as typed into the form
  double celsius;           // the same, worked out here for the simulator
  double fL, fH, en, in, corner;
  bool applyCorner;
};

// The stage driven from Vin through Rs around an ideal amplifier whose
// voltage noise sits in series with its non-inverting input and whose
// current noise is a generator at each inner input.
std::string Netlist(const Stage& s) {
  const double kelvin = s.celsius + 273.15;
  const double currentCorner = s.applyCorner ? s.corner : 0;
  const bool inverting = s.ampType == AMP_INVERTING;
  std::string net = "* " + std::string(s.name) + "\n.options temp=" + Num(s.celsius) + " tnom=" + Num(s.celsius) +
                    "\nVin in 0 dc 0 ac 1\n" + Resistor("s", "in", inverting ? "src" : "pin", s.rs) +
                    Resistor("2", "out", "nm", s.r2) + "Eamp out 0 np nm " + Num(kOpenLoopGain) + "\n" +
                    Generator('H', "en", inverting ? "0" : "pin", "np", s.en, s.corner, kelvin) +
                    Generator('F', "inp", "np", "0", s.in, currentCorner, kelvin) +
                    Generator('F', "inm", "nm", "0", s.in, currentCorner, kelvin);
  if (s.ampType == AMP_NONINVERTING) net += Resistor("1", "nm", "0", s.r1);
  if (inverting) net += Resistor("1", "src", "nm", s.r1);
  return net + ".noise v(out) Vin lin 11 " + Num(s.fL) + " " + Num(s.fH) +
         "\n.control\nset numdgt=15\nrun\nsetplot noise2\nprint onoise_total\nquit 0\n.endc\n.end\n";
}

// Every term of each topology counts in some stage: Rs, R1 and R2 unequal,
// temperatures in all three scales, corners applied to the current noise and
// not, some dominating their band.
const Stage kStages[] = {
    {"BufferDefaults", AMP_BUFFER, 0, 0, 1e3, "80", (80 - 32) / 1.8, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"BufferCurrentCorner", AMP_BUFFER, 47e3, 0, 2.2e3, "25C", 25, 10, 1e3, 5e-9, 1e-12, 100, true},
    {"NonInverting", AMP_NONINVERTING, 600, 100, 10e3, "300K", 26.85, 20, 20e3, 1.1e-9, 1.7e-12, 0, false},
    {"NonInvertingCorner", AMP_NONINVERTING, 2e3, 1e3, 9e3, "25C", 25, 20, 20e3, 5e-9, 1e-12, 50, false},
    {"NonInvertingCurrentCorner", AMP_NONINVERTING, 100e3, 4.7e3, 47e3, "77K", 77 - 273.15, 1, 100, 4e-9, 2e-12,
     2e3, true},
    {"InvertingDefaults", AMP_INVERTING, 0, 1e3, 1e3, "80", (80 - 32) / 1.8, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"InvertingCorner", AMP_INVERTING, 220, 2.2e3, 100e3, "120", (120 - 32) / 1.8, 0.1, 10, 8e-9, 3e-12, 1e3,
     false},
    {"InvertingCurrentCornerRiaaBand", AMP_INVERTING, 10e3, 10e3, 33e3, "-10C", -10, 20, 108.0903, 2e-9, 5e-12,
     300, true},
};

TEST(Ngspice, TotalNoiseOfEachStageAgreesWithTheEngine) {
  if (std::system("ngspice -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "ngspice is not on PATH";
  const auto file = std::filesystem::temp_directory_path() / ("tervane_spice_" + std::to_string(getpid()) + ".cir");
  for (const Stage& s : kStages) {
    SCOPED_TRACE(s.name);
    CalculatorForm form;
    ApplyFormDefaults(form);
    form.m_nAmpType = s.ampType;
    form.m_bApplyCorner = s.applyCorner ? 1 : 0;
    form.m_strTemperature = s.temperature;
    const std::pair<std::string*, double> fields[] = {
        {&form.m_strSourceResistor, s.rs}, {&form.m_strR1, s.r1},          {&form.m_strR2, s.r2},
        {&form.m_strLowerFreq, s.fL},      {&form.m_strUpperFreq, s.fH},   {&form.m_strNoiseVoltage, s.en},
        {&form.m_strNoiseCurrent, s.in},   {&form.m_strCornerFreq, s.corner}};
    for (const auto& [text, value] : fields) *text = Num(value);
    const NoiseResult engine = ComputeNoise(form);
    ASSERT_FALSE(engine.outcome.failure);
    ASSERT_NEAR(engine.temperature.celsius, s.celsius, 1e-9) << "the table's temperature is wrong";

    const std::string netlist = Netlist(s);
    std::ofstream(file) << netlist;
    // ngspice reports many failures on its output and still exits with 0
    // at "quit 0": any "error" fails the run.
    std::string log;
    if (FILE* run = popen(("ngspice -b " + file.string() + " 2>&1").c_str(), "r")) {
      for (int c; (c = std::fgetc(run)) != EOF;) log += static_cast<char>(c);
      EXPECT_EQ(pclose(run), 0) << log;
    }
    EXPECT_EQ(log.find("rror"), std::string::npos) << netlist << log;
    const std::size_t at = log.find("\nonoise_total = ");
    ASSERT_NE(at, std::string::npos) << netlist << log;
    const double spice = std::strtod(log.c_str() + at + 16, nullptr);
    EXPECT_NEAR(spice / *engine.outcome.totalNoise - 1, 0, kTolerance) << "engine " << *engine.outcome.totalNoise << " V\n" << netlist;
  }
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace tervane
