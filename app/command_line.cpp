#include "app/command_line.h"

#include <QMap>

#include <cstdio>
#include <iterator>
#include <string_view>

#include "core/quoted_text.h"
#include "torvane_version.h"

namespace torvane {
namespace {

// Who reads an option, in the order they run when the application object is
// made: Qt's core, its GUI layer, the platform integration, the X11 platform,
// the widgets; then this program. Each takes its own options and their values
// out of the arguments before the next one looks, so that Qt reads
// "-qwindowtitle -reverse" as a reversed layout and a title without a value.
enum class Reader { QtCore, QtGui, QtPlatform, QtX11, QtWidgets, Program };
constexpr Reader kReaders[] = {Reader::QtCore, Reader::QtGui,     Reader::QtPlatform,
                               Reader::QtX11,  Reader::QtWidgets, Reader::Program};

// clang-format off
enum class Takes {
  Nothing,
  Value,          // in the next argument only: "-platform offscreen"
  ValueOrEquals,  // Qt also reads "-style=fusion" as it is
};
// clang-format on

struct Option {
  const char* name;
  Takes takes;
  Reader reader;
  const char* qtName = nullptr;  // how Qt is to read it, where that differs
};
// clang-format off
constexpr Option kOptions[] = {
    {"qmljsdebugger", Takes::ValueOrEquals, Reader::QtCore},
    {"plugin", Takes::Value, Reader::QtGui},
    {"reverse", Takes::Nothing, Reader::QtGui},
    {"session", Takes::Value, Reader::QtGui},
    {"testability", Takes::Nothing, Reader::QtGui},
    {"style", Takes::ValueOrEquals, Reader::QtGui},
    {"platform", Takes::Value, Reader::QtPlatform},
    {"platformpluginpath", Takes::Value, Reader::QtPlatform},
    {"platformtheme", Takes::Value, Reader::QtPlatform},
    {"qwindowgeometry", Takes::Value, Reader::QtPlatform},
    {"qwindowtitle", Takes::Value, Reader::QtPlatform},
    {"qwindowicon", Takes::Value, Reader::QtPlatform},
    // X11's names for the three above, which Qt reads only where X11 is its
    // first choice of platform: given Qt's names, they work everywhere.
    {"geometry", Takes::Value, Reader::QtPlatform, "-qwindowgeometry"},
    {"title", Takes::Value, Reader::QtPlatform, "-qwindowtitle"},
    {"icon", Takes::Value, Reader::QtPlatform, "-qwindowicon"},
    {"display", Takes::Value, Reader::QtX11},
    {"name", Takes::Value, Reader::QtX11},
    {"visual", Takes::Value, Reader::QtX11},
    {"nograb", Takes::Nothing, Reader::QtX11},
    {"dograb", Takes::Nothing, Reader::QtX11},
    {"stylesheet", Takes::ValueOrEquals, Reader::QtWidgets},
    {"widgetcount", Takes::Nothing, Reader::QtWidgets},
    {"h", Takes::Nothing, Reader::Program},
    {"help", Takes::Nothing, Reader::Program},
    {"v", Takes::Nothing, Reader::Program},
    {"version", Takes::Nothing, Reader::Program},
};
// clang-format on

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

CommandLineRequest refuse(const char* what, const QByteArray& argument) {
  return {CommandLineRequest::Action::Refuse,
          QByteArray("torvane: ") + what + ' ' + quotedArgument(argument) + "; try 'torvane --help'",
          {},
          {}};
}

bool isOption(const QByteArray& argument) { return argument.size() > 1 && argument.startsWith('-'); }

// An option as the user spelled it, without any "=value".
QByteArray spellingOf(const QByteArray& argument) {
  const qsizetype equals = argument.indexOf('=');
  return equals < 0 ? argument : argument.left(equals);
}

// The option that "-name", "--name" or "--name=value" spells; null for none.
const Option* optionOf(const QByteArray& argument) {
  const QByteArray spelling = spellingOf(argument);
  const QByteArray name = spelling.mid(spelling.startsWith("--") ? 2 : 1);
  for (const Option& option : kOptions)
    if (name == option.name) return &option;
  return nullptr;
}

}  // namespace

CommandLineRequest readCommandLine(const QByteArrayList& arguments) {
  CommandLineRequest request{CommandLineRequest::Action::Start, {}, arguments.mid(0, 1), {}};
  // An "=value" that Qt would not see gets an argument of its own.
  for (const QByteArray& argument : arguments.mid(1)) {
    const Option* option = isOption(argument) ? optionOf(argument) : nullptr;
    const qsizetype equals = argument.indexOf('=');
    if (option && option->takes == Takes::Value && equals >= 0 && equals + 1 < argument.size())
      request.arguments << argument.left(equals) << argument.mid(equals + 1);
    else request.arguments.append(argument);
  }

  // Then read as Qt reads them, one reader after another, noting what is
  // wrong where; the first fault on the line is the one reported.
  QMap<qsizetype, CommandLineRequest> faults;
  QList<qsizetype> left;  // places in request.arguments that no reader has taken yet
  for (qsizetype i = 1; i < request.arguments.size(); ++i) left.append(i);
  bool help = false, version = false;
  for (const Reader reader : kReaders) {
    QList<qsizetype> kept;
    for (auto at = left.cbegin(); at != left.cend(); ++at) {
      QByteArray& argument = request.arguments[*at];
      const Option* option = isOption(argument) ? optionOf(argument) : nullptr;
      if (!option || option->reader != reader) {
        kept.append(*at);
        continue;
      }
      const qsizetype equals = argument.indexOf('=');
      const QByteArray spelling = spellingOf(argument);
      if (reader == Reader::Program) (option->name[0] == 'h' ? help : version) = true;  // h, help; v, version
      if (option->takes == Takes::Nothing) {
        if (equals >= 0) faults.insert(*at, refuse("unexpected value after", spelling));
      } else if (equals + 1 == argument.size() || (equals < 0 && std::next(at) == left.cend())) {
        faults.insert(*at, refuse("missing value after", spelling));
      } else if (equals < 0) {
        ++at;
        if (option->name == std::string_view("display")) request.display = request.arguments[*at];
        if (option->qtName) argument = option->qtName;
      }
    }
    left = kept;
  }
  for (const qsizetype at : left) {
    const QByteArray& argument = request.arguments[at];
    faults.insert(at, isOption(argument) ? refuse("unknown option", spellingOf(argument))
                                         : refuse("unexpected argument", argument));
  }
  if (!faults.isEmpty()) return faults.first();
  if (help) return {CommandLineRequest::Action::Print, kUsage, {}, {}};
  if (version) return {CommandLineRequest::Action::Print, QByteArray("Torvane ") + kVersion + '\n', {}, {}};
  return request;
}

QByteArrayList argumentsOf(int argc, const char* const* argv) {
  QByteArrayList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i) arguments.append(QByteArray(argv[i]));
  return arguments;
}

QByteArray quotedArgument(const QByteArray& argument) {
  return QByteArray::fromStdString(
      quotedText(std::string_view(argument.constData(), static_cast<std::size_t>(argument.size()))));
}

int answer(const CommandLineRequest& request) {
  if (request.action == CommandLineRequest::Action::Refuse) {
    std::fputs((request.text + '\n').constData(), stderr);
    return 2;
  }
  // Help or version text that never arrived (a full disk) is a failure, not a
  // success.
  const auto size = static_cast<std::size_t>(request.text.size());
  if (std::fwrite(request.text.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
    std::fputs("torvane: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace torvane
