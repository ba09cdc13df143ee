#include <QApplication>

#include "app/command_line.h"
#include "app/display.h"
#include "torvane_version.h"
#include "windows/program.h"

#ifndef _WIN32
#include <fcntl.h>
#endif

namespace {

// A launcher may start the program with standard input, output or error
// closed. The first file or socket opened would then take that descriptor,
// and a warning meant for standard error would be written into it: into the
// display's connection, which then hangs. A closed one is given /dev/null.
// Windows hands a window program no such descriptors to fill.
void openClosedStandardStreams() {
#ifndef _WIN32
  for (int descriptor = 0; descriptor <= 2; ++descriptor)
    if (fcntl(descriptor, F_GETFD) == -1) open("/dev/null", O_RDWR);  // takes the lowest free: this one
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  // Help and version need no display, and written to a closed output they
  // fail rather than vanish, so they come before anything is opened.
  const QByteArrayList arguments = torvane::argumentsOf(argc, argv);
  const QByteArray text = torvane::helpOrVersion(arguments);
  if (!text.isNull()) return torvane::print(text);
  const QByteArray afterOptions = torvane::refusalAfterOptions(arguments);
  if (!afterOptions.isNull()) return torvane::refuse(afterOptions);
  openClosedStandardStreams();
  QApplication::setApplicationName(QStringLiteral("Torvane"));
  QApplication::setApplicationVersion(QString::fromUtf8(torvane::kVersion));
  QApplication::setDesktopFileName(QString::fromUtf8(torvane::kApplicationId));
  const auto application = torvane::openDisplay(argc, argv);
  const QByteArray refusal = torvane::refusalOf(torvane::argumentsLeft(argc, argv));
  if (!refusal.isNull()) return torvane::refuse(refusal);
  torvane::Program program;
  program.start();
  return QApplication::exec();
}
