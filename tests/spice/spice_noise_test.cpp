// The noise model against a circuit simulator. Each stage is built as a
// netlist from the same values the form holds, ngspice works out its total
// output noise over the band, and that must agree with the engine's. Nothing
// of the engine's formulas goes into the netlists: the simulator finds every
// noise gain from the circuit itself.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "form/calculator_form.h"
#include "form/form_calculation.h"

extern char** environ;

namespace tervane {
namespace {

namespace fs = std::filesystem;

// ngspice's Boltzmann constant (CODATA 2014, as measured from ngspice 39: a
// lone 1 kΩ at 300 K gives exactly this 4kT/R). The generators below are
// scaled with it so that their densities are en and in exactly; a release
// with the exact 2019 value, 1.380649e-23, would put them 1.7e-7 off, which
// is immaterial.
constexpr double kSpiceBoltzmann = 1.38064852e-23;

// The op amp's open-loop gain. The closed-loop error is about the noise gain
// over this, under 1e-7 for the noise gains below 50 used here; a higher
// gain buys no accuracy worth having and worsens the conditioning of the
// simulator's matrix (1e9 times the rounding of a double is 2e-7).
constexpr double kOpenLoopGain = 1e9;

// The resistance of a generator's helper resistor. Any value would do: the
// controlled source's scale absorbs it.
constexpr double kHelperOhms = 1;

constexpr double kCelsiusToKelvin = 273.15;

// Agreement required between the engine's total and the simulator's. The
// simulator integrates exactly (see kSweepPoints), so what separates the two
// is the Boltzmann constant: the engine's k = 1.3806504e-23 is 1.4e-6 above
// ngspice's, which moves the resistors' share of the power by that much and
// the total by at most 0.7e-6. The closed-loop error (kOpenLoopGain) is
// below 1e-7. 1e-5 leaves a wide margin over both and still catches any
// wrong term, factor or flicker average, which are all far larger.
constexpr double kTolerance = 1e-5;

// Points of the linear frequency sweep. ngspice integrates each noise source
// separately between neighbouring points as a power law through the two end
// values. Every gain here is flat, so each resistor's thermal noise is flat
// and its flicker noise exactly 1/f at the output: the integral is exact at
// any number of points. A linear grid matters for another reason: it ends at
// fH exactly, where a logarithmic one overshoots.
constexpr int kSweepPoints = 11;

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// ---------------------------------------------------------------------------
// Netlist pieces

enum class Generator { kVoltage, kCurrent };

// A noise generator of density d·√(1 + fc/f) between nodes p and n (V/√Hz
// for a voltage generator, A/√Hz for a current one), built from noiseless
// parts: a helper resistor's noise current, shorted by a 0 V source, drives a
// controlled source (H for a voltage, F for a current) through that source.
// The helper and its short form a loop of their own, so they load nothing
// else. The helper is at the circuit's temperature, which sets its 4kT/R; a
// flicker coefficient kf with af = 0 adds kf/f to that, independent of the
// (zero) bias current, and kf = fc·4kT/R makes the sum 4kT/R·(1 + fc/f).
std::string NoiseGenerator(Generator kind, const std::string& name, const std::string& p,
                           const std::string& n, double density, double corner, double kelvin) {
  const double helperPower = 4 * kSpiceBoltzmann * kelvin / kHelperOhms;  // A²/Hz
  const std::string helperNode = "helper_" + name;
  const std::string sense = "Vsense_" + name;
  const std::string model = "flicker_" + name;
  std::ostringstream out;
  out << "R" << name << " " << helperNode << " 0 " << Num(kHelperOhms);
  if (corner > 0) out << " " << model;
  out << "\n" << sense << " " << helperNode << " 0 0\n";
  out << (kind == Generator::kVoltage ? "H" : "F") << name << " " << p << " " << n << " " << sense << " "
      << Num(density / std::sqrt(helperPower)) << "\n";
  if (corner > 0) out << ".model " << model << " r kf=" << Num(corner * helperPower) << " af=0\n";
  return out.str();
}

// A resistor, or a short where it is 0 Ω (which a SPICE resistor cannot be).
std::string Resistor(const std::string& name, const std::string& a, const std::string& b, double ohms) {
  return (ohms == 0 ? "V" + name + " " + a + " " + b + " 0" : "R" + name + " " + a + " " + b + " " + Num(ohms)) +
         "\n";
}

// The card that runs the noise analysis and prints the results.
std::string NoiseAnalysis(double fL, double fH, const std::string& printCommands) {
  return ".noise v(out) Vin lin " + std::to_string(kSweepPoints) + " " + Num(fL) + " " + Num(fH) +
         "\n.control\nset numdgt=15\nrun\n" + printCommands + "quit 0\n.endc\n.end\n";
}

std::string Header(const std::string& title, double celsius) {
  return "* " + title + "\n.options temp=" + Num(celsius) + " tnom=" + Num(celsius) + "\nVin in 0 dc 0 ac 1\n";
}

// ---------------------------------------------------------------------------
// Running ngspice

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::istringstream dirs(path);
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
  return false;
}

// A directory of its own for one test's netlists, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tervane_spice_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct SpiceRun {
  int status = -1;  // exit status, -1 when ngspice did not run or exit
  std::string log;  // standard output and standard error together
};

// Runs ngspice in batch mode on the netlist, written to the directory.
SpiceRun RunNgspice(const fs::path& dir, const std::string& netlist) {
  const fs::path circuit = dir / "circuit.cir";
  const fs::path logFile = dir / "ngspice.log";
  std::ofstream(circuit) << netlist;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::string program = "ngspice", batch = "-b", file = circuit.string();
  char* argv[] = {program.data(), batch.data(), file.data(), nullptr};
  pid_t pid = 0;
  SpiceRun run;
  int wstatus = 0;
  if (posix_spawnp(&pid, "ngspice", &actions, nullptr, argv, environ) == 0 && waitpid(pid, &wstatus, 0) == pid &&
      WIFEXITED(wstatus))
    run.status = WEXITSTATUS(wstatus);
  posix_spawn_file_actions_destroy(&actions);
  std::ifstream in(logFile);
  run.log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return run;
}

// ngspice reports many failures (a singular matrix, an unknown vector) on
// its output and still exits with 0 at "quit 0"; any "error" is a failure.
bool MentionsError(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text.find("error") != std::string::npos;
}

// The value of "name = value" as "print" writes a scalar, or NaN.
double PrintedScalar(const std::string& log, const std::string& name) {
  const std::string key = "\n" + name + " = ";
  const std::size_t at = log.find(key);
  return at == std::string::npos ? std::nan("") : std::strtod(log.c_str() + at + key.size(), nullptr);
}

// The rows "index frequency value" of a printed vector.
std::vector<std::pair<double, double>> PrintedSpectrum(const std::string& log) {
  std::vector<std::pair<double, double>> rows;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    int index = 0;
    double frequency = 0, value = 0;
    if (std::sscanf(line.c_str(), "%d %lf %lf", &index, &frequency, &value) == 3)
      rows.emplace_back(frequency, value);
  }
  return rows;
}

class Ngspice : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("ngspice")) GTEST_SKIP() << "ngspice is not on PATH";
    ASSERT_FALSE(scratch_.path().empty()) << "no temporary directory";
  }

  // Runs the netlist; fails the test on anything but a clean run.
  std::string Simulate(const std::string& netlist) {
    const SpiceRun run = RunNgspice(scratch_.path(), netlist);
    EXPECT_EQ(run.status, 0) << netlist << run.log;
    EXPECT_FALSE(MentionsError(run.log)) << netlist << run.log;
    return run.log;
  }

 private:
  ScratchDir scratch_;
};

// ---------------------------------------------------------------------------
// The generators alone

struct GeneratorCase {
  const char* name;
  Generator kind;
  double density, corner, celsius;
};

void PrintTo(const GeneratorCase& c, std::ostream* os) { *os << c.name; }

class NgspiceGenerator : public Ngspice, public ::testing::WithParamInterface<GeneratorCase> {};

// The flicker modelling rests on the resistor's kf/af semantics; this pins
// them down: the density at the output is d²(1 + fc/f) at every point.
TEST_P(NgspiceGenerator, DensityIsWhitePlusOneOverF) {
  const GeneratorCase& c = GetParam();
  const double kelvin = c.celsius + kCelsiusToKelvin;
  // A current generator drives a noiseless 1 Ω, so volts read as amperes.
  const std::string netlist = Header(c.name, c.celsius) + "Rin in 0 1 noisy=0\nRout out 0 1 noisy=0\n" +
                              NoiseGenerator(c.kind, "g", "out", "0", c.density, c.corner, kelvin) +
                              NoiseAnalysis(10, 1010, "setplot noise1\nprint onoise_spectrum\n");
  const std::vector<std::pair<double, double>> rows = PrintedSpectrum(Simulate(netlist));
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kSweepPoints)) << netlist;
  for (const auto& [f, measured] : rows) {
    const double expected = c.density * std::sqrt(1 + c.corner / f);
    // Only the printed digits and, in a release with another Boltzmann
    // constant, 1.7e-7 separate the two.
    EXPECT_NEAR(measured / expected - 1, 0, 1e-6) << "f = " << f;
  }
}

INSTANTIATE_TEST_SUITE_P(Generators, NgspiceGenerator,
                         ::testing::Values(GeneratorCase{"VoltageWhite", Generator::kVoltage, 3e-9, 0, 25},
                                           GeneratorCase{"VoltageCorner", Generator::kVoltage, 3e-9, 100, 25},
                                           GeneratorCase{"CurrentCorner", Generator::kCurrent, 4e-13, 500, -40}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Whole stages

struct Stage {
  const char* name;
  int ampType;
  double rs, r1, r2;        // Ω; r1 unused by the buffer
  const char* temperature;  // as typed into the form
  double celsius;           // the same, worked out here for the simulator
  double fL, fH;            // Hz
  double en, in;            // V/√Hz, A/√Hz
  double corner;            // Hz
  bool applyCorner;
};

void PrintTo(const Stage& s, std::ostream* os) { *os << s.name; }

CalculatorForm FormOf(const Stage& s) {
  CalculatorForm form;
  ApplyFormDefaults(form);
  form.m_nAmpType = s.ampType;
  form.m_strSourceResistor = Num(s.rs);
  form.m_strR1 = Num(s.r1);
  form.m_strR2 = Num(s.r2);
  form.m_strTemperature = s.temperature;
  form.m_strLowerFreq = Num(s.fL);
  form.m_strUpperFreq = Num(s.fH);
  form.m_strNoiseVoltage = Num(s.en);
  form.m_strNoiseCurrent = Num(s.in);
  form.m_strCornerFreq = Num(s.corner);
  form.m_bApplyCorner = s.applyCorner ? 1 : 0;
  return form;
}

// The op amp: an ideal amplifier whose inner inputs are np and nm, its
// voltage noise in series with the non-inverting input (outer node plusPin),
// and an independent current noise generator at each inner input. The 1/f
// corner always shapes the voltage noise, the current noise only when the
// stage applies it.
std::string OpAmp(const Stage& s, const std::string& plusPin, double kelvin) {
  const double currentCorner = s.applyCorner ? s.corner : 0;
  return "Eamp out 0 np nm " + Num(kOpenLoopGain) + "\n" +
         NoiseGenerator(Generator::kVoltage, "en", plusPin, "np", s.en, s.corner, kelvin) +
         NoiseGenerator(Generator::kCurrent, "inp", "np", "0", s.in, currentCorner, kelvin) +
         NoiseGenerator(Generator::kCurrent, "inm", "nm", "0", s.in, currentCorner, kelvin);
}

// The stage around the op amp, driven from Vin through Rs.
std::string StageNetlist(const Stage& s) {
  const double kelvin = s.celsius + kCelsiusToKelvin;
  std::string netlist = Header(s.name, s.celsius);
  switch (s.ampType) {
    case AMP_BUFFER:
      netlist += Resistor("s", "in", "pin", s.rs) + Resistor("2", "out", "nm", s.r2) + OpAmp(s, "pin", kelvin);
      break;
    case AMP_NONINVERTING:
      netlist += Resistor("s", "in", "pin", s.rs) + Resistor("1", "nm", "0", s.r1) +
                 Resistor("2", "out", "nm", s.r2) + OpAmp(s, "pin", kelvin);
      break;
    case AMP_INVERTING:
      netlist += Resistor("s", "in", "src", s.rs) + Resistor("1", "src", "nm", s.r1) +
                 Resistor("2", "out", "nm", s.r2) + OpAmp(s, "0", kelvin);
      break;
  }
  return netlist + NoiseAnalysis(s.fL, s.fH, "setplot noise2\nprint onoise_total\n");
}

class NgspiceStage : public Ngspice, public ::testing::WithParamInterface<Stage> {};

TEST_P(NgspiceStage, TotalNoiseAgreesWithTheEngine) {
  const Stage& s = GetParam();
  const NoiseResult engine = ComputeNoise(FormOf(s));
  ASSERT_FALSE(engine.failure.has_value());
  ASSERT_NEAR(engine.temperature.celsius, s.celsius, 1e-9) << "the table's temperature is wrong";

  const std::string netlist = StageNetlist(s);
  const double spice = PrintedScalar(Simulate(netlist), "onoise_total");
  ASSERT_TRUE(std::isfinite(spice)) << netlist;
  const double relative = spice / *engine.totalNoise - 1;
  RecordProperty("relative_error", Num(relative));
  EXPECT_NEAR(relative, 0, kTolerance) << "engine " << *engine.totalNoise << " V, ngspice " << spice << " V\n"
                                       << netlist;
}

// Every term of each topology counts in some stage: Rs, R1 and R2 unequal,
// the current noise large enough to matter through Rs and R2, temperatures
// typed in all three scales, and corners both applied to the current noise
// and not, some dominating their band.
const Stage kStages[] = {
    {"BufferDefaults", AMP_BUFFER, 0, 0, 1e3, "80", (80 - 32) / 1.8, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"Buffer", AMP_BUFFER, 10e3, 0, 1e3, "80", (80 - 32) / 1.8, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"BufferCurrentCorner", AMP_BUFFER, 47e3, 0, 2.2e3, "25C", 25, 10, 1e3, 5e-9, 1e-12, 100, true},
    {"NonInverting", AMP_NONINVERTING, 600, 100, 10e3, "300K", 300 - 273.15, 20, 20e3, 1.1e-9, 1.7e-12, 0,
     false},
    {"NonInvertingCorner", AMP_NONINVERTING, 2e3, 1e3, 9e3, "25C", 25, 20, 20e3, 5e-9, 1e-12, 50, false},
    {"NonInvertingCurrentCorner", AMP_NONINVERTING, 100e3, 4.7e3, 47e3, "77K", 77 - 273.15, 1, 100, 4e-9,
     2e-12, 2e3, true},
    {"InvertingDefaults", AMP_INVERTING, 0, 1e3, 1e3, "80", (80 - 32) / 1.8, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"Inverting", AMP_INVERTING, 1e3, 4.7e3, 47e3, "300K", 300 - 273.15, 20, 20e3, 3e-9, 400e-15, 0, false},
    {"InvertingCorner", AMP_INVERTING, 220, 2.2e3, 100e3, "120", (120 - 32) / 1.8, 0.1, 10, 8e-9, 3e-12, 1e3,
     false},
    {"InvertingCurrentCornerRiaaBand", AMP_INVERTING, 10e3, 10e3, 33e3, "-10C", -10, 20, 108.0903, 2e-9,
     5e-12, 300, true},
};

INSTANTIATE_TEST_SUITE_P(Stages, NgspiceStage, ::testing::ValuesIn(kStages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tervane
