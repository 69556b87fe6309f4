#include <QApplication>

#include "ui/calculator_dialog.h"

// The main window is the program's whole life; however it ends, the
// process ends with status 0.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tervane.Tervane"));
  tervane::ui::CCalculatorDlg calculator;
  // `tervane FILE`, as the desktop opens a circuit file with the program.
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() > 1) {
    calculator.show();
    calculator.OpenCircuit(arguments.at(1));
  }
  calculator.exec();
  return 0;
}
