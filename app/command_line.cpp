#include "app/command_line.h"

#include <QCommandLineParser>

#include <cstdio>

#include "torvane_version.h"

namespace torvane {
namespace {

// Qt's own options, as QGuiApplication, QApplication and the platform
// plugins read them from the same arguments. They are known here only so that
// they are not refused; Qt acts on them.
struct QtOption {
  const char* name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    // QGuiApplication and QApplication
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"style", true}, {"stylesheet", true}, {"qmljsdebugger", true},
    {"reverse", false}, {"widgetcount", false}, {"testability", false},
    // the X11 platform
    {"display", true}, {"geometry", true}, {"title", true}, {"icon", true}, {"name", true}, {"visual", true},
    {"nograb", false}, {"dograb", false},
    // the Windows platform
    {"dialogs", true}, {"fontengine", true},
};

constexpr char kUsage[] =
    "Usage: torvane [option]\n"
    "Estimates a car's quarter-mile and eighth-mile elapsed times and trap speeds\n"
    "from its horsepower and weight, or its rear-wheel horsepower from its weight\n"
    "and trap speed.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "Qt's own options, such as -platform, -style, -reverse, -display and\n"
    "-qwindowgeometry, are passed on to Qt. See torvane(1).\n";

CommandLineRequest refuse(const QString& what) {
  return {CommandLineRequest::Action::Refuse,
          QStringLiteral("torvane: %1; try 'torvane --help'").arg(what)};
}

// The option as the user spelled it, without any "=value".
QString spelling(const QStringList& arguments, const QString& name) {
  for (const QString& argument : arguments.mid(1)) {
    const QString option = argument.section(QLatin1Char('='), 0, 0);
    if (option == QLatin1Char('-') + name || option == QLatin1String("--") + name) return option;
  }
  return QLatin1Char('-') + name;
}

}  // namespace

CommandLineRequest readCommandLine(const QStringList& arguments) {
  if (arguments.size() <= 1) return {};  // the usual start, from the menu: nothing to parse
  QCommandLineParser parser;
  // Qt's options are single words after one dash (-platform); so are ours.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  for (const QtOption& qt : kQtOptions) {
    QCommandLineOption option(QString::fromLatin1(qt.name));
    if (qt.takesValue) option.setValueName(QStringLiteral("value"));
    parser.addOption(option);
  }

  if (!parser.parse(arguments)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
      return refuse(QStringLiteral("unknown option '%1'").arg(spelling(arguments, unknown.first())));
    // Qt's own sentences: "Missing value after '-platform'."
    QString error = parser.errorText();
    if (error.endsWith(QLatin1Char('.'))) error.chop(1);
    if (!error.isEmpty()) error[0] = error[0].toLower();
    return refuse(error);
  }
  if (!parser.positionalArguments().isEmpty())
    return refuse(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
  if (parser.isSet(help)) return {CommandLineRequest::Action::Print, QString::fromUtf8(kUsage)};
  if (parser.isSet(version))
    return {CommandLineRequest::Action::Print, QStringLiteral("Torvane %1\n").arg(QString::fromUtf8(kVersion))};
  return {};
}

QStringList argumentsOf(int argc, const char* const* argv) {
  QStringList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

int answer(const CommandLineRequest& request) {
  QByteArray text = request.text.toLocal8Bit();
  if (request.action == CommandLineRequest::Action::Refuse) {
    text.append('\n');
    std::fputs(text.constData(), stderr);
    return 2;
  }
  // Help or version text that never arrived (a full disk) is a failure, not a
  // success.
  const auto size = static_cast<std::size_t>(text.size());
  if (std::fwrite(text.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
    std::fputs("torvane: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace torvane
