// The circuit file: what is written reads back as it was typed, and every
// kind of bad file gives its reason and no form (a version newer than this
// program's is the command line's golden case).

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "form/circuit_file.h"
#include "test_form.h"

namespace tervane {
namespace {

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  return text.replace(text.find(from), from.size(), to);
}

TEST(CircuitFile, ReadsBackWhatWasWrittenAndRefusesBadFiles) {
  // Texts as typed, with what the format must carry: the micro sign, blanks
  // at the ends, a backslash, a control character and a line end.
  CalculatorForm typed = test::Form(AMP_INVERTING, {{"source_resistor", " 4.7k "},
                                                    {"noise_voltage", "2.2\xB5"},
                                                    {"temperature", "a\\x41"},
                                                    {"carry", "1\t2\n3\r=\x01"}});
  typed.m_bApplyCorner = 0;
  const std::string good = WriteCircuitFile(typed, "M\xE5ns-OA");
  CalculatorForm withNul = typed, cut = typed;  // a NUL ends a text as the calculation reads it
  withNul.m_strR2 = std::string("10\0k", 4);
  cut.m_strR2 = "10";
  std::string crOnly = good;
  std::ranges::replace(crOnly, '\n', '\r');

  CalculatorForm onto = test::Form();  // the carry state is not the file's
  onto.m_bHavePrevBand = true;
  onto.m_strGainBandwidth = "8M";  // a version 1 file has none
  // The circuit as built makes version 2, and a blank field is kept as typed.
  const CalculatorForm built =
      test::Form(AMP_NONINVERTING, {{"source_inductance", "500m"}, {"load_capacitor", " "}, {"current_corner", "0"}});
  const std::string version2 = WriteCircuitFile(built, {});
  // The transimpedance amplifier makes version 5, a chain of one stage.
  const CalculatorForm tia =
      test::Form(AMP_TRANSIMPEDANCE, {{"shunt_resistance", "100M"}, {"common_mode_capacitance", "3p"}});
  const std::string tiaFile = WriteCircuitFile(tia, {});
  CalculatorForm omega = typed;  // a character Windows-1252 lacks reads as '?'
  omega.m_strR2 = "10k?";
  // Written by hand: a byte order mark, CR LF, a comment, the version last.
  const std::string byHand = Replaced(Replaced(WriteCircuitFile(test::Form(), {}), "version=1\n", ""),
                                      "[tervane-circuit]\n", "\xEF\xBB\xBF[tervane-circuit]\r\n# kept\r\n") +
                             "version=1\r\n";

  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;  // how it starts; null: it reads as `form`, with `part`
    CalculatorForm form = {};
    std::optional<std::string> part = {};
  };
  const Case cases[] = {
      {"round trip", good, nullptr, typed, "M\xE5ns-OA"},
      {"written by hand, no part", byHand, nullptr, test::Form(), {}},
      {"a text up to its NUL", WriteCircuitFile(withNul, {}), nullptr, cut, {}},
      {"not in Windows-1252", Replaced(good, "r2=1k", "r2=10kΩ"), nullptr, omega, "M\xE5ns-OA"},
      {"empty", "", "the file is empty"},
      {"oversized", good + std::string(kMaxCircuitFileSize, '#') + "\n", "it is larger than 64 KiB"},
      {"UTF-16", "\xFF\xFE[", "it is UTF-16 text"},
      {"CR only", crOnly, "its lines end in CR only (old Mac text)"},
      {"not UTF-8", Replaced(good, "2.2\xC2\xB5", "2.2\xB5"),
       "line 11: the byte 0xB5 after 'noise_voltage=2.2' is not UTF-8"},
      {"binary", Replaced(good, "r1=", std::string("r1=\0", 4)), "it holds binary data"},
      {"cut mid-line", good.substr(0, good.size() - 3), "it is truncated (its last line"},
      {"cut at a line end", good.substr(0, good.find("r2=")), "it is truncated or damaged: the line r2= is missing"},
      {"no header", good.substr(good.find('\n') + 1), "it is not a Tervane circuit file"},
      {"version 2", version2, nullptr, built},
      {"version 2 without a key of it", Replaced(version2, "feedback_capacitor=\n", ""),
       "it is truncated or damaged: the line feedback_capacitor= is missing"},
      {"half a resistor's excess noise", Replaced(version2, "noise_index_rs=\n", "noise_index_rs=-20\n"),
       "Rs Noise Index is given without Rs DC Voltage: a resistor's excess noise takes both, or neither"},
      {"a transimpedance amplifier", tiaFile, nullptr, tia},
      {"version 4 with a key of version 5", Replaced(tiaFile, "version=5", "version=4"),
       "stage 1: it is damaged: unknown key 'common_mode_capacitance'"},
      {"version 1 with a key of version 2", Replaced(good, "r1=", "source_inductance=1\nr1="),
       "it is damaged: unknown key 'source_inductance'"},
      {"newer than an int holds", Replaced(good, "version=1", "version=99999999999"),
       "it was written by a newer Tervane (circuit file version 99999999999;"},
      {"version not a number", Replaced(good, "version=1", "version=1x"), "it is damaged: the version '1x'"},
      {"unknown type", Replaced(good, "type=inverting", "type=differential"), "unknown amplifier type 'differential'"},
      {"unknown key", Replaced(good, "r1=", "r3="), "it is damaged: unknown key 'r3'"},
      {"key twice", good + "r1=2k\n", "it is damaged: line 17: 'r1' is given twice"},
      {"no '='", Replaced(good, "r1=", "r1 "), "it is damaged: line 5: no '='"},
      {"bad escape", Replaced(good, "a\\\\x41", "a\\q"), "it is damaged: line 7: a backslash"},
      {"NUL escape", Replaced(good, "r2=1k", "r2=1\\x00k"), "it is damaged: line 6: \\x00, a NUL"},
      {"check box not 0 or 1", Replaced(good, "apply_corner=0", "apply_corner=yes"), "it is damaged: apply_corner"},
  };
  for (const Case& c : cases) {
    const CircuitReading reading = ReadCircuitFile(c.bytes, onto);
    if (c.reason) {
      EXPECT_FALSE(reading.form) << c.name;
      EXPECT_TRUE(reading.reason.starts_with(c.reason)) << c.name << ": " << reading.reason;
      continue;
    }
    ASSERT_TRUE(reading.form) << c.name << ": " << reading.reason;
    EXPECT_EQ(test::Texts(*reading.form), test::Texts(c.form)) << c.name;
    EXPECT_EQ(reading.form->m_nAmpType, c.form.m_nAmpType) << c.name;
    EXPECT_EQ(reading.form->m_bApplyCorner, c.form.m_bApplyCorner) << c.name;
    EXPECT_TRUE(reading.form->m_bHavePrevBand) << c.name;
    EXPECT_EQ(reading.partName, c.part) << c.name;
  }
}

// A chain's file: its stages read back in order; one stage is written as a
// circuit file, and a circuit file reads as a chain of one; a chain's own
// refusals name what is wrong, and its stage. (A chain file cut after a
// stage, half a resistor's excess noise in a stage and a chain opened as a
// circuit are the command line's golden cases.)
TEST(CircuitFile, ChainsOfStages) {
  const std::vector<ChainStageForm> chain{{test::Form(AMP_NONINVERTING, {{"source_inductance", "500m"}}), "OP27"},
                                          {test::Form(AMP_INVERTING, {{"carry", "1\n"}}), {}},
                                          {test::Form(AMP_BUFFER, {{"gain_bandwidth", "8M"}}), "x"}};
  const std::string file = WriteChainFile(chain);
  const std::optional<std::vector<ChainStageForm>> read = ReadChainFile(file, test::Form()).stages;
  ASSERT_TRUE(read && read->size() == chain.size());
  for (std::size_t k = 0; k < chain.size(); ++k) {
    EXPECT_EQ(test::Texts((*read)[k].form), test::Texts(chain[k].form)) << k;
    EXPECT_EQ((*read)[k].form.m_nAmpType, chain[k].form.m_nAmpType);
    EXPECT_EQ((*read)[k].partName, chain[k].partName);
  }
  const std::string one = WriteCircuitFile(chain[0].form, chain[0].partName);
  EXPECT_EQ(WriteChainFile(std::span(chain).first(1)), one);
  EXPECT_EQ(ReadChainFile(one, test::Form()).stages->size(), 1u);
  // Version 3 has no count of its stages: all of them are read.
  const std::string version3 = Replaced(file, "version=4\nstages=3\n", "version=3\n");
  EXPECT_EQ(ReadChainFile(version3, test::Form()).stages->size(), 3u);

  const std::pair<std::string, const char*> refused[] = {
      {Replaced(file, "version=4", "version=1"), "it is damaged: a circuit file of version 1 has no [stage] section"},
      {Replaced(file, "version=4\n", "version=4\nr1=1k\n"), "it is damaged: 'r1' stands before the first [stage]"},
      {file.substr(0, file.find("[stage]")), "it is truncated or damaged: its header says 3 stages, and it holds 0"},
      {version3.substr(0, version3.find("[stage]")), "it is truncated or damaged: it has no [stage] section"},
      // One more stage than the header says.
      {file + file.substr(file.rfind("[stage]")), "it is truncated or damaged: its header says 3 stages, and it holds 4"},
      {Replaced(file, "stages=3\n", ""), "it is truncated or damaged: the line stages= is missing"},
      {Replaced(file, "stages=3", "stages=+3"), "it is damaged: stages is '+3', not a number of stages"},
      {Replaced(version3, "version=3\n", "version=3\nstages=3\n"),
       "it is damaged: 'stages' stands before the first [stage]"},
      {Replaced(version3, "dc_volts_rb=\n", "dc_volts_rb=7\n"),
       "stage 1: Rb DC Voltage is given without Rb Noise Index: a resistor's excess noise takes both, or neither"},
      {Replaced(file, "type=inverting\n", ""), "stage 2: it is truncated or damaged: the line type= is missing"},
      {Replaced(file, "source_inductance=\n", ""),
       "stage 2: it is truncated or damaged: the line source_inductance= is missing"},
      {WriteChainFile(std::vector<ChainStageForm>(kMaxChainStages + 1, chain[1])),
       "it holds 11 stages; a chain holds at most 10"},
  };
  for (const auto& [bytes, reason] : refused) {
    const ChainReading reading = ReadChainFile(bytes, test::Form());
    EXPECT_FALSE(reading.stages) << reason;
    EXPECT_EQ(reading.reason, reason);
  }
}

// A measurement kept with the circuit: its file and how it is read come
// back as written, only in version 6, and a key of it that does not read
// refuses the file.
TEST(CircuitFile, KeepsAMeasurement) {
  MeasurementReference perBin{"bench/run 1.csv", {{DensityUnit::kDbvPerBin, 0.5, 3.77}, {}, Referred::kInput}};
  perBin.options.columns = std::pair<ColumnChoice, ColumnChoice>{std::size_t{3}, std::string("Noise (dBV)")};
  const MeasurementReference density{"/m.txt", {{DensityUnit::kVoltsSquaredPerHz, 0, 1}, {}, Referred::kOutput}};
  const CalculatorForm form = test::Form();
  for (const MeasurementReference& kept : {perBin, density}) {
    const std::string file = WriteCircuitFile(form, "OP27", kept);
    const CircuitReading reading = ReadCircuitFile(file, form);
    ASSERT_TRUE(reading.form && reading.measurement) << reading.reason;
    EXPECT_TRUE(file.starts_with("[tervane-circuit]\nversion=6\n")) << file;
    EXPECT_EQ(test::Texts(*reading.form), test::Texts(form));
    EXPECT_EQ(reading.partName, "OP27");
    const MeasurementReference& read = *reading.measurement;
    EXPECT_EQ(read.file, kept.file);
    EXPECT_EQ(read.options.unit.unit, kept.options.unit.unit);
    EXPECT_EQ(read.options.unit.binWidth, kept.options.unit.binWidth);
    EXPECT_EQ(read.options.unit.enbwBins, kept.options.unit.enbwBins);
    EXPECT_EQ(read.options.columns, kept.options.columns);
    EXPECT_EQ(read.options.referred, kept.options.referred);
  }
  EXPECT_FALSE(ReadCircuitFile(WriteCircuitFile(form, {}), form).measurement);
  EXPECT_EQ(MeasurementPathOf("/a/b.tervane", perBin), std::filesystem::path("/a/bench/run 1.csv"));
  EXPECT_EQ(MeasurementPathOf("/a/b.tervane", density), std::filesystem::path("/m.txt"));

  const std::string good = WriteCircuitFile(form, {}, perBin);
  const std::pair<std::string, const char*> refused[] = {
      {Replaced(good, "version=6", "version=5"), "it is damaged: 'measured_"},
      {Replaced(good, "measured_file=bench/run 1.csv\n", ""), "it is damaged: the line measured_file= is missing"},
      {Replaced(good, "=dBVbin", "=dBu"), "it is damaged: measured_unit is 'dBu', no unit this one reads"},
      {Replaced(good, "measured_rbw=0.5", "measured_rbw=-1"), "it is damaged: measured_unit: a reading per bin"},
      {Replaced(good, "measured_noise_column=Noise (dBV)\n", ""), "it is damaged: a measurement's columns are"},
      {Replaced(good, "=input", "=inside"), "it is damaged: measured_referred is 'inside'"},
  };
  for (const auto& [bytes, reason] : refused) {
    const CircuitReading reading = ReadCircuitFile(bytes, form);
    EXPECT_FALSE(reading.form) << reason;
    EXPECT_TRUE(reading.reason.starts_with(reason)) << reading.reason;
  }
}

}  // namespace
}  // namespace tervane
