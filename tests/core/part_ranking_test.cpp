// The part library ranked in one circuit: the order of the parts. Each
// part's figures and results (a duplicate's last line, a failed part's
// texts, R_opt over a band with 1/f noise) are checked by the rank
// command's golden batch, tests/cli/rank.txt.

#include <gtest/gtest.h>

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
       test::CarryForm("20", "20k"),
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

// In a photodiode circuit each part brings its own Ccm and Cdiff, none
// where its line gives none (not the circuit's 10p): ranked by the input
// current that selecting it calculates, the one without them quieter for
// the capacitance it lacks.
TEST(RankParts, TransimpedancePartsBringTheirOwnInputCapacitances) {
  const CalculatorForm form = Form(AMP_TRANSIMPEDANCE, {{"r2", "100k"}, {"diode_capacitance", "10p"},
                                                        {"common_mode_capacitance", "10p"}, {"upper_freq", "1M"}});
  const PartLibrary library = ReadBytes("Caps 1n 1p 0 10M - - 20p 5p\nNoCaps 1n 1p 0 10M\n");
  const std::vector<RankedPart> parts = RankParts(form, library);
  EXPECT_EQ(Names(parts), (std::vector<std::string>{"NoCaps", "Caps"}));
  for (const RankedPart& part : parts) {
    CalculatorForm selected = form;
    SelectPart(selected, library.m_partTable, part.name);
    test::ExpectClose(*part.inputNoise, *ComputeNoise(selected).outcome.inputNoise, part.name.c_str());
  }
}

}  // namespace
}  // namespace tervane
