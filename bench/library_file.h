#pragma once

#include <filesystem>

namespace tervane::bench {

// A generated part library of 100 000 lines, written once per run to the
// temporary folder; the part-library benchmarks of both programs read it.
const std::filesystem::path& LibraryFile();

}  // namespace tervane::bench
