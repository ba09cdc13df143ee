#include <QApplication>

#include "app/command_line.h"
#include "app/display.h"
#include "windows/program.h"

int main(int argc, char* argv[]) {
  const torvane::CommandLineRequest request = torvane::readCommandLine(torvane::argumentsOf(argc, argv));
  if (request.action != torvane::CommandLineRequest::Action::Start) return torvane::answer(request);
  const auto application = torvane::openDisplay(argc, argv);
  torvane::Program program;
  program.start();
  return QApplication::exec();
}
