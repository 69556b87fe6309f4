#pragma once

#include <cstddef>

namespace tervane {

// Measures how far the live heap grows above where it stood when the meter
// was made. heap_meter.cpp replaces the global operator new and delete to
// keep the count, so it is linked only into a test program of its own.
class HeapMeter {
 public:
  HeapMeter();
  // The largest growth of the live heap since construction, in bytes.
  std::size_t PeakGrowth() const;

 private:
  std::size_t m_start;
};

}  // namespace tervane
