#pragma once

#include <array>
#include <complex>
#include <optional>
#include <vector>

#include "noise/lanes.h"
#include "noise/noise_source.h"
#include "noise/stage_inputs.h"

namespace tervane {

// The stage over frequency (noise_model.md, "Over frequency"): the circuit
// as it is built, with a reactive source and load, a feedback capacitor and
// the op amp's bandwidth, at one frequency at a time.

// What differs between op amps in one circuit: a part library's figures.
struct OpAmpNoise {
  double en = 0;          // V/rtHz, white
  double in = 0;          // A/rtHz, white
  double cornerFreq = 0;  // fc, Hz: en(f)^2 = en^2 (1 + fc / f)
  bool applyCorner = false;
  std::optional<double> gainBandwidth;  // GBW, Hz; an ideal op amp without
  std::optional<double> currentCorner;  // fci, Hz
  std::optional<double> inCorrelation;  // c of the two inputs' current noise; 0 when absent
  // Ccm and Cdiff, F, which the transimpedance stage's circuit holds.
  std::optional<double> commonModeCapacitance;
  std::optional<double> differentialCapacitance;
};

// The stage's own op amp, and the stage with another one in it.
OpAmpNoise OpAmpOf(const StageInputs& stage);
StageInputs WithOpAmp(StageInputs stage, const OpAmpNoise& opAmp);

// in(f)^2 / in^2: 1 + fci / f where fci is given; else 1 + fc / f where the
// corner applies to the current noise, 1 otherwise.
double CurrentNoiseRise(const OpAmpNoise& opAmp, double frequency);

// The circuit around the op amp at one frequency: every way a source
// reaches the output, before the op amp's closed-loop response H. A
// template for CircuitLanes, the same at two frequencies at once.
template <typename Real, typename Complex>
struct BasicCircuitAt {
  Real frequency{};    // Hz
  Complex noiseGain;   // NG(f), from the op amp's voltage noise to the output with an ideal op amp
  Complex signalGain;  // G(f) / H(f): D NG, -Z2 / Zi in the inverting stage, -Zf (ohm) in the TIA
  // By SourceIndex, what multiplies the drive of each source (DriveOf) and
  // |H|^2 to give its output power density: |transfer|^2 for the op amp's
  // voltage (V/V) and current noise (ohm^2), 4kT times the thermal
  // transfer (V^2/Hz) for a resistor, 2 Re{T+ conj(T-)} of the two inputs'
  // currents for their correlation (per c in(f)^2, ohm^2, signed), and for
  // a resistor's excess noise its density times f times its voltage
  // transfer squared (V^2, per 1/f); 0 for a source the stage lacks.
  std::array<Real, kStageSourceCount> kernel{};
  // The source's own thermal noise at the output per kelvin, V^2/(Hz K),
  // before |H|^2: of Zs alone, 4k Rs |G / H|^2, which the noise figure
  // compares with; and of the source with its load, 4k Re{Zs || Zl} |NG|^2
  // (Rs's and Rload's together; the same as Zs's without a load resistor),
  // which the active stage's figure compares with. The photodiode's is its
  // shunt's, 4k / Rsh |Zf|^2, either way.
  Real sourceKernel{};
  Real loadedSourceKernel{};
};
using CircuitAt = BasicCircuitAt<double, std::complex<double>>;
using CircuitLanes = BasicCircuitAt<Lanes, ComplexLanes>;

// Nothing for a topology that is none of the four, and for a circuit
// without a solution: a non-inverting stage without R1, an inverting one
// whose Zi is 0, a TIA without Rf or whose shunt is 0 ohm (a short across
// the photodiode).
std::optional<CircuitAt> CircuitResponseAt(const StageInputs& stage, double frequency);

// The transimpedance stage's circuit with what does not change with the
// frequency worked out once: its conductances and capacitances, its shot
// noise's current, its resistors' excess noises.
class TransimpedanceCircuit {
 public:
  explicit TransimpedanceCircuit(const StageInputs& stage);

  // The circuit at `circuit.frequency`, as CircuitResponseAt gives it; in
  // CircuitLanes at two frequencies at once, one in each lane, as its every
  // node is worked out alike, with no branch on the frequency. It writes
  // the same members at every frequency, so that one circuit, the kernels
  // of the sources a TIA lacks 0 as it is built, serves every node of an
  // integral. False for a stage that is no TIA, or where CircuitResponseAt
  // gives nothing.
  bool At(CircuitAt& circuit) const;
  bool At(CircuitLanes& circuit) const;

 private:
  template <typename Real, typename Complex>
  bool Fill(BasicCircuitAt<Real, Complex>& circuit) const;

  bool solvable_;            // a TIA with Rf, and no shunt of 0 ohm (a short across the photodiode)
  double kT4_;               // 4kT
  double r2_;                // Rf
  double cf_;                // 0 without one
  double shunt_;             // 1 / Rsh; 0 without a shunt
  double minusCapacitance_;  // Cd + Ccm, from the - input to ground
  double cdiff_;             // Cdiff, between the inputs
  bool bias_;                // Rb is given
  double rb_;                // 0 where the + input is grounded
  double plusCapacitance_;   // Cb + Ccm, across Rb
  double shotNoise_;         // 2q (Id + Iph)
  // By ExcessResistor, each resistor's excess noise density times f, V^2.
  std::array<std::optional<double>, kExcessResistorCount> excess_;
  bool anyExcess_;
};

// H(f) = A / (A + NG) with A = GBW / (j f): 1 without a GBW.
std::complex<double> ClosedLoopResponse(const CircuitAt& circuit, const std::optional<double>& gainBandwidth);

// The stage at one frequency with an op amp in it.
struct StageResponse {
  std::complex<double> gain;                      // G(f), from the source's EMF to the output
  std::array<double, kStageSourceCount> power{};  // V^2/Hz at the output, by SourceIndex
  double sourcePerKelvin = 0;                     // the source's own thermal noise at the output, V^2/(Hz K)
  double loadedSourcePerKelvin = 0;               // the same of the source with its load
};
StageResponse RespondWith(const CircuitAt& circuit, const OpAmpNoise& opAmp);

// What RespondWith works a source's power out from: H(f), G(f), and by
// SourceDrive what multiplies the kernel of a source of that drive.
template <typename Real, typename Complex>
struct BasicDriveScales {
  Complex h;
  Complex gain;
  std::array<Real, kSourceDriveCount> scale{};
};
using DriveScales = BasicDriveScales<double, std::complex<double>>;
using DriveScalesLanes = BasicDriveScales<Lanes, ComplexLanes>;
DriveScales ScalesOf(const CircuitAt& circuit, const OpAmpNoise& opAmp);
DriveScalesLanes ScalesOf(const CircuitLanes& circuit, const OpAmpNoise& opAmp);

// The stage with its own op amp at `frequency` (> 0): the complex transfer
// G(f) and each source's output power density. Nothing for a topology that
// is none of the three.
std::optional<StageResponse> StageResponseAt(const StageInputs& stage, double frequency);

// The Rb at which the op amp's bias currents, equal at both inputs, move
// the output by as much each, so that their offsets cancel: each input's
// DC resistance times its gain to the output alike (noise_model.md, "The
// bias resistor"). Inverting (Rs + R1) || R2; non-inverting R1 || R2 less
// the source's DC resistance with its load, Rs || Rload; the buffer R2 less
// that; the TIA Rf || Rsh (Rf without a shunt); never below 0. Nothing for a
// topology that is none of the four or a value that is not finite.
std::optional<double> BiasCancellingResistor(const StageInputs& stage);

// The frequency in the band fL..fH, Hz, at which the source and its load
// resonate without loss: Zs + Zl = 0 at a real frequency, where Rs Cload +
// Ls / Rload = 0, as with Ls and Cload and neither Rs nor Rload. There
// Zs || Zl is infinite, and so is the + input's current noise through it:
// no stage has a result. None where they have loss, where the resonance
// lies outside the band, and in the inverting stage, which has no load.
std::optional<double> LosslessResonance(const StageInputs& stage);

// The first resistor, in ExcessResistor order, whose excess noise is given
// though the stage lacks it: R1 in the buffer, R1, Rs and Rload in the
// TIA, a resistor of 0 ohm (Rs = 0: no source resistor), a load or bias
// resistor not given. A resistor that is not there has no excess noise.
// None where every one given is there.
std::optional<ExcessResistor> ExcessNoiseOfNoResistor(const StageInputs& stage);

// The half-power edges of the stage's resonances, Hz: its complex poles
// and zeros (with `gainBandwidth`'s closed loop where one is given), however
// sharp, and around each the points at fourfold distances from its peak up
// to half its frequency. The integrator's panels end there, so that no peak
// or notch can hide between their nodes, wherever the band's edges lie; a
// real pole or zero is a corner as smooth on a log axis as the integrator
// needs.
std::vector<double> CircuitBreakpoints(const StageInputs& stage, const std::optional<double>& gainBandwidth);

}  // namespace tervane
