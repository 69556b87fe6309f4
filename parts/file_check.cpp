#include "parts/file_check.h"

#include <system_error>

namespace tervane {

std::string NotAFileReason(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  switch (status.type()) {
    case fs::file_type::regular:
      return {};
    case fs::file_type::not_found:
      return "it does not exist";
    case fs::file_type::directory:
      return "it is a directory";
    case fs::file_type::none:  // the status could not be had
      return "it cannot be looked at (" + ec.message() + ")";
    default:
      return "it is not a regular file (a pipe, a device or a socket)";
  }
}

}  // namespace tervane
