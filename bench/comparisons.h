#pragma once

#include <string>

namespace tervane::bench {

// The clock a comparison reads: the process's CPU time, steadier on a busy
// machine, or wall time for benchmarks whose work runs in child processes.
enum class Clock { kCpu, kWall };

enum class Goal {
  kAtMost,        // the subject takes at most `target` times the reference's time
  kAtLeastFaster  // the subject is at least `target` times faster than the reference
};

// Two benchmarks of the same run, compared after it from the median of
// their repetitions: their times, or one user counter both report (a
// started program's peak memory, say) when `counter` names it.
struct Comparison {
  std::string label;
  std::string subject;    // benchmark function names
  std::string reference;
  Goal goal;
  double target;
  Clock clock = Clock::kCpu;
  std::string counter = {};
};

// Adds a comparison to those printed after the run. Returns true, so that a
// benchmark file can register its comparisons while it is initialised.
bool AddComparison(Comparison comparison);

}  // namespace tervane::bench
