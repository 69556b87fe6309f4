#include "bench/program_runs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>

extern char** environ;

namespace tervane::bench {
namespace {

struct Measured {
  double seconds = 0;
  double peakRssKib = 0;
};

// Reads the runner's one line from its end of a pipe.
std::optional<Measured> ReadMeasurement(int fd) {
  std::array<char, 128> line{};
  std::size_t used = 0;
  while (used + 1 < line.size()) {
    const ssize_t n = read(fd, line.data() + used, line.size() - 1 - used);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    used += static_cast<std::size_t>(n);
  }
  Measured measured;
  long rss = 0;
  if (std::sscanf(line.data(), "%lf %ld", &measured.seconds, &rss) != 2) return std::nullopt;
  measured.peakRssKib = static_cast<double>(rss);
  return measured;
}

// One run of the program through the measuring runner; nothing when either
// failed.
std::optional<Measured> RunProgram(const std::vector<std::string>& args, const std::string& folder) {
  std::vector<char*> argv{const_cast<char*>(TERVANE_MEASURED_RUN)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::optional<Measured> measured;
  if (error == 0) measured = ReadMeasurement(pipeEnds[0]);
  close(pipeEnds[0]);
  if (error != 0) return std::nullopt;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return measured;
}

}  // namespace

void RunEachIteration(benchmark::State& state, const std::vector<std::string>& args, const char* failure,
                      const std::string& folder) {
  if (!RunProgram(args, folder)) {
    state.SkipWithError(failure);
    return;
  }
  double peakRss = 0;
  for (auto _ : state) {
    const std::optional<Measured> run = RunProgram(args, folder);
    if (!run) {
      state.SkipWithError(failure);
      return;
    }
    state.SetIterationTime(run->seconds);
    peakRss += run->peakRssKib;
  }
  state.counters[kPeakRssCounter] = benchmark::Counter(peakRss, benchmark::Counter::kAvgIterations);
}

}  // namespace tervane::bench
