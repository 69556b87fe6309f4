// ReadMeasuredFile: the file opened before it is looked at, so that what is
// read is what was looked at, and opened without waiting, so that a pipe
// with no writer cannot keep the reader waiting.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "measured/spectrum_reader.h"

namespace tervane {
namespace {

#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

class OpenFile {
 public:
  explicit OpenFile(const std::filesystem::path& path) {
    constexpr int kFlags = O_RDONLY | O_BINARY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#ifdef _WIN32
    fd_ = _wopen(path.c_str(), kFlags);  // the name in UTF-16, whatever the code page
#else
    fd_ = open(path.c_str(), kFlags);
#endif
  }
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};

std::string SystemReason(int error) { return std::generic_category().message(error); }

const std::string kTooLarge = "it is larger than 256 MiB, more than any measurement holds";

// Why the open file is none to read; empty when it is a regular file of a
// size that can be read, which `size` is then set to.
std::string NotReadableReason(int fd, std::size_t& size) {
  struct stat status {};
  if (fstat(fd, &status) != 0) return "it cannot be looked at (" + SystemReason(errno) + ")";
  if (S_ISDIR(status.st_mode)) return "it is a directory";
  if (!S_ISREG(status.st_mode)) return "it is not a regular file (a pipe, a device or a socket)";
  if (status.st_size < 0 || static_cast<unsigned long long>(status.st_size) > kMaxMeasuredFileBytes) return kTooLarge;
  size = static_cast<std::size_t>(status.st_size);
  return {};
}

}  // namespace

MeasuredReading ReadMeasuredFile(const std::filesystem::path& path, const ReadOptions& options) {
  const OpenFile file(path);
  if (file.Fd() < 0) {
    const int error = errno;
    std::error_code ec;
    if (error == ENOENT) return {std::nullopt, 0, "it does not exist"};
    if (std::filesystem::is_directory(path, ec)) return {std::nullopt, 0, "it is a directory"};
    return {std::nullopt, 0, "it cannot be opened (" + SystemReason(error) + ")"};
  }
  std::size_t size = 0;
  if (std::string reason = NotReadableReason(file.Fd(), size); !reason.empty())
    return {std::nullopt, 0, std::move(reason)};
  // The file may have grown since it was looked at: the read itself is
  // bounded.
  constexpr unsigned kChunk = 1 << 20;
  std::string bytes;
  bytes.reserve(size + kChunk);
  for (;;) {
    const std::size_t had = bytes.size();
    if (had > kMaxMeasuredFileBytes) return {std::nullopt, 0, kTooLarge};
    bytes.resize(had + kChunk);
    const auto got = read(file.Fd(), bytes.data() + had, kChunk);
    if (got < 0 && errno == EINTR) {
      bytes.resize(had);
      continue;
    }
    if (got < 0) return {std::nullopt, 0, "it cannot be read (" + SystemReason(errno) + ")"};
    bytes.resize(had + static_cast<std::size_t>(got));
    if (got == 0) break;
  }
  return ReadMeasuredText(bytes, options);
}

}  // namespace tervane
