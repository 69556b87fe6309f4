// The floor of the desktop app's start-up: a plain dialog of the calculator's
// size, in pixels from the command line, holding one label.
#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  if (argc == 3) dialog.setFixedSize(QString::fromLocal8Bit(argv[1]).toInt(), QString::fromLocal8Bit(argv[2]).toInt());
  QLabel label(QStringLiteral("Tervane Calculator"), &dialog);
  dialog.exec();
  return 0;
}
