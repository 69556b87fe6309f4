// The part library: reading the part file, the list order, the table and
// the selection that copies a part's figures into the form.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "form/calculator_form.h"
#include "parts/file_check.h"
#include "parts/part_library.h"
#include "form/part_selection.h"
#include "parts/part_order.h"
#include "tests/core/part_expect.h"

namespace tervane {
namespace {

// The list and, for each of its names, the table's part.
std::vector<std::string> Contents(const PartLibrary& library) {
  std::vector<std::string> contents;
  for (const std::string_view name : library.m_partTable.List()) contents.push_back(PartText(library, name));
  contents.push_back(std::to_string(library.m_partTable.GetCount()) + " parts");
  for (const SkippedLines& skipped : library.m_skippedLines) contents.push_back(std::to_string(skipped.count));
  return contents;
}

// `text` followed by blanks up to `width` characters.
std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size(), ' ');
}

const std::string kCrOnlyNote =
    "its lines end in CR only (old Mac text), not in LF or CR LF: it was read as one line, giving ";

const std::string kExampleFile =
    "// part name, noise voltage, noise current, 1/f corner\n"
    "// slash lines are comments\n"
    "DemoAmpB 7n 10f 150\n"
    "DemoAmpA 2.9n 1.6p 9\n"
    "QuietOne 1.1n 1.5p 3.5\n";

// ---------------------------------------------------------------------------
// Reading part files

struct FileCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> list;   // in display order
  std::vector<std::string> parts;  // the whole table, "name voltage current corner"
  std::string note = {};           // PartFileNote
};

// A file of comments, a part named "//" (only a slash in the very first
// column makes a comment), names that differ in case alone, a name given
// twice (its last figures) and UTF-16 little-endian are the parts command's
// golden cases (tests/cli/parts.txt).
TEST(ReadPartLibrary, FillsTheListAndTheTable) {
  const std::string longComment = "/" + std::string(61, '-');  // one whole piece
  const FileCase cases[] = {
      {"ExampleFile", kExampleFile, {"DemoAmpA", "DemoAmpB", "QuietOne"},
       {"DemoAmpA 2.9n 1.6p 9", "DemoAmpB 7n 10f 150", "QuietOne 1.1n 1.5p 3.5"}},
      {"Empty", "", {}, {}},
      {"TooFewWords", "A 1n 2p\n\n   \nB 1n 2p 3", {"B"}, {"B 1n 2p 3"}, "1 line skipped: 1 too few words (line 1)"},
      // A fifth to a ninth word are the gain-bandwidth, the current noise's
      // corner, its correlation, Ccm and Cdiff, "-" where one is not given;
      // a tenth is ignored, and so is a remark after the figures, from its
      // first word that does not start as a number does.
      {"OptionalWords",
       "A 1n 2p 3 10M 4.2\xC2\xB5 extra\nB 1n 2p 3 8M\nC 1n 2p 3 8M 9 .86 1p 2p 3\nD 1n 2p 3 - - - - 8p -\n",
       {"A", "B", "C", "D"},
       {"A 1n 2p 3 10M 4.2\xB5", "B 1n 2p 3 8M", "C 1n 2p 3 8M 9 .86 1p 2p", "D 1n 2p 3 - - - - 8p"}},
      {"RemarkAfterTheFigures", "A 1n 2p 3 extra words\nB 1n 2p 3 10M low noise\n", {"A", "B"},
       {"A 1n 2p 3", "B 1n 2p 3 10M"}},
      // Names alike but for case are told apart; a name given twice has its
      // last figures and is one part.
      {"NamesAlikeButForCase", "opa1 1n 1p 1\nOPA1 2n 2p 2\nopa1 3n 3p 3\n", {"opa1", "OPA1", "opa1"},
       {"OPA1 2n 2p 2", "opa1 3n 3p 3"}},
      // So too where names of every character in every place are sorted in
      // rounds, and names alike in the round of the first places differ in
      // the last three.
      {"NamesAlikeInTheFirstRound",
       "AAAAAAAAAAAA!!! 1n 1p 1\nAAAAAAAAAAAA~~~ 1n 1p 2\naaaaaaaaaaaa~~~ 1n 1p 3\nAAAAAAAAAAAA~~~ 1n 1p 4\n"
       "~~~~~~~~~~~~~~~ 1n 1p 5\n!!!!!!!!!!!!!!! 1n 1p 6\n",
       {"!!!!!!!!!!!!!!!", "AAAAAAAAAAAA!!!", "AAAAAAAAAAAA~~~", "aaaaaaaaaaaa~~~", "AAAAAAAAAAAA~~~", "~~~~~~~~~~~~~~~"},
       {"!!!!!!!!!!!!!!! 1n 1p 6", "AAAAAAAAAAAA!!! 1n 1p 1", "AAAAAAAAAAAA~~~ 1n 1p 4", "aaaaaaaaaaaa~~~ 1n 1p 3",
        "~~~~~~~~~~~~~~~ 1n 1p 5"}},
      {"AnyWhiteSpace", "\tA\t1n  \t 2p\v3\f\n", {"A"}, {"A 1n 2p 3"}},
      // z folds to Z, which comes before _.
      {"SortedWithoutRegardToCase", "b 1n 1p 1\nA 1n 1p 1\n_ 1n 1p 1\nz 1n 1p 1\n10 1n 1p 1\n",
       {"10", "A", "b", "z", "_"}, {"b 1n 1p 1", "A 1n 1p 1", "_ 1n 1p 1", "z 1n 1p 1", "10 1n 1p 1"}},
      // A line with a word longer than its 15-character field among its
      // first six is skipped.
      {"LongWordsSkipTheLine",
       "ABCDEFGHIJKLMNOP 1n 1p 1\nABCDEFGHIJKLMNO 1n 1p 1\nX 1n 1p 1234567890123456\n"
       "Y 1n 123456789012345 1 1M 1234567890123456\nW 1n 1p 1 1M 1 ABCDEFGHIJKLMNOPQRSTU\n"
       "V 1n 1p 1 ABCDEFGHIJKLMNOPQRSTU\nZ 1234567890123456 1p 1\n",
       {"ABCDEFGHIJKLMNO", "V", "W"}, {"ABCDEFGHIJKLMNO 1n 1p 1", "V 1n 1p 1", "W 1n 1p 1 1M 1"},
       "4 lines skipped: 1 too long a name (line 1), 3 too long a figure (first at line 3)"},
      // Only 62 characters of a line are read: the rest is no line of its own.
      {"CommentTailStaysComment", longComment + "Tail 1n 2p 3\n", {}, {}},
      {"PartLineTailDropped", Padded("A 1n 2p 3 // a remark", 62) + "B 4n 5p 6\n", {"A"}, {"A 1n 2p 3"}},
      {"LineOfExactlyAPiece", Padded("A 1n 2p", 61) + "3\n/ B 1n 2p 3\nC 1n 2p 3\n", {"A", "C"},
       {"A 1n 2p 3", "C 1n 2p 3"}},
      {"LastWordCutAtTheEndOfThePiece",
       "\n" + Padded("A 1n 2p", 61) + "34\n" + Padded("B", 62) + " 1n 2p 3\n" + Padded("C 1n 2p 3 10M", 61) + "42\n", {},
       {}, "3 lines skipped: 2 figure cut at the 62nd character (first at line 2), 1 too few words (line 3)"},
      // Line ends: LF or CR LF; a lone CR only separates words, and a file
      // whose lines end in CR only is one line, said with what it gave.
      {"CrLf", Padded("A 1n 2p", 61) + "3\r\n/ B 4n 5p 6\r\nC 7n 8p 9", {"A", "C"},
       {"A 1n 2p 3", "C 7n 8p 9"}},
      {"LoneCrBeforeSlash", "A 1n 2p 3\n\r/B 4n 5p 6\n", {"/B", "A"}, {"A 1n 2p 3", "/B 4n 5p 6"}},
      {"CrOnly", "A 1n 2p 3\rB 4n 5p 6\r", {"A"}, {"A 1n 2p 3"}, kCrOnlyNote + "1 part"},
      {"CrOnlyFirstCrBlocksOn", Padded("A 1n 2p 3", 1 << 17) + "\rB 4n 5p 6\r", {"A"}, {"A 1n 2p 3"},
       kCrOnlyNote + "1 part"},
      {"CrOnlySkipped", "A 1n\r2p\r", {}, {}, kCrOnlyNote + "0 parts; 1 line skipped: 1 too few words (line 1)"},
      // A NUL ends the text of its line; the next line is read as usual.
      {"NulCutsTheLine", std::string("A 1n\0 2p 3\nB 4n 5p 6\n", 21), {"B"}, {"B 4n 5p 6"},
       "1 line skipped: 1 too few words (line 1)"},
      {"NulAfterFourWords", std::string("C 1n 2p 3\0tail\n", 15), {"C"}, {"C 1n 2p 3"}},
      // Saved as "Unicode" (UTF-16 or UTF-32 by the byte order mark): not
      // read, and the encoding kept to say so.
      {"Utf16BigEndian", std::string("\xFE\xFF\0A\0 \0" "1\0 \0" "2\0 \0" "3", 16), {}, {},
       "it is UTF-16 text: save it as plain text"},
      {"Utf32", std::string("\xFF\xFE\0\0A\0\0\0", 8), {}, {}, "it is UTF-32 text: save it as plain text"},
      // Saved as UTF-8: the byte order mark is no part of the first name, and
      // a UTF-8 micro sign or Greek mu after a figure is micro.
      {"Utf8", "\xEF\xBB\xBF" "A 2.2\xC2\xB5 1p 3\nB 1n 2\xCE\xBC 123456789012.3\xC2\xB5\n", {"A", "B"},
       {"A 2.2\xB5 1p 3", "B 1n 2\xB5 123456789012.3\xB5"}},
      {"MebibyteLine", std::string(1 << 20, 'x') + "\nB 4n 5p 6\n", {"B"}, {"B 4n 5p 6"},
       "1 line skipped: 1 too few words (line 1)"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PartLibrary library = ReadBytes(c.bytes);
    ExpectParts(library, c.list, c.parts);
    EXPECT_EQ(PartFileNote(library), c.note);
  }
}

// Comment lines of `bytes` bytes in all, none longer than a piece.
std::string Comments(std::size_t bytes) {
  const std::string line = "/" + std::string(kPartLineMax - 2, '-') + "\n";
  std::string comments;
  while (bytes - comments.size() > line.size()) comments += line;
  const std::size_t rest = bytes - comments.size();
  if (rest > 0) comments += rest == 1 ? "\n" : "/" + std::string(rest - 2, '-') + "\n";
  return comments;
}

TEST(ReadPartLibrary, ReadsTheSameWhereverTheFileIsCutIntoBlocks) {
  // Every kind of line end and piece, and a line longer than a block; the
  // file is read 64 KiB at a time.
  const std::string lines = "A 1n 2p 3\r\n" + Padded("B 1n 2p 3", 62) + "C 4n 5p 6\n" +
                            "D 1n 2p 3\rE 5n 6p 7\n" + "F 1n 2p 3\r\r\n" + std::string("G 1n\0 2p 3\n", 11) +
                            "/H 1n 2p 3\n" + Padded("I 1n 2p 3", 62 * 2000) + "J 4n 5p 6\n" +
                            Padded("L 1n 2p", 61) + "34\n" + Padded("/", 62) + "M 1n 2p 3\n" + "K 7n 8p 9";
  const std::vector<std::string> expected = Contents(ReadBytes(lines));
  // Six parts: C, J and M are tails, E is a fifth word; G is cut short by
  // its NUL, L's corner by the end of its piece.
  ASSERT_EQ(expected, (std::vector<std::string>{"A 1n 2p 3", "B 1n 2p 3", "D 1n 2p 3", "F 1n 2p 3", "I 1n 2p 3",
                                                "K 7n 8p 9", "6 parts", "0", "0", "1", "1"}));
  for (std::size_t shift = 0; shift <= 160; ++shift) {
    SCOPED_TRACE(shift);
    EXPECT_EQ(Contents(ReadBytes(Comments((std::size_t{1} << 16) - shift) + lines)), expected);
  }
}

// ---------------------------------------------------------------------------
// List order

TEST(PartListOrder, LongListIsSortedStablyWithoutRegardToCaseAndEachNameHasItsLastLine) {
  // Many names of few characters: duplicates, names equal but for case, and
  // names that share their first eight characters and differ later; and
  // names of up to 15 of many characters, too many to be ordered in one
  // round of the sort.
  const struct {
    std::string alphabet;
    std::size_t longest;
  } cases[] = {{"aAbB0-", 5}, {"aAbBcCdD0123456789-_[]{}", 15}};
  std::mt19937 random(12345);
  for (const auto& c : cases) {
    std::vector<std::string> names;
    std::map<std::string, std::string> lastLines;
    std::string file;
    for (int i = 0; i < 300; ++i) {
      std::string name = random() % 3 == 0 && c.longest < 8 ? "OpAmP16" : "";
      for (std::size_t k = 0, length = 1 + random() % c.longest; k < length; ++k)
        name += c.alphabet[random() % c.alphabet.size()];
      names.push_back(name);
      lastLines[name] = name + " 1n 1p " + std::to_string(i);
      file += lastLines[name] + "\n";
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                          [](char x, char y) { return std::toupper(x) < std::toupper(y); });
    });
    const PartLibrary library = ReadBytes(file);
    EXPECT_EQ(ListOf(library), names) << c.alphabet;
    EXPECT_EQ(library.m_partTable.GetCount(), lastLines.size());
    for (const auto& [name, line] : lastLines) EXPECT_EQ(PartText(library, name), line);
  }
}

// ---------------------------------------------------------------------------
// The selection

TEST(SelectPart, CopiesTheFiguresOrLeavesTheFormAlone) {
  const PartLibrary library = ReadBytes(kExampleFile + "DemoAmpA 1n 2p 3 10M 420 0.8\n");
  CalculatorForm form;
  ApplyFormDefaults(form);
  EXPECT_FALSE(SelectPart(form, library.m_partTable, "demoampa"));
  EXPECT_FALSE(SelectPart(form, library.m_partTable, ""));  // no selection
  EXPECT_FALSE(SelectPart(form, CPartTable(), "DemoAmpA"));  // nothing loaded
  EXPECT_EQ(form.m_strNoiseVoltage + form.m_strNoiseCurrent + form.m_strCornerFreq, "3n400f0");

  // Every entry of a duplicated name selects the last figures, over any
  // typing; other fields stay as typed.
  form.m_strR2 = "4.7k";
  for (const std::string_view name : {library.m_partTable.List()[0], library.m_partTable.List()[1]}) {
    form.m_strNoiseVoltage = "edited";
    EXPECT_TRUE(SelectPart(form, library.m_partTable, name));
    EXPECT_EQ(form.m_strNoiseVoltage + " " + form.m_strNoiseCurrent + " " + form.m_strCornerFreq + " " +
                  form.m_strGainBandwidth + " " + form.m_strCurrentCorner + " " + form.m_strInCorrelation,
              "1n 2p 3 10M 420 0.8");
  }
  EXPECT_EQ(form.m_strR2, "4.7k");
  // A part gives its input capacitances ("-": no correlation); one whose
  // line gives no gain-bandwidth, corner or capacitance has none.
  EXPECT_TRUE(SelectPart(form, ReadBytes("T 1n 2p 3 5G - - 0.8p 0.2p\n").m_partTable, "T"));
  EXPECT_EQ(form.m_strInCorrelation + "|" + form.m_strCommonModeCapacitance + form.m_strDifferentialCapacitance,
            "|0.8p0.2p");
  EXPECT_TRUE(SelectPart(form, library.m_partTable, "QuietOne"));
  EXPECT_EQ(form.m_strGainBandwidth + form.m_strCurrentCorner + form.m_strCommonModeCapacitance, "");
}

// ---------------------------------------------------------------------------
// Files on disk

// Looked at before it is opened: a pipe would wait for a writer. (A missing
// file and a folder are the command line's golden cases.)
TEST(LoadPartLibrary, OpensOnlyARegularFileAndSaysWhyNot) {  // the shipped file below is one
  const auto dir = std::filesystem::temp_directory_path() / ("tervane_core_" + std::to_string(std::random_device()()));
  ASSERT_TRUE(std::filesystem::create_directories(dir));
  const auto pipe = dir / "pipe.txt";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  PartLibrary library;
  EXPECT_FALSE(LoadPartLibrary(pipe, library));
  EXPECT_TRUE(NotAFileReason(pipe).starts_with("it is not a regular file"));
  EXPECT_EQ(library.m_partTable.GetCount(), 0u);
  EXPECT_EQ(NotAFileReason(TERVANE_SHIPPED_PART_FILE), "");
  std::filesystem::remove_all(dir);
}

// More parts than a block's worth reserved up front, spread over the file
// three ways: the storage grows on the rate of parts seen so far, which the
// rest of the file then beats, matches or falls short of.
TEST(LoadPartLibrary, LargeFileKeepsEveryPartWhereverItsPartsLie) {
  constexpr int kParts = 50000;
  const std::string comment = std::string(60, '/') + "\n";
  const struct {
    const char* layout;
    int commentsFrom, commentsTo;  // the parts with a comment line before them
  } cases[] = {{"even", 0, 0}, {"sparse then dense", 0, kParts / 4}, {"dense then sparse", kParts / 4, kParts}};
  const auto file = std::filesystem::temp_directory_path() /
                    ("tervane_core_tests_large_" + std::to_string(std::random_device()()) + ".txt");
  const auto part = [](int i) {
    char line[40];
    std::snprintf(line, sizeof line, "P%06d %dn %dp %d", i, i % 10, i % 7, i);
    return std::string(line);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    std::string bytes;
    for (int i = kParts - 1; i >= 0; --i)  // last to first, so that the list must be sorted
      bytes += (i >= c.commentsFrom && i < c.commentsTo ? comment : "") + part(i) + "\n";
    std::ofstream(file, std::ios::binary) << bytes;
    PartLibrary library;
    ASSERT_TRUE(LoadPartLibrary(file, library));
    const PartList list = library.m_partTable.List();
    ASSERT_EQ(list.size(), std::size_t{kParts});
    EXPECT_TRUE(std::ranges::is_sorted(list));
    for (const int i : {0, 1, kParts / 4, kParts / 2, kParts - 1}) EXPECT_EQ(PartText(library, part(i).substr(0, 7)), part(i));
  }
  std::filesystem::remove(file);
}

// Every part line's name and no piece of the comment: the 16 parts of the
// first release and 28 more, ordered by name.
TEST(LoadPartLibrary, ShippedFileHoldsItsPartsAndNoPieceOfItsComment) {
  PartLibrary library;
  ASSERT_TRUE(LoadPartLibrary(TERVANE_SHIPPED_PART_FILE, library));
  std::ifstream file(TERVANE_SHIPPED_PART_FILE);
  std::vector<std::string> names;
  for (std::string line; std::getline(file, line);)
    if (line.rfind('/', 0) != 0) names.push_back(line.substr(0, line.find(' ')));
  std::stable_sort(names.begin(), names.end(), PartListBefore);
  EXPECT_EQ(ListOf(library), names);
  EXPECT_EQ(library.m_partTable.GetCount(), 44u);
  EXPECT_EQ(PartFileNote(library), "");
  EXPECT_EQ(library.m_partTable.List().front(), "AD745");  // the start-up part
}

}  // namespace
}  // namespace tervane
