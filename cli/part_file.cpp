#include "cli/part_file.h"

#include "cli/command.h"

namespace tervane::cli {

std::string DefaultPartFile() { return std::string(kPartFileName); }

PartLibrary LoadPartFile(const std::string& path) {
  PartLibrary library;
  if (!LoadPartLibrary(path, library)) throw UsageError("cannot open part file '" + path + "'");
  return library;
}

}  // namespace tervane::cli
