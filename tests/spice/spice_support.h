#pragma once

// What the tests against ngspice share: netlist pieces, running ngspice in
// batch mode and reading what it prints.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace tervane::spice {

// ngspice's Boltzmann constant (CODATA 2014, as measured from ngspice 39):
// the generators are scaled with it so that their densities are en and in.
inline constexpr double kSpiceBoltzmann = 1.38064852e-23;

// The closed-loop error is about the noise gain over the open-loop gain,
// under 1e-7 here; a higher gain worsens the simulator's conditioning.
inline constexpr double kOpenLoopGain = 1e9;

inline bool NgspiceMissing() { return std::system("ngspice -v >/dev/null 2>&1") != 0; }

inline std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

// A generator of density d·√(1 + fc/f) from p to n (H: volts, F: amperes),
// built from noiseless parts: a 1 Ω helper's noise current, shorted by a 0 V
// source, drives the controlled source. A flicker coefficient kf with af = 0
// adds kf/f to the helper's 4kT/R, so kf = fc·4kT/R gives 4kT/R·(1 + fc/f).
inline std::string Generator(char kind, const std::string& name, const std::string& p, const std::string& n,
                             double density, double corner, double kelvin) {
  const double helperPower = 4 * kSpiceBoltzmann * kelvin;
  std::string out = "R" + name + " h" + name + " 0 1" + (corner > 0 ? " fl" + name : "") + "\nVs" + name + " h" + name +
                    " 0 0\n" + kind + name + " " + p + " " + n + " Vs" + name + " " +
                    Num(density / std::sqrt(helperPower)) + "\n";
  if (corner > 0) out += ".model fl" + name + " r kf=" + Num(corner * helperPower) + " af=0\n";
  return out;
}

// A resistor, or a short where it is 0 Ω (which a SPICE resistor cannot be).
inline std::string Resistor(const std::string& name, const std::string& a, const std::string& b, double ohms) {
  return (ohms == 0 ? "V" : "R") + name + " " + a + " " + b + " " + Num(ohms) + "\n";
}

// An op amp from `plus` and `minus` to `out` whose open-loop gain is GBW /
// (j f): a transconductance 2 pi GBW into 1 F (its 1 Tohm sets a pole at
// 1.6e-13 Hz), buffered; without a GBW (0), a gain of kOpenLoopGain. Its
// element and node names end in `tag`.
inline std::string OpAmp(double gainBandwidth, const std::string& plus, const std::string& minus,
                         const std::string& out, const std::string& tag) {
  if (gainBandwidth == 0)
    return "Eamp" + tag + " " + out + " 0 " + plus + " " + minus + " " + Num(kOpenLoopGain) + "\n";
  return "Gop" + tag + " 0 x" + tag + " " + plus + " " + minus + " " + Num(2 * std::numbers::pi * gainBandwidth) +
         "\nCop" + tag + " x" + tag + " 0 1\nRop" + tag + " x" + tag + " 0 1e12\nEop" + tag + " " + out + " 0 x" + tag +
         " 0 1\n";
}

// The noise analyses of v(`output`) driven from `source`: its density and
// the one referred to the source's input at 20 points a decade from a
// decade below the band to a decade above it (noise1); then the totals over
// the band, also each element's, at `perDecade` points a decade (noise4),
// which ngspice integrates as power laws between its points. It stops at
// the last point at or below `upper`: a band of whole decades ends there.
inline std::string NoiseAnalyses(const std::string& output, const std::string& source, double lower, double upper,
                                 int perDecade) {
  return ".control\nset numdgt=15\nset nobreak\nnoise v(" + output + ") " + source + " dec 20 " + Num(lower / 10) +
         " " + Num(upper * 10) + "\nprint noise1.onoise_spectrum noise1.inoise_spectrum\nnoise v(" + output + ") " +
         source + " dec " + std::to_string(perDecade) + " " + Num(lower) + " " + Num(upper) +
         " 1\nprint noise4.all\nquit 0\n.endc\n.end\n";
}

// ngspice's output for `netlist`. It reports many failures on its output and
// still exits with 0 at "quit 0": any "error" fails the run.
inline std::string RunNgspice(const std::string& netlist) {
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
inline double Printed(const std::string& log, const std::string& label) {
  const std::size_t at = log.find(label);
  return at == std::string::npos ? NAN : std::strtod(log.c_str() + at + label.size(), nullptr);
}

// The rows "index frequency value..." of the first table printed, each as
// its frequency and values.
inline std::vector<std::vector<double>> PrintedRows(const std::string& log) {
  std::vector<std::vector<double>> rows;
  for (std::size_t at = log.find("\n0\t"); at != std::string::npos; at = log.find('\n', at + 1)) {
    std::istringstream line(log.substr(at + 1, log.find('\n', at + 1) - at - 1));
    std::size_t index = 0;
    if (!(line >> index) || index != rows.size()) break;
    std::vector<double> row;
    for (double value = 0; line >> value;) row.push_back(value);
    if (row.size() < 2) break;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace tervane::spice
