#include <QApplication>

#include "windows/program.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  torvane::Program program;
  program.start();
  return QApplication::exec();
}
