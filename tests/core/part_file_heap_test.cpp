// The heap the part loader holds on files far larger than their parts. A
// program of its own: it replaces the global operator new and delete to
// count the live heap.

#include <malloc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "parts/part_library.h"
#include "tests/core/part_expect.h"

namespace {

// Blocks are counted at their usable size on both sides, so that a delete
// without a size takes off exactly what its new put on.
std::size_t g_live = 0;
std::size_t g_peak = 0;

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  g_live += malloc_usable_size(block);
  g_peak = std::max(g_peak, g_live);
  return block;
}
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  g_live -= malloc_usable_size(block);
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
// The array forms too, since the library's own may not come back to these.
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }

namespace tervane {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kParts = 64;

std::string PartLine(std::size_t i) {
  char line[16];
  std::snprintf(line, sizeof line, "P%02zu 1n 2p 3", i);
  return line;
}

// The loader holds its block of the file, what it reserves up front (room
// for as many part lines as a block can hold, 0.4 MB) and what the parts
// need, never anything for each byte, line or piece of the file: on files
// of kParts equal blocks, each `filler` repeated and a part line at its end
// (zeros belong to the part line before them and end its text), the heap
// it holds is no more for a file four times the size, and within 2 MiB. A loader that kept a byte for each of the larger comment
// file's lines would hold 1 MiB more.
TEST(LoadPartLibrary, HeapDoesNotGrowWithTheFile) {
  const fs::path file = fs::temp_directory_path() / ("tervane_heap_" + std::to_string(std::random_device()()) + ".txt");
  std::vector<std::string> names, parts;
  for (std::size_t i = 0; i < kParts; ++i) {
    parts.push_back(PartLine(i));
    names.push_back(parts.back().substr(0, 3));
  }
  for (const std::string& filler : {std::string(1, '\0'), std::string("/ generated: one comment line after another\r\n")}) {
    std::vector<std::size_t> heap;
    for (const std::size_t size : {16 * kMiB, 64 * kMiB}) {
      SCOPED_TRACE(std::to_string(size / kMiB) + " MiB of " + (filler.size() == 1 ? "zeros" : "comments"));
      {
        std::string block;
        while (block.size() < size / kParts) block += filler;
        std::ofstream out(file, std::ios::binary);
        for (std::size_t i = 0; i < kParts; ++i) {
          const std::string tail = "\n" + parts[i] + (filler.size() == 1 ? "" : "\r\n");
          out.write(block.data(), static_cast<std::streamsize>(size / kParts - tail.size())) << tail;
        }
      }
      PartLibrary library;
      const std::size_t start = g_peak = g_live;
      EXPECT_TRUE(LoadPartLibrary(file, library));
      heap.push_back(g_peak - start);
      ExpectParts(library, names, parts);
    }
    EXPECT_LE(heap[1], heap[0]);  // the first load also sets up what a stream needs once
    EXPECT_LE(heap[1], 2 * kMiB);
  }
  fs::remove(file);
}

}  // namespace
}  // namespace tervane
