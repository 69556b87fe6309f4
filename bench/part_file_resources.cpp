// Part files as users and accidents make them, and the resources they take:
// empty, binary, saved in the wrong encoding, with odd line ends, huge (1 GiB,
// 50 000 parts), or no readable file at all. Too slow for the test suite:
// run tervane_part_file_resources by hand or from scripts/bench. The loader
// must neither crash nor hold memory in proportion to the file, and
// what it takes from such files follows the rules of every part file:
// 62-character pieces, LF or CR LF line ends with a lone CR an ordinary
// character, a NUL ending a line's text, and a line skipped when a word is
// longer than its field.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "parts/part_library.h"
#include "bench/heap_meter.h"
#include "tests/core/part_expect.h"

namespace tervane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kGiB = 1 << 30;

// Each test works in a directory of its own, removed afterwards.
class PartFileTest : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("tervane_part_file_tests_" + std::to_string(std::random_device()()));
    ASSERT_TRUE(fs::create_directory(m_dir));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }

  fs::path PartFile() const { return m_dir / kPartFileName; }

  fs::path WritePartFile(const std::string& bytes) const {
    std::ofstream(PartFile(), std::ios::binary) << bytes;
    return PartFile();
  }

  fs::path m_dir;
};

// `count` bytes of a fixed pseudo-random sequence: the same "binary file"
// on every run.
std::string RandomBytes(std::size_t count) {
  std::mt19937 random(20240611);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Windows "Unicode" text: UTF-16LE with its byte order mark.
std::string Utf16Le(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

// A part line of `width` characters, blanks filling it.
std::string PaddedLine(const std::string& part, std::size_t width) {
  return part + std::string(width - part.size(), ' ');
}

struct ContentCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> list;   // in display order
  std::vector<std::string> parts;  // the whole table, "name voltage current corner"
};

TEST_F(PartFileTest, OddContentLoadsByTheRules) {
  const ContentCase cases[] = {
      {"Empty", "", {}, {}},
      {"CommentsOnly", "/ Op-amp part library\r\n/ NAME EN IN FC\r\n//\r\n/ OP27 3n 400f 2.7\r\n", {}, {}},
      // A line reads in 62-character pieces: 1 MiB of x is pieces of one
      // long word each; a line of 1 MiB, which is 32 characters over a
      // whole number of pieces, ends in a piece that holds the part.
      {"MebibyteLineOfOneWord", std::string(kMiB, 'x') + "\nB 4n 5p 6\n", {"B"}, {"B 4n 5p 6"}},
      {"MebibyteLineEndingInAPart", std::string(kMiB - 9, ' ') + "L 1n 2p 3\n", {"L"}, {"L 1n 2p 3"}},
      // A NUL ends the text of its line, wherever it stands.
      {"NulBytes", std::string(4096, '\0') + "\nC 1n 2p 3" + std::string(1, '\0') + "D 4n 5p 6\n" +
                       std::string(2, '\0') + "E 7n 8p 9\nF 1n 1p 1\n",
       {"C", "F"}, {"C 1n 2p 3", "F 1n 1p 1"}},
      // Classic Mac line ends are no line ends: the file is one line, read
      // in pieces that here hold two of its 31-character lines each.
      {"CrOnlyLineEnds",
       PaddedLine("P0 1n 2p 3", 30) + "\r" + PaddedLine("P1 1n 2p 3", 30) + "\r" + PaddedLine("P2 4n 5p 6", 30) +
           "\r" + PaddedLine("P3 4n 5p 6", 30) + "\r",
       {"P0", "P2"}, {"P0 1n 2p 3", "P2 4n 5p 6"}},
      {"MixedLineEnds", "A 1n 2p 3\r\nB 4n 5p 6\nC 7n 8p 9\rD 1n 1p 1\n", {"A", "B", "C"},
       {"A 1n 2p 3", "B 4n 5p 6", "C 7n 8p 9"}},
      // Saved as "Unicode": every character is followed by a NUL.
      {"Utf16", Utf16Le("OP27 3n 400f 2.7\r\nNE5532 5n 700f 47\r\n"), {}, {}},
  };
  for (const ContentCase& c : cases) {
    SCOPED_TRACE(c.name);
    PartLibrary library;
    EXPECT_TRUE(LoadPartLibrary(WritePartFile(c.bytes), library));
    ExpectParts(library, c.list, c.parts);
  }
}

TEST_F(PartFileTest, BinaryFileDoesNotStopTheReader) {
  // Random bytes make whatever parts their lines happen to spell; the
  // reader takes them like any others and goes on to the end.
  PartLibrary library;
  EXPECT_TRUE(LoadPartLibrary(WritePartFile(RandomBytes(256 * 1024) + "\nAfter 1n 2p 3\n"), library));
  EXPECT_EQ(PartText(library, "After"), "After 1n 2p 3");
  std::set<std::string> names;
  for (const std::string& name : library.m_partList) {
    EXPECT_NE(library.m_partTable.Lookup(name), nullptr) << name;
    names.insert(name);
  }
  EXPECT_EQ(library.m_partTable.GetCount(), names.size());
}

TEST_F(PartFileTest, DirectoryIsNoPartFile) {
  fs::create_directory(PartFile());
  PartLibrary library;
  EXPECT_FALSE(LoadPartLibrary(PartFile(), library));
  ExpectParts(library, {}, {});
}

TEST_F(PartFileTest, UnreadableFileIsNoPartFile) {
  const fs::path file = WritePartFile("OP27 3n 400f 2.7\n");
  fs::permissions(file, fs::perms::none);
  if (access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads any file (root)";
  PartLibrary library;
  EXPECT_FALSE(LoadPartLibrary(file, library));
  ExpectParts(library, {}, {});
}

// ---------------------------------------------------------------------------
// Files of 1 GiB with a part at the end of each MiB. Memory is measured on
// the heap the loader holds (see heap_meter.h), not on the process's
// resident size, which the sanitizers' own bookkeeping and the allocator's
// caching blur. A loader that kept the file, or a byte for each of its
// millions of lines or pieces, would pass the bound many times over; the
// 1024 parts need about 200 kB.

constexpr std::size_t kHeapBound = 4 * kMiB;

// A 1 GiB file in blocks of 1 MiB, each ending in tail(i). The rest of a
// block is `filler` repeated (the last repeat cut short), or, when filler
// is empty, a hole of zeros that the file system does not even store.
fs::path WriteGiB(const fs::path& file, const std::string& filler, std::string (*tail)(std::size_t)) {
  std::string fillerBlock;
  while (!filler.empty() && fillerBlock.size() < kMiB) fillerBlock += filler;
  fillerBlock.resize(filler.empty() ? 0 : kMiB);

  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(ftruncate(fd, kGiB), 0);
  for (std::size_t i = 0; i < kGiB / kMiB; ++i) {
    const std::string end = tail(i);
    std::string block = fillerBlock;
    block.replace(block.size() - std::min(block.size(), end.size()), end.size(), end);
    const auto offset = static_cast<off_t>((i + 1) * kMiB - block.size());
    EXPECT_EQ(pwrite(fd, block.data(), block.size(), offset), static_cast<ssize_t>(block.size()));
  }
  close(fd);
  return file;
}

std::string NumberedName(std::size_t i) {
  char name[8];
  std::snprintf(name, sizeof name, "P%04zu", i);
  return name;
}

TEST_F(PartFileTest, GibibyteFilesNeedOnlyWhatTheirPartsNeed) {
  std::vector<std::string> numbered;
  std::vector<std::string> numberedParts;
  for (std::size_t i = 0; i < kGiB / kMiB; ++i) {
    numbered.push_back(NumberedName(i));
    numberedParts.push_back(numbered.back() + " 1n 2p 3");
  }
  const auto partTail = [](std::size_t i) { return "\n" + NumberedName(i) + " 1n 2p 3"; };
  const auto partLineTail = [](std::size_t i) { return "\n" + NumberedName(i) + " 1n 2p 3\r\n"; };
  const struct {
    const char* name;
    std::string filler;
    std::string (*tail)(std::size_t);
  } cases[] = {
      // The zeros after each part belong to its line and end its text; the
      // last part ends the file without a line end.
      {"ZerosAndAPartEachMiB", "", partTail},
      {"CommentLinesAndAPartEachMiB", "/ generated: one comment line after another\r\n", partLineTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = WriteGiB(PartFile(), c.filler, c.tail);
    ASSERT_EQ(fs::file_size(file), kGiB);
    PartLibrary library;
    const HeapMeter heap;
    EXPECT_TRUE(LoadPartLibrary(file, library));
    EXPECT_LE(heap.PeakGrowth(), kHeapBound);
    ExpectParts(library, numbered, numberedParts);
  }
}

// More parts than are reserved up front, spread over the file three ways:
// the storage grows on the rate of parts seen so far, which the rest of
// the file then beats, matches or falls short of.
TEST(LoadPartLibrary, LargeFileKeepsEveryPartWhereverItsPartsLie) {
  constexpr int kParts = 50000;
  const std::string kComment = std::string(60, '/') + "\n";
  const struct {
    const char* layout;
    int commentsFrom, commentsTo;  // the parts with a comment line before them
  } cases[] = {{"even", 0, 0}, {"sparse then dense", 0, kParts / 4}, {"dense then sparse", kParts / 4, kParts}};
  const auto file = std::filesystem::temp_directory_path() /
                    ("tervane_core_tests_large_" + std::to_string(std::random_device()()) + ".txt");
  for (const auto& c : cases) {
    {
      std::ofstream out(file, std::ios::binary);
      // Written last to first, so that the list must be sorted.
      for (int i = kParts - 1; i >= 0; --i) {
        char line[40];
        std::snprintf(line, sizeof line, "P%06d %dn %dp %d\n", i, i % 10, i % 7, i);
        if (i >= c.commentsFrom && i < c.commentsTo) out << kComment;
        out << line;
      }
    }
    PartLibrary library;
    ASSERT_TRUE(LoadPartLibrary(file, library)) << c.layout;
    ASSERT_EQ(library.m_partList.size(), static_cast<std::size_t>(kParts)) << c.layout;
    EXPECT_EQ(library.m_partTable.GetCount(), static_cast<std::size_t>(kParts)) << c.layout;
    EXPECT_TRUE(std::is_sorted(library.m_partList.begin(), library.m_partList.end())) << c.layout;
    for (const int i : {0, 1, kParts / 4, kParts / 2, kParts - 1}) {
      char expected[40];
      std::snprintf(expected, sizeof expected, "P%06d %dn %dp %d", i, i % 10, i % 7, i);
      EXPECT_EQ(PartText(library, std::string(expected, 7)), expected) << c.layout;
    }
  }
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

}  // namespace
}  // namespace tervane
