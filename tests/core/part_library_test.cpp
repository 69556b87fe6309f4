// The part library: reading the part file, the list order, the table and
// the selection that copies a part's figures into the form.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "noise/calculator_form.h"
#include "parts/part_library.h"
#include "parts/part_selection.h"
#include "parts/part_table.h"

namespace tervane {
namespace {

PartLibrary ReadBytes(const std::string& bytes) {
  PartLibrary library;
  std::istringstream in(bytes);
  ReadPartLibrary(in, library);
  return library;
}

// A part's figures as "voltage current corner", or "(missing)".
std::string Figures(const PartLibrary& library, std::string_view name) {
  const PartRecord* record = library.m_partTable.Lookup(name);
  if (!record) return "(missing)";
  EXPECT_EQ(std::string_view(record->szPartName), name);
  return std::string(record->szNoiseVoltage) + " " + record->szNoiseCurrent + " " +
         record->szCornerFreq;
}

// `text` followed by blanks up to `width` characters.
std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

const std::string kExampleFile =
    "// part name, noise voltage, noise current, 1/f corner\n"
    "// slash lines are comments\n"
    "DemoAmpB 7n 10f 150\n"
    "DemoAmpA 2.9n 1.6p 9\n"
    "QuietOne 1.1n 1.5p 3.5\n";

// ---------------------------------------------------------------------------
// Reading part files

struct Part {
  std::string name;
  std::string figures;  // "voltage current corner"
};

struct FileCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> list;  // in display order
  std::vector<Part> parts;        // the table, entry by entry
};

std::ostream& operator<<(std::ostream& os, const FileCase& c) { return os << c.name; }

class ReadPartLibraryTest : public testing::TestWithParam<FileCase> {};

TEST_P(ReadPartLibraryTest, FillsTheListAndTheTable) {
  const FileCase& c = GetParam();
  const PartLibrary library = ReadBytes(c.bytes);
  EXPECT_EQ(library.m_partList, c.list);
  EXPECT_EQ(library.m_partTable.GetCount(), c.parts.size());
  for (const Part& part : c.parts) EXPECT_EQ(Figures(library, part.name), part.figures) << part.name;
}

const std::string kLongComment = "/" + std::string(61, '-');  // one whole piece

INSTANTIATE_TEST_SUITE_P(
    Files, ReadPartLibraryTest,
    testing::Values(
        FileCase{"ExampleFile",
                 kExampleFile,
                 {"DemoAmpA", "DemoAmpB", "QuietOne"},
                 {{"DemoAmpA", "2.9n 1.6p 9"}, {"DemoAmpB", "7n 10f 150"},
                  {"QuietOne", "1.1n 1.5p 3.5"}}},
        FileCase{"Empty", "", {}, {}},
        FileCase{"OnlyComments", "/ a\n// b c d e\n/x 1n 2p 3\n", {}, {}},
        // Only a slash in the very first column makes a comment.
        FileCase{"IndentedSlashesArePartName", "  // 1n 2p 3\n", {"//"}, {{"//", "1n 2p 3"}}},
        FileCase{"TabBeforeSlash", "\t/B 1n 2p 3\n", {"/B"}, {{"/B", "1n 2p 3"}}},
        FileCase{"TooFewWords", "A 1n 2p\n\n   \nB 1n 2p 3", {"B"}, {{"B", "1n 2p 3"}}},
        FileCase{"FifthWordIgnored", "A 1n 2p 3 extra words\n", {"A"}, {{"A", "1n 2p 3"}}},
        FileCase{"TabsAndRuns", "\tA\t1n  \t 2p\t3\t\n", {"A"}, {{"A", "1n 2p 3"}}},
        FileCase{"CaseDistinctNames",
                 "opa 1n 1p 1\nOPA 2n 2p 2\nOpa 3n 3p 3\n",
                 {"opa", "OPA", "Opa"},  // equal but for case: file order
                 {{"opa", "1n 1p 1"}, {"OPA", "2n 2p 2"}, {"Opa", "3n 3p 3"}}},
        FileCase{"DuplicatesKeepTheLastFigures",
                 "X 1n 1p 1\nY 5n 5p 5\nX 2n 2p 2\n",
                 {"X", "X", "Y"},
                 {{"X", "2n 2p 2"}, {"Y", "5n 5p 5"}}},
        FileCase{"SortedWithoutRegardToCase",
                 "b 1n 1p 1\nA 1n 1p 1\nC 1n 1p 1\n10 1n 1p 1\n",
                 {"10", "A", "b", "C"},
                 {{"b", "1n 1p 1"}, {"A", "1n 1p 1"}, {"C", "1n 1p 1"}, {"10", "1n 1p 1"}}},
        // A word must fit its 15-character field; a line with a longer one
        // among its first four words is skipped.
        FileCase{"LongWordsSkipTheLine",
                 "ABCDEFGHIJKLMNOP 1n 1p 1\n"
                 "ABCDEFGHIJKLMNO 1n 1p 1\n"
                 "X 1n 1p 1234567890123456\n"
                 "Y 1n 1p 1 ABCDEFGHIJKLMNOPQRSTU\n",
                 {"ABCDEFGHIJKLMNO", "Y"},
                 {{"ABCDEFGHIJKLMNO", "1n 1p 1"}, {"Y", "1n 1p 1"}}},
        // Lines are read 62 characters at a time.
        FileCase{"CommentRemainderIsALine",
                 kLongComment + "Tail 1n 2p 3\n",
                 {"Tail"},
                 {{"Tail", "1n 2p 3"}}},
        FileCase{"CommentRemainderCanBeAComment", kLongComment + "/Tail 1n 2p 3\n", {}, {}},
        FileCase{"PiecesOfALongLine",
                 Padded("A 1n 2p 3", 62) + "B 4n 5p 6\n",
                 {"A", "B"},
                 {{"A", "1n 2p 3"}, {"B", "4n 5p 6"}}},
        FileCase{"PieceBoundarySplitsAWord",
                 Padded("A 1n 2p 3", 60) + "1234 5n 6p 7\n",
                 {"34", "A"},
                 {{"A", "1n 2p 3"}, {"34", "5n 6p 7"}}},
        FileCase{"LineOfExactlyAPiece",
                 Padded("A 1n 2p", 61) + "3\n/ B 1n 2p 3\nC 1n 2p 3\n",
                 {"A", "C"},
                 {{"A", "1n 2p 3"}, {"C", "1n 2p 3"}}},
        FileCase{"SixtyThirdCharacterStartsAPiece",
                 Padded("A 1n 2p", 61) + "34\n",
                 {"A"},
                 {{"A", "1n 2p 3"}}},
        // Line ends.
        FileCase{"CrLf", "A 1n 2p 3\r\nB 4n 5p 6\r\n", {"A", "B"},
                 {{"A", "1n 2p 3"}, {"B", "4n 5p 6"}}},
        FileCase{"CrLfAfterAFullPiece",
                 Padded("A 1n 2p", 61) + "3\r\nB 4n 5p 6\r\n",
                 {"A", "B"},
                 {{"A", "1n 2p 3"}, {"B", "4n 5p 6"}}},
        FileCase{"CrLfBeforeComment", "A 1n 2p 3\r\n/ B 4n 5p 6\r\n", {"A"}, {{"A", "1n 2p 3"}}},
        // A lone CR ends no line; it only separates words.
        FileCase{"LoneCr", "A 1n 2p 3\rB 4n 5p 6\r", {"A"}, {{"A", "1n 2p 3"}}},
        FileCase{"LoneCrBeforeSlash", "A 1n 2p 3\n\r/B 4n 5p 6\n", {"/B", "A"},
                 {{"A", "1n 2p 3"}, {"/B", "4n 5p 6"}}},
        // A NUL ends the text of its line; the next line is read as usual.
        FileCase{"NulCutsTheLine", std::string("A 1n\0 2p 3\nB 4n 5p 6\n", 21), {"B"},
                 {{"B", "4n 5p 6"}}},
        FileCase{"NulAfterFourWords", std::string("C 1n 2p 3\0tail\n", 15), {"C"},
                 {{"C", "1n 2p 3"}}}),
    [](const testing::TestParamInfo<FileCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// List order

struct OrderCase {
  const char* a;
  const char* b;
  bool before;
};

TEST(PartListOrder, LettersCompareWithoutRegardToCase) {
  const OrderCase cases[] = {
      {"a", "B", true},        {"B", "a", false},       {"abc", "ABD", true},
      {"ABD", "abc", false},   {"ABC", "abc", false},   {"abc", "ABC", false},
      {"AB", "abc", true},     {"abc", "AB", false},    {"10", "A", true},
      {"ADA4898-1", "LM4562", true}, {"LM4562", "LME49710", true}, {"OP37", "OPA1611", true},
  };
  for (const OrderCase& c : cases)
    EXPECT_EQ(PartListBefore(c.a, c.b), c.before) << c.a << " before " << c.b;
}

TEST(PartListOrder, LongListIsInDisplayOrderAndKeepsTheFileOrderOfEqualNames) {
  // Many names built from few characters, so that there are duplicates,
  // names equal but for case, and names that share their first eight
  // characters and differ later.
  std::uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 16;
  };
  const std::string alphabet = "aAbB0-";
  std::vector<std::string> names;
  std::string file;
  for (int i = 0; i < 300; ++i) {
    std::string name = (next() % 3 == 0) ? std::string("OpAmP16") : std::string();
    const std::size_t length = 1 + next() % 5;
    for (std::size_t k = 0; k < length; ++k) name += alphabet[next() % alphabet.size()];
    names.push_back(name);
    file += name + " 1n 1p " + std::to_string(i) + "\n";
  }
  std::vector<std::string> expected = names;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& a, const std::string& b) { return PartListBefore(a, b); });
  EXPECT_EQ(ReadBytes(file).m_partList, expected);
}

// ---------------------------------------------------------------------------
// The table

PartRecord MakeRecord(const char* name, const char* en, const char* in, const char* fc) {
  PartRecord record;
  std::snprintf(record.szPartName, sizeof record.szPartName, "%s", name);
  std::snprintf(record.szNoiseVoltage, sizeof record.szNoiseVoltage, "%s", en);
  std::snprintf(record.szNoiseCurrent, sizeof record.szNoiseCurrent, "%s", in);
  std::snprintf(record.szCornerFreq, sizeof record.szCornerFreq, "%s", fc);
  return record;
}

TEST(PartTable, StoringANameAgainReplacesItsFigures) {
  CPartTable table;
  EXPECT_EQ(table.Lookup("OP27"), nullptr);
  EXPECT_EQ(table.GetCount(), 0u);
  table.SetAt(MakeRecord("OP27", "3n", "400f", "2.7"));
  table.SetAt(MakeRecord("op27", "9n", "9f", "9"));
  table.SetAt(MakeRecord("OP27", "3.2n", "410f", "2.8"));
  EXPECT_EQ(table.GetCount(), 2u);
  ASSERT_NE(table.Lookup("OP27"), nullptr);
  EXPECT_STREQ(table.Lookup("OP27")->szNoiseVoltage, "3.2n");
  EXPECT_STREQ(table.Lookup("OP27")->szCornerFreq, "2.8");
  ASSERT_NE(table.Lookup("op27"), nullptr);
  EXPECT_STREQ(table.Lookup("op27")->szNoiseVoltage, "9n");
  EXPECT_EQ(table.Lookup("Op27"), nullptr);
  EXPECT_EQ(table.Lookup("OP2"), nullptr);
  EXPECT_EQ(table.Lookup("OP27 "), nullptr);
}

// ---------------------------------------------------------------------------
// Selection

TEST(SelectPart, FirstOfTheListFillsTheNoiseFields) {
  const PartLibrary library = ReadBytes(kExampleFile);
  CalculatorForm form;
  ApplyFormDefaults(form);
  form.m_strNoiseVoltage = "edited";
  form.m_strR2 = "4.7k";
  ASSERT_FALSE(library.m_partList.empty());
  EXPECT_TRUE(SelectPart(form, library.m_partTable, library.m_partList.front()));
  EXPECT_EQ(form.m_strNoiseVoltage, "2.9n");
  EXPECT_EQ(form.m_strNoiseCurrent, "1.6p");
  EXPECT_EQ(form.m_strCornerFreq, "9");
  EXPECT_EQ(form.m_strR2, "4.7k") << "other fields stay as typed";
}

TEST(SelectPart, EveryDuplicateEntrySelectsTheLastFigures) {
  const PartLibrary library = ReadBytes("X 1n 1p 1\nX 2n 2p 2\n");
  for (const std::string& name : library.m_partList) {
    CalculatorForm form;
    ApplyFormDefaults(form);
    EXPECT_TRUE(SelectPart(form, library.m_partTable, name));
    EXPECT_EQ(form.m_strNoiseVoltage, "2n");
  }
}

TEST(SelectPart, NameWithoutRecordLeavesTheFormAlone) {
  const PartLibrary library = ReadBytes(kExampleFile);
  const CPartTable nothingLoaded;
  CalculatorForm form;
  ApplyFormDefaults(form);
  EXPECT_FALSE(SelectPart(form, library.m_partTable, "demoampa"));  // names keep their case
  EXPECT_FALSE(SelectPart(form, library.m_partTable, ""));          // no selection
  EXPECT_FALSE(SelectPart(form, nothingLoaded, "DemoAmpA"));
  EXPECT_EQ(form.m_strNoiseVoltage, "3n");
  EXPECT_EQ(form.m_strNoiseCurrent, "400f");
  EXPECT_EQ(form.m_strCornerFreq, "0");
}

// ---------------------------------------------------------------------------
// Files on disk

class PartFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    m_dir = std::filesystem::temp_directory_path() /
            ("tervane_core_tests_" + std::to_string(random()) + std::to_string(random()));
    ASSERT_TRUE(std::filesystem::create_directory(m_dir));
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  std::filesystem::path m_dir;
};

TEST_F(PartFileTest, ReadsAFileWithWindowsLineEnds) {
  const auto path = m_dir / "tervane.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "// comment\r\nDemoAmpB 7n 10f 150\r\nDemoAmpA 2.9n 1.6p 9\r\n";
  }
  PartLibrary library;
  EXPECT_TRUE(LoadPartLibrary(path, library));
  EXPECT_EQ(library.m_partList, (std::vector<std::string>{"DemoAmpA", "DemoAmpB"}));
  EXPECT_EQ(Figures(library, "DemoAmpB"), "7n 10f 150");
}

TEST_F(PartFileTest, FileOfCommentsOpensButHoldsNoPart) {
  const auto path = m_dir / "tervane.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << "/ nothing here\n";
  }
  PartLibrary library;
  EXPECT_TRUE(LoadPartLibrary(path, library));
  EXPECT_TRUE(library.m_partList.empty());
  EXPECT_EQ(library.m_partTable.GetCount(), 0u);
}

TEST_F(PartFileTest, MissingFileIsNotOpened) {
  PartLibrary library;
  EXPECT_FALSE(LoadPartLibrary(m_dir / "tervane.txt", library));
  EXPECT_TRUE(library.m_partList.empty());
  EXPECT_EQ(library.m_partTable.GetCount(), 0u);
}

TEST_F(PartFileTest, DirectoryIsNotAPartFile) {
  const auto path = m_dir / "tervane.txt";
  std::filesystem::create_directory(path);
  PartLibrary library;
  EXPECT_FALSE(LoadPartLibrary(path, library));
  EXPECT_TRUE(library.m_partList.empty());
  EXPECT_EQ(library.m_partTable.GetCount(), 0u);
}

TEST(ShippedPartFile, LoadsSixteenPartsInDisplayOrder) {
  PartLibrary library;
  ASSERT_TRUE(LoadPartLibrary(TERVANE_SHIPPED_PART_FILE, library));
  EXPECT_EQ(library.m_partList,
            (std::vector<std::string>{"ADA4898-1", "LM4562", "LME49710", "LME49720", "LT1028",
                                      "NE5532", "OP27", "OP37", "OPA1611", "OPA1612", "OPA1622",
                                      "OPA1641", "OPA1642", "OPA1644", "OPA1655", "OPA1656"}));
  EXPECT_EQ(library.m_partTable.GetCount(), 16u);
  CalculatorForm form;
  ApplyFormDefaults(form);
  ASSERT_TRUE(SelectPart(form, library.m_partTable, library.m_partList.front()));
  EXPECT_EQ(form.m_strNoiseVoltage, "900p");
  EXPECT_EQ(form.m_strNoiseCurrent, "2.4p");
  EXPECT_EQ(form.m_strCornerFreq, "7.8");
}

}  // namespace
}  // namespace tervane
