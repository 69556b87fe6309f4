// The calculator form and the noise model of one stage.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/calculator_form.h"
#include "form/circuit_file.h"
#include "form/form_calculation.h"
#include "form/temperature.h"
#include "noise/noise_calculation.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::ExpectClose;
using test::FieldTexts;
using test::Form;

// ---------------------------------------------------------------------------
// Form state

TEST(CalculatorForm, TheRiaaBand) {
  // "RIAA NBW" replaces the two band edges and nothing of what was typed.
  CalculatorForm form = Form(AMP_INVERTING, {{"r2", "typed"}, {"temperature", "25C"}});
  form.m_bApplyCorner = 0;
  ApplyRiaaBand(form);
  EXPECT_EQ(form.m_strLowerFreq, "20.0");
  EXPECT_EQ(form.m_strUpperFreq, "108.0903");
  EXPECT_EQ(form.m_strR2, "typed");
  EXPECT_EQ(form.m_strTemperature, "25C");
  EXPECT_EQ(form.m_nAmpType, AMP_INVERTING);
  EXPECT_EQ(form.m_bApplyCorner, 0);
}

// ---------------------------------------------------------------------------
// Temperature

TEST(ReadTemperature, TheFirstOfKCFPicksTheScale) {
  const struct {
    const char* text;
    double fahrenheit, celsius, kelvin;
  } cases[] = {
      {"25C", 77, 25, 298.15},
      {"300K", 80.33, 26.85, 300},
      {"77", 77, 25, 298.15},
      {"-40C", -40, -40, 233.15},
      {"2K5", 25 * 1.8 - 459.67, 25 - 273.15, 25},    // anywhere in the text
      {"3K0K", 30 * 1.8 - 459.67, 30 - 273.15, 30},   // every K is dropped
      {"2F5", 25, -35.0 / 9, -35.0 / 9 + 273.15},     // and every F
      {"25CK", 25 * 1.8 - 459.67, 25 - 273.15, 25},   // K before C
      {"25FC", 77, 25, 298.15},                       // C before F; F reads as nothing
      {"25c", 25, -35.0 / 9, -35.0 / 9 + 273.15},    // lower case is no unit
      {"warm", 0, -160.0 / 9, -160.0 / 9 + 273.15},
  };
  for (const auto& c : cases) {
    const Temperature t = ReadTemperature(c.text);
    EXPECT_NEAR(t.fahrenheit, c.fahrenheit, 1e-9) << c.text;
    EXPECT_NEAR(t.celsius, c.celsius, 1e-9) << c.text;
    EXPECT_NEAR(t.kelvin, c.kelvin, 1e-9) << c.text;
  }
}

// ---------------------------------------------------------------------------
// Topologies

TEST(ComputeNoise, GainAndOutputDensityOfEachTopology) {
  // The start-up form in each topology (inverting: A + 1 = 2 and
  // R1 A^2 = R2^2 / R1 when Rs = 0, so the non-inverting density), then
  // every input set so that every term counts.
  const FieldTexts allTerms = {{"source_resistor", "2k"}, {"r2", "9k"}, {"noise_voltage", "5n"},
                               {"noise_current", "1p"}, {"corner_freq", "50"}};
  const struct {
    const char* name;
    int ampType;
    FieldTexts typed;
    double gain;
    double density;  // Sn
  } cases[] = {
      {"NonInverting", AMP_NONINVERTING, {}, 2, 8.323182087447084e-09},
      {"Buffer", AMP_BUFFER, {}, 1, 5.071260201409507e-09},
      {"Inverting", AMP_INVERTING, {}, 1, 8.323182087447084e-09},
      {"NonInvertingCorner", AMP_NONINVERTING, {{"corner_freq", "100"}}, 2, 8.397948105791484e-09},
      {"NonInvertingAllTerms", AMP_NONINVERTING, allTerms, 10, 8.851134834929592e-08},
      {"InvertingAllTerms", AMP_INVERTING, allTerms, 3, 3.2945278443321584e-08},
      {"BufferAllTerms", AMP_BUFFER, allTerms, 1, 1.7147478373520584e-08},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NoiseResult r = ComputeNoise(Form(c.ampType, c.typed));
    ASSERT_FALSE(r.outcome.failure);
    ExpectClose(*r.outcome.gain, c.gain, "G");
    ExpectClose(*r.outcome.outputDensity, c.density, "Sn");
    ExpectClose(*r.outcome.ownNoise, std::sqrt(19980.0) * c.density, "Vn");
    EXPECT_EQ(r.r1Read, c.ampType != AMP_BUFFER);
  }
}

// ---------------------------------------------------------------------------
// The four checks, and results that are not finite: the form's texts as the
// calculation reads them here, each check of the stage below.

TEST(ComputeNoise, InconsistentInputsAndNonFiniteResultsAreErrors) {
  const struct {
    const char* name;
    int ampType;
    FieldTexts typed;
    bool error;
  } cases[] = {
      {"EqualBandEdges", AMP_NONINVERTING, {{"lower_freq", "20k"}}, true},
      {"R1CancelsRs", AMP_INVERTING, {{"r1", "-1k"}, {"source_resistor", "1k"}}, true},
      {"ZeroR1AndRsInverting", AMP_INVERTING, {{"r1", "0"}}, true},
      {"ZeroR1Buffer", AMP_BUFFER, {{"r1", "0"}}, false},  // the buffer never reads R1
      {"UnreadableR1Buffer", AMP_BUFFER, {{"r1", "1e400"}}, false},
      {"ZeroR1WithRsInverting", AMP_INVERTING, {{"r1", "0"}, {"source_resistor", "1k"}}, false},
      // Each of these makes F, Sn, G or the SNR infinite or NaN.
      {"ZeroLowerEdgeNoCorner", AMP_NONINVERTING, {{"lower_freq", "0"}}, true},
      {"ZeroLowerEdgeWithCorner", AMP_NONINVERTING, {{"lower_freq", "0"}, {"corner_freq", "100"}}, true},
      {"NegativeLowerEdge", AMP_NONINVERTING, {{"lower_freq", "-20"}, {"corner_freq", "100"}}, true},
      {"HugeResistor", AMP_NONINVERTING, {{"r2", "1e400"}}, true},
      {"HugeTemperature", AMP_BUFFER, {{"temperature", "1e400K"}}, true},
      {"NegativeTemperature", AMP_BUFFER, {{"temperature", "-1kK"}}, true},
      {"TinyR1", AMP_NONINVERTING, {{"r1", "1e-320"}}, true},
      {"HugeReference", AMP_NONINVERTING, {{"ref_voltage", "1e400"}}, true},
      {"NoNoiseAtAll", AMP_NONINVERTING, {{"noise_voltage", "0"}, {"noise_current", "0"}, {"r2", "0"}}, true},
      {"InfiniteCarryInPlainMode", AMP_NONINVERTING, {{"carry", "1e400"}}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComputeNoise(Form(c.ampType, c.typed)).outcome.failure.has_value(), c.error) << c.name;
}

// A further measurement's stage is the form's calculated with that Source
// Resistor (here the one that leaves R1 = 0 with no resistance): its text
// read whole, none for one that is no resistance of 0 ohm or more.
TEST(AtSourceResistor, IsTheFormCalculatedWithThatSourceResistor) {
  const struct {
    const char* typed;
    std::optional<double> ohms;
  } cases[] = {{"10k", 10e3}, {"2.5k", 2.5e3}, {"0", 0.0}, {" ", std::nullopt}, {"abc", std::nullopt},
               {"4k7", std::nullopt}, {"-1k", std::nullopt}, {"1e400", std::nullopt}};
  const NoiseResult first = ComputeNoise(Form(AMP_INVERTING, {{"r1", "0"}, {"source_resistor", "100"}}));
  for (const auto& c : cases) {
    EXPECT_EQ(ReadSourceResistor(c.typed), c.ohms) << c.typed;
    if (!c.ohms) continue;
    const NoiseResult at = AtSourceResistor(first, *c.ohms);
    const NoiseResult typed = ComputeNoise(Form(AMP_INVERTING, {{"r1", "0"}, {"source_resistor", c.typed}}));
    EXPECT_EQ(at.inputs.sourceResistor, typed.inputs.sourceResistor) << c.typed;
    EXPECT_EQ(at.outcome.failure, typed.outcome.failure) << c.typed;
    EXPECT_EQ(at.outcome.ownNoise, typed.outcome.ownNoise) << c.typed;
  }
}

// A source of 0.5 H into `cload`: 15.92 kHz with 200 pF.
void Tank(StageInputs& s, double cload) { s.sourceInductance = 0.5, s.loadCapacitor = cload; }
void Excess(StageInputs& s, ExcessResistor r) { s.excess[ExcessIndex(r)] = ExcessNoise{-20, 10}; }

TEST(CalculateStage, SaysWhichCheckFailed) {
  const StageInputs ok = test::Stage(AMP_NONINVERTING, 0, 1e3, 1e3, {20, 20e3}, 3e-9, 0);
  ASSERT_FALSE(CalculateStage(ok).failure);
  struct FailureCase {
    std::optional<StageFailure> failure;
    void (*spoil)(StageInputs&);
  };
  using enum ExcessResistor;
  const FailureCase cases[] = {
      // Reversed band and zero reference: the band is named, it is checked first.
      {StageFailure::kBandNotAscending, [](StageInputs& s) { s.upperFreq = s.lowerFreq, s.refVoltage = 0; }},
      {StageFailure::kZeroReference, [](StageInputs& s) { s.refVoltage = 0; }},
      {StageFailure::kLoadOnInverting, [](StageInputs& s) { s.ampType = AMP_INVERTING, s.loadCapacitor = 1e-9; }},
      {StageFailure::kFaultyPart, [](StageInputs& s) { s.inCorrelation = 1.01, s.r1 = 0; }},
      {StageFailure::kNoSolution, [](StageInputs& s) { s.r1 = 0; }},
      {StageFailure::kNotFinite, [](StageInputs& s) { s.carry = HUGE_VAL; }},
      // A tank with no loss in the band, wherever it lies, whatever the nodes.
      {StageFailure::kLosslessResonance, [](StageInputs& s) { Tank(s, 196e-12), s.r1 = 0; }},
      {StageFailure::kLosslessResonance, [](StageInputs& s) { Tank(s, 192e-12), Excess(s, kRb); }},
      {StageFailure::kLosslessResonance, [](StageInputs& s) { Tank(s, 200e-12), s.ampType = AMP_BUFFER; }},
      {StageFailure::kLosslessResonance,
       [](StageInputs& s) { Tank(s, 200e-12), s.lowerFreq = std::sqrt(1 / (0.5 * 200e-12)) / (2 * std::numbers::pi); }},
      {std::nullopt, [](StageInputs& s) { Tank(s, 200e-12), s.upperFreq = 15e3; }},
      {std::nullopt, [](StageInputs& s) { Tank(s, 200e-12), s.loadResistor = 47e3; }},
      {std::nullopt, [](StageInputs& s) { Tank(s, 200e-12), s.sourceResistor = 1e-3; }},
      // Excess noise of a resistor the stage lacks.
      {StageFailure::kExcessNoiseOfNoResistor, [](StageInputs& s) { Excess(s, kRs), s.r1 = 0; }},
      {StageFailure::kExcessNoiseOfNoResistor, [](StageInputs& s) { Excess(s, kR1), s.ampType = AMP_BUFFER; }},
      {StageFailure::kExcessNoiseOfNoResistor, [](StageInputs& s) { Excess(s, kR2), s.r2 = 0; }},
      {StageFailure::kExcessNoiseOfNoResistor, [](StageInputs& s) { Excess(s, kRload); }},
      {StageFailure::kExcessNoiseOfNoResistor, [](StageInputs& s) { Excess(s, kRb), s.biasResistor = 0; }},
      {std::nullopt, [](StageInputs& s) { Excess(s, kRs), s.sourceResistor = 1; }},
      {std::nullopt, [](StageInputs& s) { Excess(s, kRb), s.biasResistor = 1; }},
  };
  for (const FailureCase& c : cases) {
    StageInputs spoilt = ok;
    c.spoil(spoilt);
    EXPECT_EQ(CalculateStage(spoilt).failure, c.failure) << &c - cases;
  }
}

// Bias Resistor "cancel", in any case with blanks around it, is the value
// that cancels the bias currents' offsets, (Rs + R1) || R2 = 9.091k here, as
// typed into the field and as read from a circuit file; anything else is
// read as a number.
TEST(ReadNoiseInputs, CancelIsTheBiasCancellingResistor) {
  const double cancelling = 1 / (1 / 10e3 + 1 / 100e3);
  const std::pair<const char*, double> cases[] = {
      {"cancel", cancelling}, {"Cancel", cancelling}, {" CANCEL\t", cancelling}, {" cancel", cancelling},
      {"cancelled", 0},       {"can cel", 0},         {"1k", 1e3},
  };
  for (const auto& [text, rb] : cases) {
    const CalculatorForm form = Form(AMP_INVERTING, {{"r1", "10k"}, {"r2", "100k"}, {"bias_resistor", text}});
    EXPECT_NEAR(*ReadNoiseInputs(form).inputs.biasResistor, rb, 1e-12 * rb) << text;
    const CircuitReading file = ReadCircuitFile(WriteCircuitFile(form, {}), Form());
    EXPECT_NEAR(*ComputeNoise(*file.form).inputs.biasResistor, rb, 1e-12 * rb) << text;
  }
}

// ---------------------------------------------------------------------------
// The carry step

// The inverting stage's gain on the carried noise, R2 / (R1 + Rs), is the
// write-back tests' (a chain of two stages).
TEST(CarryStep, CarriesTheShareOfTheOverlapTimesTheGain) {
  const struct {
    const char* name;
    const char *lower, *upper;
    double prevLower, prevUpper;
    bool reduced;
    double share;  // of the previous band's noise power that lies in the new band
    bool havePrevBand = true;
  } cases[] = {
      {"SameBand", "20", "20k", 20, 20000, false, 1},
      {"WiderBand", "10", "40k", 20, 20000, false, 1},
      {"LowerPart", "10", "10k", 20, 20000, true, 9980.0 / 19980},
      {"Inside", "100", "1k", 20, 20000, true, 900.0 / 19980},
      {"UpperPart", "1k", "40k", 20, 20000, true, 19000.0 / 19980},
      // Nothing of the previous band lies in the new one.
      {"Above", "30k", "40k", 20, 20000, true, 0},
      {"Below", "20", "500", 1000, 2000, true, 0},
      {"TouchingAbove", "20k", "40k", 20, 20000, true, 0},
      {"TouchingBelow", "10", "20", 20, 20000, true, 0},
      // Before any successful calculation the carried noise is used as
      // typed, though the band stored would cut it down.
      {"NoPreviousBand", "20", "20k", 10, 40000, false, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CalculatorForm form = test::CarryForm(c.lower, c.upper, c.prevLower, c.prevUpper);
    form.m_bHavePrevBand = c.havePrevBand;
    const NoiseResult r = ComputeNoise(form);
    ASSERT_FALSE(r.outcome.failure);
    EXPECT_EQ(r.outcome.reduced, c.reduced);
    // Combined^2 = own^2 + (Vc sqrt(share) G)^2 with G = 2.
    const double expected = std::sqrt(*r.outcome.ownNoise * *r.outcome.ownNoise + 4e-12 * c.share);
    ExpectClose(*r.outcome.totalNoise, expected, "combined Vn");
    ExpectClose(*r.outcome.snr, 20 * std::log10(1 / expected), "SNR");
  }
}

}  // namespace
}  // namespace tervane
