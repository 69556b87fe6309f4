#include <QApplication>

#include <cstdio>
#include <string_view>

#include "ui/calculator_dialog.h"

namespace {

constexpr const char* kUsage =
    "Usage: tervane [CIRCUIT-FILE]\n"
    "Opens the noise calculator, on the circuit saved in CIRCUIT-FILE when one is given.\n";

bool AsksForHelp(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") return true;
  return false;
}

}  // namespace

// The main window is the program's whole life; however it ends, the
// process ends with status 0. Only a command line it cannot read ends it
// sooner.
int main(int argc, char** argv) {
  // Before the application connects to a display, so that it needs none.
  if (AsksForHelp(argc, argv)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  QApplication app(argc, argv);
  // Qt has taken its own options (-platform, -style, ...) out by now.
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() > 1 && arguments.at(1).startsWith(QLatin1Char('-'))) {
    std::fprintf(stderr, "tervane: unknown option %s\n%s", qPrintable(arguments.at(1)), kUsage);
    return 2;
  }
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tervane.Tervane"));
  // TERVANE_PART_LIBRARY_DIR is where the build installs the shipped library.
  tervane::ui::CCalculatorDlg calculator(tervane::DefaultPartFile(TERVANE_PART_LIBRARY_DIR));
  // Said on the terminal too, for whoever started the program from one.
  if (!calculator.PartLibraryNote().isEmpty()) std::fprintf(stderr, "tervane: %s\n", qPrintable(calculator.PartLibraryNote()));
  // `tervane FILE`, as the desktop opens a circuit file with the program.
  if (arguments.size() > 1) {
    calculator.show();
    calculator.OpenCircuit(arguments.at(1));
  }
  calculator.exec();
  return 0;
}
