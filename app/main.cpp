#include <QApplication>

#include "windows/main_window.h"
#include "windows/program.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  torvane::Program program;
  program.mainWindow().show();
  return QApplication::exec();
}
