#pragma once

namespace tervane::bench {

// Makes the application object the benchmarks of windows need, once; the
// windows are drawn offscreen unless the caller chose a platform.
void EnsureGuiApplication();

}  // namespace tervane::bench
