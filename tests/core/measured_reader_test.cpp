// A measured spectrum read from text and from files: the layouts analysers
// write, every unit, and each kind of file refused with its reason.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "measured/spectrum_reader.h"
#include "noise/physical_constants.h"

namespace tervane {
namespace {

ReadOptions Columns(ColumnChoice frequency, ColumnChoice noise) { return {{}, std::pair{frequency, noise}, {}}; }

// Each layout reads as 1, 10 and 100 Hz at 1, 2 and 3 nV/rtHz.
TEST(ReadMeasuredText, ReadsTheLayoutsAnalysersWrite) {
  const struct {
    const char* text;
    ReadOptions options;
  } cases[] = {
      {"1,1e-9\n10,2e-9\n100,3e-9", {}},
      {"\xEF\xBB\xBF# REW\r\n* comment\r\n\r\nFreq;Noise\r\n1;1e-9\r\n10;2E-9\r\n100;+3e-9\r\n", {}},
      {"  1\t1e-9\n 10\t 2e-9 \n100\t3e-9\n", {}},
      {"   1   1e-9\n  10   2e-9\n 100   3e-9\n", {}},
      {"0,5e-6\n1,1e-9,\n10,2e-9,\n100,3e-9,\n", {}},  // the DC bin, and a comma ending every line
      {"\"Level, V\",\"freq\",x\n1e-9,1,a\n2e-9,10,b\n3e-9,100,c\n", Columns("FREQ", "level, v")},
      {"a b c\n7 1 1e-9\n7 10 2e-9\n7 100 3e-9\n", Columns(std::size_t{2}, std::size_t{3})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const MeasuredReading reading = ReadMeasuredText(c.text, c.options);
    ASSERT_TRUE(reading.spectrum) << reading.reason;
    ASSERT_EQ(reading.spectrum->points.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(reading.spectrum->points[k].frequency, std::pow(10.0, k));
      EXPECT_NEAR(reading.spectrum->points[k].density, (k + 1) * 1e-9, 1e-24);
    }
    EXPECT_EQ(reading.spectrum->zeroHertzLeftOut, c.text[0] == '0');
  }
}

// A 500 kOhm resistor at 20 C, 4kTR = (89.97 nV)^2/Hz, as analysers give it;
// per bin it spreads over the bin width times the window's noise bandwidth.
TEST(ReadMeasuredText, EveryUnitReadsAsVoltsPerRootHertz) {
  const double density = std::sqrt(kFourBoltzmann * 293.15 * 500e3);
  const struct {
    DensityUnit unit;
    const char* value;
    double binWidth, enbwBins;
  } cases[] = {
      {DensityUnit::kVoltsPerRootHz, "8.997e-8", 0, 1},
      {DensityUnit::kNanovoltsPerRootHz, "89.97", 0, 1},
      {DensityUnit::kDbvPerRootHz, "-140.92", 0, 1},
      {DensityUnit::kVoltsSquaredPerHz, "8.0948e-15", 0, 1},
      {DensityUnit::kDbvPerBin, "-139.16", 1, *WindowEnbwOfKey("hann")},  // 1.76 dB above
      {DensityUnit::kVoltsPerBin, "2.4705e-7", 2, *WindowEnbwOfKey("flattop")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const std::string text = std::string("10,") + c.value + "\n100," + c.value + "\n1000," + c.value + "\n";
    const MeasuredReading reading = ReadMeasuredText(text, {{c.unit, c.binWidth, c.enbwBins}, {}, {}});
    ASSERT_TRUE(reading.spectrum) << reading.reason;
    EXPECT_NEAR(20 * std::log10(reading.spectrum->points[1].density / density), 0, 0.01);
  }
}

TEST(ReadMeasuredText, RefusesWithTheLineAndTheReason) {
  const struct {
    std::string text;
    ReadOptions options;
    std::size_t line;
    const char* reason;
  } cases[] = {
      {"", {}, 0, "it is empty"},
      {"# only\n\n", {}, 0, "no data, only blank or comment lines"},
      {"f,n\n", {}, 0, "a header line but no data"},
      {"1,1\n2,1\n", {}, 0, "it holds 2 points: at least 3"},
      {"#\n1\n2\n3\n", {}, 2, "it has one column"},
      {"1,1,1\n", {}, 1, "it has 3 columns: say which"},
      {"1,1\n2,abc\n3,1\n", {}, 2, "column 2, \"abc\", is not a number"},
      {"1,1\n2,inf\n", {}, 2, "column 2, \"inf\", is not a finite number"},
      {"1,,1\n", Columns(std::size_t{1}, std::size_t{2}), 1, "column 2 is empty"},
      {"1,1\n3,1\n2,1\n", {}, 3, "the frequency \"2\" is not above that of line 2, \"3\""},
      {"0,1\n0,1\n1,1\n", {}, 2, "is not above"},
      {"-1,1\n", {}, 1, "the frequency \"-1\" is below 0 Hz"},
      {"1,1\n2,-1e-9\n", {}, 2, "the noise \"-1e-9\" is negative"},
      {"1,1\n2,0\n", {}, 2, "is 0 V/rtHz"},
      {"1,1\n2,2001\n", {{DensityUnit::kDbvPerRootHz}, {}, {}}, 2, "outside 1e-100 to 1e100 V/rtHz"},
      {"1,1\n2,1,1\n", {}, 2, "it has 3 columns where line 1 has 2"},
      {"1,1\n", Columns(std::size_t{1}, std::size_t{3}), 1, "there is no column 3: the data have 2"},
      {"1,1\n", Columns("f", "n"), 1, "no header line to find the column \"f\""},
      {"f,n\n1,1\n", Columns("f", "noise"), 2, "no column of the header line is named \"noise\""},
      {"1,1\n", Columns(std::size_t{2}, std::size_t{2}), 1, "cannot be the same column"},
      {"1,1\n", {{DensityUnit::kDbvPerBin, 0, 1.5}, {}, {}}, 0, "needs the bin width"},
      {std::string("\x7F" "ELF\x02\x01\x01\x00\x00", 9), {}, 0, "NUL bytes"},
      {std::string("\xFF\xFE" "1\0,\0" "2\0", 8), {}, 0, "UTF-16"},
      {std::string("1\0,\0" "2\0\n\0", 8), {}, 0, "UTF-16"},
      {"1,1\n2,1\x1B[31m\n", {}, 2, "control character 0x1B"},
      {"1,1\r2,1\r3,1\r", {}, 0, "CR only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const MeasuredReading reading = ReadMeasuredText(c.text, c.options);
    EXPECT_FALSE(reading.spectrum);
    EXPECT_EQ(reading.line, c.line);
    EXPECT_NE(reading.reason.find(c.reason), std::string::npos) << reading.reason;
  }
}

// Opened without waiting and looked at once open: no pipe, device or folder
// is read; a file past the bound is refused unread, a million lines are read.
TEST(ReadMeasuredFile, ReadsOnlyRegularFilesOfABoundedSize) {
  const auto dir = std::filesystem::temp_directory_path() / ("tervane_measured_" + std::to_string(std::random_device()()));
  ASSERT_TRUE(std::filesystem::create_directories(dir));
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  std::ofstream(dir / "huge").close();
  std::filesystem::resize_file(dir / "huge", kMaxMeasuredFileBytes + 1);
  std::string rows;
  for (int k = 1; k <= 1000000; ++k) rows += std::to_string(k) + ",1e-9\n";
  std::ofstream(dir / "rows", std::ios::binary) << rows;
  const struct {
    std::filesystem::path path;
    const char* reason;
  } cases[] = {{dir / "pipe", "not a regular file"}, {"/dev/zero", "not a regular file"}, {dir, "it is a directory"},
               {dir / "none", "it does not exist"}, {dir / "huge", "larger than 256 MiB"}, {dir / "rows", ""}};
  for (const auto& c : cases) {
    const MeasuredReading reading = ReadMeasuredFile(c.path, {});
    EXPECT_NE(reading.reason.find(c.reason), std::string::npos) << c.path << ": " << reading.reason;
    EXPECT_EQ(reading.spectrum ? reading.spectrum->points.size() : 0u, *c.reason ? 0u : 1000000u);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tervane
