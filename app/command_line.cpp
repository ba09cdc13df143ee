#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/quoted_text.h"
#include "torvane_version.h"

#ifdef _WIN32
#include <QApplication>
#include <QMessageBox>

#include <optional>

#include <windows.h>
// needs windows.h first
#include <shellapi.h>
#endif

namespace torvane {
namespace {

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
#ifdef _WIN32
    "-qwindowgeometry, are read by Qt.\n";
#else
    "-qwindowgeometry, are read by Qt. See torvane(1).\n";
#endif

#ifdef _WIN32
// A window program started from a console is given no standard output or
// error: it shows its text in a message box instead, as Qt's own command line
// parser does, but set as the console sets it, in a fixed-pitch font and
// unwrapped, so that the help's columns line up and no option breaks at its
// hyphen. Qt's box is wide enough for its title. Help and version are shown
// before the program makes its application object. False where it has a
// handle to write to.
bool shownInMessageBox(DWORD stream, const QByteArray& text, QMessageBox::Icon icon) {
  const HANDLE handle = GetStdHandle(stream);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return false;
  static int argc = 1;
  static char name[] = "torvane";
  static char* argv[] = {name, nullptr};
  std::optional<QApplication> application;
  if (QCoreApplication::instance() == nullptr) application.emplace(argc, argv);
  QMessageBox box(icon, QStringLiteral("Torvane"), messageBoxText(text), QMessageBox::Ok);
  box.setTextFormat(Qt::RichText);
  box.exec();
  return true;
}
#endif

QByteArray refusal(const char* what, const QByteArray& argument) {
  return QByteArray("torvane: ") + what + ' ' + quotedArgument(argument) + "; try 'torvane --help'";
}

// Where "--" stands, or the end.
qsizetype optionsEnd(const QByteArrayList& arguments) {
  const qsizetype end = arguments.indexOf("--", 1);
  return end < 0 ? arguments.size() : end;
}

}  // namespace

QByteArray helpOrVersion(const QByteArrayList& arguments) {
  const QByteArrayList given = arguments.mid(1, optionsEnd(arguments) - 1);
  if (given.contains("-h") || given.contains("--help")) return kUsage;
  if (given.contains("-v") || given.contains("--version")) return QByteArray("Torvane ") + kVersion + '\n';
  return {};
}

QByteArray refusalAfterOptions(const QByteArrayList& arguments) {
  const qsizetype end = optionsEnd(arguments);
  return end + 1 < arguments.size() ? refusal("unexpected argument", arguments.at(end + 1)) : QByteArray();
}

QByteArray refusalOf(const QByteArrayList& left) {
  if (left.size() < 2) return {};  // the parser warns of a list without the program's name
  // As Latin-1 each byte is one character, so an argument is named byte for byte.
  QStringList texts;
  for (const QByteArray& argument : left) texts.append(QString::fromLatin1(argument));
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // "-foo" is one option, as Qt's are
  if (!parser.parse(texts)) {
    // The parser knows no option, and names the first it met without its dashes or "=value".
    const QString name = parser.unknownOptionNames().constFirst();
    const auto spells = [&](const QString& text) {
      return text.startsWith(QLatin1Char('-')) &&
             text.mid(text.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0) == name;
    };
    const auto option = std::find_if(texts.cbegin() + 1, texts.cend(), spells);
    return refusal("unknown option", (option == texts.cend() ? name : *option).toLatin1());
  }
  if (parser.positionalArguments().isEmpty()) return {};
  return refusal("unexpected argument", parser.positionalArguments().constFirst().toLatin1());
}

QByteArrayList argumentsOf(int argc, const char* const* argv) {
  QByteArrayList arguments;
  arguments.reserve(argc);
#ifdef _WIN32
  // Qt's WinMain splits argv from the wide command line the same way.
  int count = 0;
  if (wchar_t** const words = CommandLineToArgvW(GetCommandLineW(), &count)) {
    if (count == argc)
      for (int i = 0; i < count; ++i) arguments.append(QString::fromWCharArray(words[i]).toUtf8());
    LocalFree(words);
    if (count == argc) return arguments;
  }
#endif
  for (int i = 0; i < argc; ++i) arguments.append(QByteArray(argv[i]));
  return arguments;
}

QByteArrayList argumentsLeft([[maybe_unused]] int argc, [[maybe_unused]] const char* const* argv) {
#ifdef _WIN32
  QByteArrayList arguments;
  for (const QString& argument : QCoreApplication::arguments()) arguments.append(argument.toUtf8());
  return arguments;
#else
  return argumentsOf(argc, argv);
#endif
}

QString messageBoxText(const QByteArray& text) {
  const QByteArray lines = text.endsWith('\n') ? text.chopped(1) : text;
  return QStringLiteral("<pre>%1</pre>").arg(QString::fromUtf8(lines).toHtmlEscaped());
}

QByteArray quotedArgument(const QByteArray& argument) {
  const std::string_view text(argument.constData(), static_cast<std::size_t>(argument.size()));
#ifdef _WIN32
  constexpr Quote kQuote = Quote::Ascii;  // a console reads its own code page
#else
  constexpr Quote kQuote = Quote::Plain;
#endif
  return QByteArray::fromStdString(quotedText(text, kQuote));
}

int print(const QByteArray& text) {
#ifdef _WIN32
  if (shownInMessageBox(STD_OUTPUT_HANDLE, text, QMessageBox::Information)) return 0;
#endif
  const auto size = static_cast<std::size_t>(text.size());
  if (std::fwrite(text.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
    std::fputs("torvane: cannot write to standard output\n", stderr);
    return 1;
  }
  return 0;
}

int refuse(const QByteArray& refusal) {
  constexpr int kRefused = 2;
#ifdef _WIN32
  if (shownInMessageBox(STD_ERROR_HANDLE, refusal, QMessageBox::Critical)) return kRefused;
#endif
  std::fputs((refusal + '\n').constData(), stderr);
  return kRefused;
}

}  // namespace torvane
