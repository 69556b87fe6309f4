#include "tests/core/heap_meter.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

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

// The array forms too, since the library's own may not come back to the
// ones above.
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }

namespace tervane {

HeapMeter::HeapMeter() : m_start(g_live) { g_peak = g_live; }

std::size_t HeapMeter::PeakGrowth() const { return g_peak - m_start; }

}  // namespace tervane
