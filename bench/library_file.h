#pragma once

#include <filesystem>

namespace tervane::bench {

// A generated part library of 100 000 lines, written once per run to the
// temporary folder; the part-library benchmarks of both programs read it.
// With `bandwidth`, each line also gives its part's gain-bandwidth product,
// current-noise corner and input capacitances (Ccm, Cdiff).
const std::filesystem::path& LibraryFile(bool bandwidth = false);

}  // namespace tervane::bench
