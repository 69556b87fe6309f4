#include "bench/gui_app.h"

#include <QApplication>
#include <QLoggingCategory>

namespace tervane::bench {

void EnsureGuiApplication() {
  if (QApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tervane_gui_bench";
  static char* argv[] = {name, nullptr};
  // Never destroyed: it has to outlive every benchmark, and Qt's teardown
  // after main() has returned is not to be relied on.
  new QApplication(argc, argv);
  // The offscreen platform warns at every drop-down of the window features
  // it lacks, between the benchmarks' results.
  QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
}

}  // namespace tervane::bench
