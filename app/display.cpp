#include "app/display.h"

#include <QApplication>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "app/command_line.h"

namespace torvane {
namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray file, function, category;
  int line;
  QString text;
};

// What the message handler, a plain function that Qt may call on any thread,
// needs; touched only with `mutex` held. Messages are held only while the
// application object is made. Never destroyed, since Qt may send a message
// while static objects are.
struct Shared {
  std::mutex mutex;
  QByteArray displayArgument;
  bool opening = false;
  std::vector<HeldMessage> held;
  QtMessageHandler passOn = nullptr;  // the handler that was there before
};
Shared& shared = *new Shared;

// The value of the last -display, one dash or two, which Qt's X11 platform
// tries before DISPLAY (unless an option of Qt's before it takes it as a value).
QByteArray displayArgumentOf(int argc, char** argv) {
  QByteArray display;
  for (int i = 1; i + 1 < argc; ++i)
    if (qstrcmp(argv[i], "-display") == 0 || qstrcmp(argv[i], "--display") == 0) display = argv[++i];
  return display;
}

// The platforms Qt names in its messages when it cannot load one:
//   Could not load the Qt platform plugin "xcb" in "" even though it was found.
QStringList platformsNamedIn(const QStringList& texts) {
  static const QRegularExpression named(QStringLiteral("platform plugin \"([^\"]+)\""));
  QStringList platforms;
  for (const QString& text : texts)
    for (const auto& match : named.globalMatch(text))
      if (!platforms.contains(match.captured(1))) platforms.append(match.captured(1));
  return platforms;
}

QString quotedName(const QByteArray& name) { return QString::fromUtf8(quotedArgument(name)); }

// The display a platform tries, as the user set it.
QString displayOf(const QString& platform) {
  const QString name = platform.section(QLatin1Char(':'), 0, 0);  // "xcb:option=value"
  if (name == QLatin1String("xcb")) {
    const QByteArray display = shared.displayArgument.isNull() ? qgetenv("DISPLAY") : shared.displayArgument;
    return display.isEmpty() ? QStringLiteral("an X11 display (DISPLAY is not set)")
                             : QStringLiteral("the X11 display %1").arg(quotedName(display));
  }
  if (name.startsWith(QLatin1String("wayland"))) {
    const QByteArray display =
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArrayLiteral("wayland-0") : qgetenv("WAYLAND_DISPLAY");
    return QStringLiteral("the Wayland display %1").arg(quotedName(display));
  }
  return QStringLiteral("a display through Qt's \"%1\" platform").arg(name);
}

void print(const QString& line) { std::fputs(line.toLocal8Bit().constData(), stderr); }

// Nothing to clean up and nothing to dump: the program keeps no data.
[[noreturn]] void endNow() {
  std::fflush(stderr);
  std::_Exit(1);
}

void endWithoutDisplay(const QString& fatalText) {
  QStringList texts{fatalText};
  for (const HeldMessage& message : shared.held) texts.append(message.text);
  QStringList displays;
  for (const QString& platform : platformsNamedIn(texts)) displays.append(displayOf(platform));
  if (displays.isEmpty()) displays.append(QStringLiteral("a display"));
  print(QStringLiteral("torvane: cannot open %1; start torvane in a graphical session, "
                       "or under Xvfb with: xvfb-run torvane\n")
            .arg(displays.join(QLatin1String(" or "))));
  endNow();  // before Qt aborts
}

// A platform whose connection to the display breaks says so in one of these
// words (X11, then Xlib under it, then Wayland), and ends the process itself.
QString platformLostIn(const QString& text) {
  if (text.startsWith(QLatin1String("The X11 connection broke"))) return QStringLiteral("xcb");
  if (text.startsWith(QLatin1String("The Wayland connection broke")) ||
      text.startsWith(QLatin1String("The Wayland connection experienced a fatal error")))
    return QStringLiteral("wayland");
  return {};
}

void release(const HeldMessage& message) {
  const auto orNull = [](const QByteArray& text) { return text.isNull() ? nullptr : text.constData(); };
  shared.passOn(
      message.type,
      QMessageLogContext(orNull(message.file), message.line, orNull(message.function), orNull(message.category)),
      message.text);
}

[[noreturn]] void endOnLostConnection(const QString& platform, QtMsgType type, const QMessageLogContext& context,
                                      const QString& text) {
  for (const HeldMessage& message : shared.held) release(message);
  print(QStringLiteral("torvane: lost the connection to %1; the program ends, and nothing is lost\n")
            .arg(displayOf(platform)));
  shared.passOn(type, context, text);
  endNow();  // before Xlib, where Qt uses it, adds a report of its own
}

void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QString lost = platformLostIn(text);
  // Where two threads end the process, the first does, and the other waits.
  std::unique_lock lock(shared.mutex);
  if (!lost.isEmpty()) endOnLostConnection(lost, type, context, text);
  if (!shared.opening) {
    const QtMessageHandler passOn = shared.passOn;
    lock.unlock();
    return passOn(type, context, text);
  }
  // The only fatal message while the application object is made is Qt's
  // "no Qt platform plugin could be initialized".
  if (type == QtFatalMsg) endWithoutDisplay(text);
  shared.held.push_back({type, context.file, context.function, context.category, context.line, text});
}

}  // namespace

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
  {
    const std::lock_guard lock(shared.mutex);
    shared.displayArgument = displayArgumentOf(argc, argv);
    shared.opening = true;
    shared.passOn = qInstallMessageHandler(handle);
  }
  auto application = std::make_unique<QApplication>(argc, argv);
  const std::lock_guard lock(shared.mutex);
  shared.opening = false;
  for (const HeldMessage& message : shared.held) release(message);
  shared.held.clear();
  return application;
}

}  // namespace torvane
