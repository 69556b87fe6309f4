// The data-sheet figures against published values, and each undefined
// figure with its cause. (The weighted totals are checked against a dense
// integration of the spectrum in noise_frequency_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "form/figure_text.h"
#include "form/form_calculation.h"
#include "form/noise_report.h"
#include "noise/chain_calculation.h"
#include "noise/noise_figures.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

// The curves at their standard points: IEC 61672-1 table 3 (A), the
// ITU-R BS.468-4 response table (CCIR-ARM 5.6 dB below it) and the RIAA
// playback table of IEC 60098. The tables' tenth of a dB, read as within
// 0.06 dB: the closed form of 468 lies 0.054 dB below its table at 12.5 kHz.
TEST(Weighting, CurvesMeetTheStandardsTables) {
  const struct {
    Weighting w;
    double f, db;
  } kPoints[] = {{Weighting::kA, 1000, 0.0},       {Weighting::kA, 100, -19.1},       {Weighting::kA, 10000, -2.5},
                 {Weighting::kItu468, 1000, 0.0},  {Weighting::kItu468, 6300, 12.2},  {Weighting::kItu468, 10000, 8.1},
                 {Weighting::kItu468, 12500, 0.0}, {Weighting::kItu468, 31.5, -29.9}, {Weighting::kCcirArm, 6300, 6.6},
                 {Weighting::kNone, 31.5, 0.0},    {Weighting::kRiaa, 20, 19.3},      {Weighting::kRiaa, 20000, -19.6},
                 {Weighting::kRiaa, 1000, 0.0},    {Weighting::kRiaaA, 1000, 0.0}};
  for (const auto& p : kPoints) EXPECT_NEAR(WeightingDb(p.w, p.f), p.db, 0.06) << p.f << " Hz";
  for (const double f : {1e-300, 1e-3, 1e160, 1e300})  // the skirts: 0, never NaN
    for (const Weighting w : kWeightings) EXPECT_GE(WeightingPowerGain(w, f), 0) << f;
}

// The A curve's noise bandwidths as audio noise texts quote them: white
// noise over 20 Hz..20 kHz reads 12 468 Hz (-2.05 dB against flat), 1/f
// noise 3.577 against ln 1000, and the whole curve about 13 460 Hz.
TEST(Weighting, ABandwidths) {
  const auto audio = IntegrateWeightings({20, 20000});
  const auto whole = IntegrateWeightings({1e-3, 1e9});
  ASSERT_TRUE(audio && whole);
  EXPECT_NEAR((*audio)[Weighting::kA].flat, 12468, 0.5);
  EXPECT_NEAR(10 * std::log10((*audio)[Weighting::kA].flat / 19980), -2.05, 0.005);
  EXPECT_NEAR((*audio)[Weighting::kA].perFrequency, 3.577, 0.0005);
  EXPECT_NEAR((*audio)[Weighting::kNone].perFrequency, 6.908, 0.0005);
  EXPECT_NEAR((*whole)[Weighting::kA].flat, 13460, 5);
  for (const Band bad : {Band{0, 1}, Band{2, 1}, Band{1e-320, 1e300}, Band{1, INFINITY}})
    EXPECT_FALSE(IntegrateWeightings(bad)) << bad.lower << ".." << bad.upper;
}

// A stage as noisy as its source (the textbook EIN of 200 ohm at room
// temperature, -129.6 dBu over 20 kHz, is the command line's golden case of
// the source alone), the IEEE noise figure of a stage matching the source
// at 290 K (3.01 dB whatever the stage's own temperature), and the optimum
// source of en = 5 nV, in = 0.7 pA.
TEST(NoiseFigures, PublishedFigures) {
  const auto buffer = [](const char* en, const char* in, const char* temperature) {
    return FiguresOf(ComputeNoise(test::Form(AMP_BUFFER, {{"source_resistor", "200"},
                                                          {"r2", "0"},
                                                          {"noise_voltage", en},
                                                          {"noise_current", in},
                                                          {"temperature", temperature}})))
        .value_or(NoiseFigures{});
  };
  EXPECT_NEAR(buffer("1.8147n", "0", "25C")[Weighting::kNone].einDbu.value_or(0), -126.59, 0.005);
  for (const char* t : {"25C", "-40C", "373K"})
    EXPECT_NEAR(buffer("1.7897n", "0", t).noiseFigureDb.value_or(0), 3.01, 0.005) << t;
  const NoiseFigures part = buffer("5n", "0.7p", "25C");
  EXPECT_NEAR(part.optimumSourceOhm.value_or(0), 7.14e3, 5);
  EXPECT_NEAR(part.minNoiseFigureDb.value_or(0), 1.57, 0.005);
}

// The noise figure takes the source impedance alone at 290 K, a load
// resistor being the stage's noise ("noise factor", IEEE Std 100, after the
// IRE's 1959 twoport noise standard; H. T. Friis, Proc. IRE 32, 1944); the
// active stage's figure takes the source with its load, and is there only
// where a load is. Figures worked out apart from the program, by hand from
// the closed forms and by Simpson's rule over the integrands of
// noise_model.md: a 1 kohm source into 47 kohm at a gain of 100 (80 F), and
// a moving-magnet cartridge, 1 kohm + 0.5 H into 47k || 200p, whose load
// resistor dominates its stage, alone and as the example chain's first
// stage (docs/examples/phono-preamp.tervane).
TEST(NoiseFigures, IeeeTakesTheSourceAloneTheActiveStageItsLoad) {
  StageInputs plain = test::Stage(AMP_NONINVERTING, 1e3, 100, 9.9e3, {20, 20e3}, 3e-9, 400e-15);
  plain.kelvin = (80 - 32) / 1.8 + 273.15, plain.loadResistor = 47e3;
  // The cartridge into an op amp (en, fc, in's fci, GBW) at gain 1 + R2/R1.
  const auto cartridge = [](double r1, double r2, double en, double fc, double fci, double gbw) {
    StageInputs s = test::Stage(AMP_NONINVERTING, 1e3, r1, r2, {20, 20e3}, en, 400e-15);
    s.cornerFreq = fc, s.applyCorner = true, s.currentCorner = fci, s.gainBandwidth = gbw;
    s.sourceInductance = 0.5, s.loadResistor = 47e3, s.loadCapacitor = 200e-12;
    return s;
  };
  const StageInputs preamp = cartridge(100, 9.9e3, 3e-9, 2.7, 170, 8e6);  // OP27
  StageInputs unloaded = preamp;
  unloaded.loadResistor.reset();
  StageInputs lineStage = test::Stage(AMP_INVERTING, 0, 10e3, 10e3, {20, 20e3}, 5e-9, 700e-15);
  lineStage.cornerFreq = 47, lineStage.applyCorner = true, lineStage.currentCorner = 420, lineStage.gainBandwidth = 10e6;
  const struct {
    const char* name;
    std::vector<StageInputs> stages;
    double ieeeDb;
    std::optional<double> loadedDb;
  } cases[] = {
      {"1 kohm into 47 kohm", {plain}, 2.3678, 2.2746},
      {"the README's cartridge stage (NE5534A)", {cartridge(1e3, 10e3, 3.5e-9, 44, 390, 10e6)}, 15.9981, 1.8606},
      {"example chain", {preamp, lineStage}, 15.7950, 1.7154},
      {"its cartridge without the load resistor", {unloaded, lineStage}, 14.1327, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<NoiseFigures> f = ChainNoiseFigures(CalculateChain(c.stages));
    ASSERT_TRUE(f && f->noiseFigureDb);
    EXPECT_NEAR(*f->noiseFigureDb, c.ieeeDb, 5e-4);
    EXPECT_NEAR(f->noiseFigureLoadedDb.value_or(-1), c.loadedDb.value_or(-1), 5e-4);  // -1: none
    EXPECT_EQ(HasFigure(CausesOf(NoiseResult{c.stages[0], CalculateStage(c.stages[0])}), "noise_figure_loaded_db"),
              c.loadedDb.has_value());  // shown where the first stage has a load
  }
}

// Powers no stage gives (the stages' own causes are below).
TEST(NoiseFigures, UndefinedFiguresAreEmpty) {
  const NoiseResult quiet = ComputeNoise(test::Form());
  FigureInputs silent = *FigureInputsOf(quiet.inputs, quiet.outcome);
  silent.power.fill(0);
  EXPECT_FALSE(ComputeNoiseFigures(silent)[Weighting::kA].outputDbu ||
               ComputeNoiseFigures(silent)[Weighting::kA].snrDb);
  for (const double bad : {-1e-15, double{NAN}}) {  // a negative power, or anything not finite
    FigureInputs in = silent;
    in.power.fill(bad);
    EXPECT_FALSE(ComputeNoiseFigures(in)[Weighting::kNone].outputV) << bad;
  }
  silent.gain = INFINITY;
  EXPECT_FALSE(ComputeNoiseFigures(silent).signalGain);
}

// Every dash names its own cause: a negative noise power first (the gains
// stay), then a source resistance of 0 or below, no or a negative noise
// density, no gain, no noise left through the weighting. (A negative Rs's
// figures and those of no current noise are the command line's golden
// cases.)
TEST(NoiseFigures, EachEmptyFigureNamesItsCause) {
  // clang-format off
  const struct {
    int amp;
    test::FieldTexts typed;
    Weighting w;
    std::string_view key, reason;
  } kCases[] = {
      {AMP_NONINVERTING, {{"temperature", "-300C"}}, Weighting::kA, "snr_db", kNegativePowerText},
      {AMP_NONINVERTING, {}, Weighting::kNone, "noise_temperature_k", "Rs = 0: there is no source noise to compare with"},
      {AMP_BUFFER, {{"source_resistor", "-1k"}, {"r2", "0"}, {"temperature", "-10K"}}, Weighting::kNone,
       "noise_figure_db", "Rs < 0: a negative source resistance has no noise to compare with"},
      {AMP_NONINVERTING, {{"noise_voltage", "-1n"}}, Weighting::kNone, "optimum_source_ohm",
       "en or in is negative: a noise density is never below 0"},
      {AMP_INVERTING, {{"r2", "0"}, {"source_resistor", "1k"}}, Weighting::kNone, "gain_db", "the stage has no signal gain"},
      {AMP_INVERTING, {{"r2", "0"}, {"source_resistor", "1k"}}, Weighting::kA, "ein_dbu", "the stage has no signal gain"},
      {AMP_NONINVERTING, {{"lower_freq", "1e-100"}, {"upper_freq", "2e-100"}}, Weighting::kA, "output_dbv",
       "no noise through this weighting: 0 V has no level in dB"},
      {AMP_TRANSIMPEDANCE, {}, Weighting::kNone, "noise_figure_db",
       "no Rsh: the photodiode has no thermal noise to compare with"},
      {AMP_TRANSIMPEDANCE, {}, Weighting::kA, "snr_db", "no Photocurrent given: it is the signal"},
  };
  // clang-format on
  for (const auto& c : kCases) {
    const NoiseResult r = ComputeNoise(test::Form(c.amp, c.typed));
    const std::optional<NoiseFigures> figures = FiguresOf(r);
    ASSERT_TRUE(figures) << c.key << ": " << c.reason;
    std::optional<double> value = 0.0;
    for (const StageFigureField& f : kStageFigureFields)
      if (f.key == c.key) value = (*figures).*f.member;
    for (const WeightedFigureField& f : kWeightedFigureFields)
      if (f.key == c.key) value = (*figures)[c.w].*f.member;
    EXPECT_FALSE(value) << c.key << ": " << c.reason;
    EXPECT_EQ(UndefinedReason(r, (*figures)[c.w], c.key), c.reason) << c.key;
    EXPECT_TRUE(figures->signalGain) << c.key;
  }
}

}  // namespace
}  // namespace tervane
