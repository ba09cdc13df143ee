#include "app/display.h"

#include <QApplication>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace torvane {
namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray file, function, category;
  int line;
  QString text;
};

// What a message handler, a plain function, needs while the application
// object is being made; null at any other time.
struct Opening {
  QByteArray displayArgument;  // -display, which the X11 platform reads before DISPLAY
  std::vector<HeldMessage> held;
};
Opening* opening = nullptr;

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

QString quoted(const QByteArray& name) {
  return QLatin1Char('"') + QString::fromLocal8Bit(name) + QLatin1Char('"');
}

// The display a platform tries, as the user set it.
QString displayOf(const QString& platform, const QByteArray& displayArgument) {
  const QString name = platform.section(QLatin1Char(':'), 0, 0);  // "xcb:option=value"
  if (name == QLatin1String("xcb")) {
    const QByteArray display = displayArgument.isNull() ? qgetenv("DISPLAY") : displayArgument;
    return display.isEmpty() ? QStringLiteral("an X11 display (DISPLAY is not set)")
                             : QStringLiteral("the X11 display %1").arg(quoted(display));
  }
  if (name.startsWith(QLatin1String("wayland"))) {
    const QByteArray display = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArrayLiteral("wayland-0")
                                                                             : qgetenv("WAYLAND_DISPLAY");
    return QStringLiteral("the Wayland display %1").arg(quoted(display));
  }
  return QStringLiteral("a display through Qt's \"%1\" platform").arg(name);
}

void endWithoutDisplay(const QString& fatalText) {
  QStringList texts{fatalText};
  for (const HeldMessage& message : opening->held) texts.append(message.text);
  QStringList displays;
  for (const QString& platform : platformsNamedIn(texts))
    displays.append(displayOf(platform, opening->displayArgument));
  if (displays.isEmpty()) displays.append(QStringLiteral("a display"));
  const QString line = QStringLiteral(
                           "torvane: cannot open %1; start torvane in a graphical session, "
                           "or under Xvfb with: xvfb-run torvane\n")
                           .arg(displays.join(QLatin1String(" or ")));
  std::fputs(line.toLocal8Bit().constData(), stderr);
  std::fflush(stderr);
  // Qt would abort next; there is nothing to clean up and nothing to dump.
  std::_Exit(1);
}

void holdOrEnd(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // The only fatal message while the application object is made is Qt's
  // "no Qt platform plugin could be initialized".
  if (type == QtFatalMsg) endWithoutDisplay(text);
  opening->held.push_back({type, context.file, context.function, context.category, context.line, text});
}

const char* orNull(const QByteArray& text) { return text.isNull() ? nullptr : text.constData(); }

QByteArray displayArgumentOf(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "-display") == 0 || std::strcmp(argv[i], "--display") == 0) return argv[i + 1];
  return {};
}

}  // namespace

std::unique_ptr<QApplication> openDisplay(int& argc, char** argv) {
  Opening state{displayArgumentOf(argc, argv), {}};
  opening = &state;
  const QtMessageHandler previous = qInstallMessageHandler(holdOrEnd);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  opening = nullptr;
  for (const HeldMessage& message : state.held)
    qt_message_output(message.type,
                      QMessageLogContext(orNull(message.file), message.line, orNull(message.function),
                                         orNull(message.category)),
                      message.text);
  return application;
}

}  // namespace torvane
