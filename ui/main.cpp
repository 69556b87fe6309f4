#include <QApplication>

#include "ui/calculator_dialog.h"

// The main window is the program's whole life; however it ends, the
// process ends with status 0.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tervane.Tervane"));
  tervane::ui::CCalculatorDlg calculator;
  calculator.exec();
  return 0;
}
