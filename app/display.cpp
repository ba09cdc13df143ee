#include "app/display.h"

#include <QApplication>

// On Windows and macOS the display is always there: a platform that fails to
// load is a broken installation, as Qt's own words say.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace torvane {
namespace {

constexpr char kNoDisplay[] =
    "torvane: cannot open a display; start torvane in a graphical session, or under Xvfb with: xvfb-run torvane\n";

QtMessageHandler passOn = nullptr;
std::atomic<bool> noPlatform = true;  // as when Qt last sent a message

void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  noPlatform = QGuiApplication::platformName().isEmpty();
  if (type == QtFatalMsg && noPlatform) return;  // "Reinstalling the application may fix this problem."
  passOn(type, context, text);
}

// Qt aborts right after its fatal message, or a warning it makes fatal.
void endWithoutDisplay(int) {
  if (!noPlatform) return;  // the display opened: the abort goes on
  [[maybe_unused]] const auto written = write(STDERR_FILENO, kNoDisplay, sizeof kNoDisplay - 1);
  _exit(1);
}

}  // namespace

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
  passOn = qInstallMessageHandler(handle);  // no thread of Qt's runs yet
  const auto previous = std::signal(SIGABRT, endWithoutDisplay);
  auto application = std::make_unique<QApplication>(argc, argv);
  std::signal(SIGABRT, previous);
  qInstallMessageHandler(passOn);
  return application;
}

}  // namespace torvane
#else
std::unique_ptr<QApplication> torvane::openDisplay(int& argc, char** argv) {
  return std::make_unique<QApplication>(argc, argv);
}
#endif
