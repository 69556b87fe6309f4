#pragma once

#include <filesystem>
#include <string>

namespace tervane {

// Why `path` cannot be read as a file, looked at before it is opened (a
// pipe would keep a reader waiting for a writer): "it does not exist", "it
// is a directory", "it is not a regular file ..."; empty when it names a
// regular file, or a link to one. Both front ends give the same reasons for
// circuit files and part files alike.
std::string NotAFileReason(const std::filesystem::path& path);

}  // namespace tervane
