// The heap the part loader holds on files far larger than their parts. A
// program of its own: heap_meter.cpp replaces the global operator new and
// delete to count it.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "parts/part_library.h"
#include "tests/core/heap_meter.h"
#include "tests/core/part_expect.h"

namespace tervane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kParts = 64;

std::string PartName(std::size_t i) {
  char name[8];
  std::snprintf(name, sizeof name, "P%02zu", i);
  return name;
}

// A file of `size` bytes in kParts equal blocks, each ending in a part line
// (the last without a line end). The rest of a block is `filler` repeated,
// or, where filler is empty, a hole of zeros the file system does not
// store: the zeros after a part belong to its line and end its text.
void WriteFile(const fs::path& file, std::size_t size, const std::string& filler) {
  const std::size_t blockSize = size / kParts;
  std::string fillerBlock;
  while (!filler.empty() && fillerBlock.size() < blockSize) fillerBlock += filler;
  fillerBlock.resize(filler.empty() ? 0 : blockSize);
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  for (std::size_t i = 0; i < kParts; ++i) {
    const std::string tail = "\n" + PartName(i) + " 1n 2p 3" + (filler.empty() ? "" : "\r\n");
    std::string block = fillerBlock;
    block.replace(block.size() - std::min(block.size(), tail.size()), tail.size(), tail);
    const auto offset = static_cast<off_t>((i + 1) * blockSize - block.size());
    ASSERT_EQ(pwrite(fd, block.data(), block.size(), offset), static_cast<ssize_t>(block.size()));
  }
  close(fd);
}

// The loader holds its block of the file, what it reserves up front (room
// for as many part lines as a block can hold, 1.2 MB) and what the parts
// need, never anything for each byte, line or piece of the file: the heap
// it holds is no more for a file four times the size with the same parts,
// and within 2 MiB. A loader that kept a byte for each of the larger
// comment file's lines would hold 1 MiB more.
TEST(LoadPartLibrary, HeapDoesNotGrowWithTheFile) {
  const fs::path file = fs::temp_directory_path() / ("tervane_heap_" + std::to_string(std::random_device()()) + ".txt");
  std::vector<std::string> names;
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < kParts; ++i) {
    names.push_back(PartName(i));
    parts.push_back(names.back() + " 1n 2p 3");
  }
  for (const std::string filler : {"", "/ generated: one comment line after another\r\n"}) {
    std::vector<std::size_t> heap;
    for (const std::size_t size : {16 * kMiB, 64 * kMiB}) {
      SCOPED_TRACE(std::to_string(size / kMiB) + " MiB of " + (filler.empty() ? "zeros" : "comments"));
      WriteFile(file, size, filler);
      PartLibrary library;
      const HeapMeter meter;
      EXPECT_TRUE(LoadPartLibrary(file, library));
      heap.push_back(meter.PeakGrowth());
      ExpectParts(library, names, parts);
    }
    EXPECT_LE(heap[1], heap[0]);  // the first load also sets up what a stream needs once
    EXPECT_LE(heap[1], 2 * kMiB);
  }
  fs::remove(file);
}

}  // namespace
}  // namespace tervane
