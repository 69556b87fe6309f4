// A whole run of tervane-cli against ngspice simulating the same stage, the
// tool an engineer would otherwise reach for: each iteration starts the
// program and waits for it to end.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "bench/comparisons.h"

extern char** environ;

namespace {

[[maybe_unused]] const bool kComparison = tervane::bench::AddComparison(
    {"tervane-cli calc vs ngspice -b", "BM_TervaneCliCalc", "BM_NgspiceNoise", tervane::bench::Goal::kAtLeastFaster,
     20, tervane::bench::Clock::kWall});

// Starts a program, by its path or found on PATH, with its output thrown
// away; true when it ran and exited with 0.
bool RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One run first, so that a missing or failing program skips the benchmark.
void RunEachIteration(benchmark::State& state, const std::vector<std::string>& args, const char* failure) {
  if (!RunProgram(args)) {
    state.SkipWithError(failure);
    return;
  }
  for (auto _ : state)
    if (!RunProgram(args)) {
      state.SkipWithError(failure);
      break;
    }
}

void BM_TervaneCliCalc(benchmark::State& state) {
  RunEachIteration(state,
                   {TERVANE_CLI, "calc", "--type", "noninverting", "--rs", "600", "--r1", "100", "--r2", "10k",
                    "--temp", "25C", "--en", "3n", "--in", "400f", "--fl", "20", "--fh", "20k"},
                   "tervane-cli failed");
}
BENCHMARK(BM_TervaneCliCalc)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_NgspiceNoise(benchmark::State& state) {
  RunEachIteration(state, {"ngspice", "-b", TERVANE_BENCH_NETLIST}, "ngspice is not on PATH, or it failed");
}
BENCHMARK(BM_NgspiceNoise)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
