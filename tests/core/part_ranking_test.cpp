// The part library ranked in one circuit.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "form/calculator_form.h"
#include "form/form_calculation.h"
#include "form/part_ranking.h"
#include "form/part_selection.h"
#include "tests/core/part_expect.h"
#include "tests/core/test_form.h"

namespace tervane {
namespace {

using test::ExpectClose;
using test::FieldTexts;
using test::Form;

// Listed as Broken Dup Dup Loud NoCurrent Quiet TwinA TwinB Zfail: the list
// is alphabetical, so the twins are listed in the opposite order to the
// file's; Dup's second line gives its figures; Broken's corner and Zfail's
// voltage noise are beyond a double, so their calculations fail.
constexpr const char* kLibrary =
    "Loud 20n 1p 0\n"
    "Quiet 1n 1p 0\n"
    "TwinB 3n 1p 0\n"
    "TwinA 3n 1p 0\n"
    "Dup 9n 1p 0\n"
    "NoCurrent 2n 0 0\n"
    "Broken 1n 1p 1e400\n"
    "Dup 1.5n 1p 0\n"
    "Zfail 1e400 1p 0\n";

std::vector<std::string> Names(const std::vector<RankedPart>& parts) {
  std::vector<std::string> names;
  for (const RankedPart& p : parts) names.push_back(p.name + (p.failed ? " (failed)" : ""));
  return names;
}

struct OrderCase {
  const char* name;
  CalculatorForm form;
  std::vector<std::string> order;
};

TEST(RankParts, QuietestFirstEqualsInListOrderFailuresLast) {
  // The form's own figures are typed over by every part's.
  const FieldTexts typedFigures = {{"noise_voltage", "100n"}, {"noise_current", "1n"}, {"corner_freq", "1k"}};
  CalculatorForm withCarry = Form(AMP_NONINVERTING, {{"carry", "1u"}});
  withCarry.m_bWithCarry = 1;
  const OrderCase cases[] = {
      // Totals follow en, but NoCurrent's missing current noise does not
      // make up for its 2n against Dup's 1.5n; TwinA and TwinB tie.
      {"NonInverting",
       Form(AMP_NONINVERTING, typedFigures),
       {"Quiet", "Dup", "NoCurrent", "TwinA", "TwinB", "Loud", "Broken (failed)", "Zfail (failed)"}},
      // Rs 100k: its current noise puts NoCurrent first.
      {"HighSourceResistance",
       Form(AMP_BUFFER, {{"source_resistor", "100k"}}),
       {"NoCurrent", "Quiet", "Dup", "TwinA", "TwinB", "Loud", "Broken (failed)", "Zfail (failed)"}},
      // The carried noise adds the same to every part.
      {"CarryMode",
       withCarry,
       {"Quiet", "Dup", "NoCurrent", "TwinA", "TwinB", "Loud", "Broken (failed)", "Zfail (failed)"}},
      // A circuit that cannot be calculated: every part fails, in list order.
      {"ReversedBand",
       Form(AMP_NONINVERTING, {{"lower_freq", "30k"}}),
       {"Broken (failed)", "Dup (failed)", "Loud (failed)", "NoCurrent (failed)", "Quiet (failed)", "TwinA (failed)",
        "TwinB (failed)", "Zfail (failed)"}},
  };
  const PartLibrary library = ReadBytes(kLibrary);
  for (const OrderCase& c : cases) EXPECT_EQ(Names(RankParts(c.form, library)), c.order) << c.name;
  EXPECT_TRUE(RankParts(Form(), PartLibrary{}).empty());
}

TEST(RankParts, EachPartsFiguresAndResults) {
  const std::vector<RankedPart> parts = RankParts(Form(), ReadBytes(kLibrary));
  ASSERT_EQ(parts.size(), 8u);

  // Start-up circuit: G = 2, R1 = R2 = 1k, Rs = 0, 80 F = 299.8166666666667 K,
  // fc = 0: Sn^2 = (2 en)^2 + 2 * 4kT * 1k + (in * 1k)^2 over 19980 Hz.
  const RankedPart& quiet = parts[0];
  EXPECT_EQ(quiet.name, "Quiet");
  ASSERT_FALSE(quiet.failed);
  ExpectClose(*quiet.outputDensity, 6.173763848804067e-09, "Quiet Sn");
  ExpectClose(*quiet.totalNoise, 8.726653963660895e-07, "Quiet Vn");
  ExpectClose(*quiet.optimumSourceResistance, 1000, "Quiet en/in");  // 1n / 1p

  // Dup: one entry, with the figures of its last line.
  EXPECT_EQ(parts[1].name + " " + parts[1].noiseVoltageText, "Dup 1.5n");
  ExpectClose(parts[1].noiseVoltage, 1.5e-9, "Dup en");
  ExpectClose(*parts[1].optimumSourceResistance, 1500, "Dup en/in");

  // No current noise: no source resistance balances it.
  EXPECT_EQ(parts[2].name, "NoCurrent");
  EXPECT_FALSE(parts[2].optimumSourceResistance.has_value());

  // A failed part keeps its figures and has no results.
  const RankedPart& broken = parts[6];
  EXPECT_EQ(broken.name, "Broken");
  EXPECT_TRUE(broken.failed);
  EXPECT_EQ(broken.cornerFreqText, "1e400");
  EXPECT_TRUE(std::isinf(broken.cornerFreq));
  EXPECT_FALSE(broken.outputDensity || broken.totalNoise || broken.snr || broken.optimumSourceResistance);
}

// R_opt is the figures' en'/in' over the band: with the corner on en alone,
// en/in times the flicker factor F = sqrt(ln(100) 47 / 99 + 1), 12.75k
// against en/in's 7.143k.
TEST(RankParts, OptimumSourceIsTheFiguresOwn) {
  CalculatorForm form = Form(AMP_NONINVERTING, {{"lower_freq", "1"}, {"upper_freq", "100"}});
  form.m_bApplyCorner = 0;
  const RankedPart part = RankParts(form, ReadBytes("DemoAmp 5n 700f 47\n")).front();
  ExpectClose(*part.optimumSourceResistance, 5e-9 / 700e-15 * std::sqrt(std::log(100.0) * 47 / 99 + 1), "en'/in");
}

// In a photodiode circuit each part brings its own Ccm and Cdiff, none
// where its line gives none (not the circuit's 10p): ranked by the input
// current that selecting it calculates, the one without them quieter for
// the capacitance it lacks.
TEST(RankParts, TransimpedancePartsBringTheirOwnInputCapacitances) {
  const CalculatorForm form = Form(AMP_TRANSIMPEDANCE, {{"r2", "100k"},
                                                        {"diode_capacitance", "10p"},
                                                        {"common_mode_capacitance", "10p"},
                                                        {"upper_freq", "1M"}});
  const PartLibrary library = ReadBytes("Caps 1n 1p 0 10M - - 20p 5p\nNoCaps 1n 1p 0 10M\n");
  const std::vector<RankedPart> parts = RankParts(form, library);
  EXPECT_EQ(Names(parts), (std::vector<std::string>{"NoCaps", "Caps"}));
  for (const RankedPart& part : parts) {
    CalculatorForm selected = form;
    SelectPart(selected, library.m_partTable, part.name);
    ExpectClose(*part.inputNoise, *ComputeNoise(selected).outcome.inputNoise, part.name.c_str());
  }
}

}  // namespace
}  // namespace tervane
