// The command line, and the start of the real executable where it must end
// before or instead of opening a window.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/command_line.h"

using torvane::CommandLineRequest;
using Action = CommandLineRequest::Action;

class CommandLineTest : public QObject {
  Q_OBJECT

private slots:
  void reads_data();
  void reads();
  void executable_data();
  void executable();

private:
  QTemporaryDir runtimeDir_;  // a Wayland runtime directory with no compositor in it
};

// A text as a message quotes it: between first-strong and pop-directional isolates.
QByteArray quote(const QByteArray& text) { return "\"\xE2\x81\xA8" + text + "\xE2\x81\xA9\""; }

// clang-format off
void CommandLineTest::reads_data() {
  QTest::addColumn<QByteArrayList>("arguments");
  QTest::addColumn<Action>("action");
  QTest::addColumn<QByteArray>("result");  // the first line printed; to start, the arguments Qt gets

  const QByteArray tryHelp = "; try 'torvane --help'";
  const QByteArrayList qtOptions{"-platform", "offscreen", "--style", "fusion", "-display", ":3", "-qwindowgeometry",
                                 "300x200+0+0", "-stylesheet=a.qss", "-reverse", "--widgetcount", "-session", "s1",
                                 "-qwindowtitle", "Drag strip"};
  QTest::newRow("Qt's options, one dash or two, with values and without")
      << qtOptions << Action::Start << qtOptions.join(' ');
  QTest::newRow("'=' where Qt reads only a space, and X11's name for a Qt option")
      << QByteArrayList{"-platform=offscreen", "--style=fusion", "--title=a=b"} << Action::Start
      << QByteArray("-platform offscreen --style=fusion -qwindowtitle a=b");
  QTest::newRow("--help") << QByteArrayList{"--help"} << Action::Print << QByteArray("Usage: torvane [option]");
  QTest::newRow("-v after Qt options") << QByteArrayList{"-platform", "offscreen", "-v"} << Action::Print
                                       << QByteArray("Torvane 1.00");
  QTest::newRow("unknown option with a value") << QByteArrayList{"-reverse", "--foo=3"} << Action::Refuse
                                               << "torvane: unknown option " + quote("--foo") + tryHelp;
  QTest::newRow("stray argument with escape codes, a line break and a byte that is not UTF-8")
      << QByteArrayList{"\x1b[31m\nx\xff"} << Action::Refuse
      << "torvane: unexpected argument " + quote("<U+001B>[31m<U+000A>x<0xFF>") + tryHelp;
  QTest::newRow("131 KB argument") << QByteArrayList{QByteArray(131072, '7')} << Action::Refuse
                                   << "torvane: unexpected argument " + quote(QByteArray(40, '7')).chopped(1) +
                                          "...\" (131072 bytes)" + tryHelp;
  // Qt's GUI layer takes -reverse before its platform looks for a title.
  QTest::newRow("Qt option without its value, which a reader before it took")
      << QByteArrayList{"-qwindowtitle", "-reverse"} << Action::Refuse
      << "torvane: missing value after " + quote("-qwindowtitle") + tryHelp;
  QTest::newRow("value for a switch") << QByteArrayList{"--version=2"} << Action::Refuse
                                      << "torvane: unexpected value after " + quote("--version") + tryHelp;
}
// clang-format on

void CommandLineTest::reads() {
  QFETCH(QByteArrayList, arguments);
  QFETCH(Action, action);
  QFETCH(QByteArray, result);

  const CommandLineRequest request = torvane::readCommandLine(QByteArrayList{"torvane"} + arguments);
  QCOMPARE(request.action, action);
  QCOMPARE(action == Action::Start ? request.arguments.mid(1).join(' ') : request.text.split('\n').first(), result);
}

// The real executable, started as a user would without a usable display.
// "NAME=value" sets a variable; @runtime@ stands for an empty directory.
// An exit status of -1: it runs on, and is ended once standard error matches.
// clang-format off
void CommandLineTest::executable_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("environment");
  QTest::addColumn<QString>("standardOutput");  // a file to write to, or a pattern for what is written
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<QString>("standardError");  // a pattern

  const auto quoted = [](const char* text) { return QRegularExpression::escape(QString::fromUtf8(quote(text))); };
  const QString xvfbRun =
      QStringLiteral("; start torvane in a graphical session, or under Xvfb with: xvfb-run torvane\n$");
  QTest::newRow("--version") << QStringList{"--version"} << QStringList{} << "^Torvane 1\\.00\n$" << 0 << "^$";
  QTest::newRow("--version to a full disk") << QStringList{"--version"} << QStringList{} << "/dev/full" << 1
                                            << "^torvane: cannot write to standard output\n$";
  QTest::newRow("argument with escape codes") << QStringList{"\x1b[31mred\x1b[0m\nx"} << QStringList{} << "^$" << 2
                                              << "^torvane: unexpected argument " +
                                                     quoted("<U+001B>[31mred<U+001B>[0m<U+000A>x") +
                                                     "; try 'torvane --help'\n$";
  QTest::newRow("no DISPLAY") << QStringList{} << QStringList{} << "^$" << 1
                              << "^torvane: cannot open an X11 display \\(DISPLAY is not set\\)" + xvfbRun;
  QTest::newRow("the last -display, one dash or two, before DISPLAY")
      << QStringList{"-display", ":197", "--display", ":199"} << QStringList{"DISPLAY=:198"} << "^$" << 1
      << "^torvane: cannot open the X11 display " + quoted(":199") + xvfbRun;
  QTest::newRow("Wayland without a compositor")
      << QStringList{}
      << QStringList{"QT_QPA_PLATFORM=wayland", "XDG_RUNTIME_DIR=@runtime@", "WAYLAND_DISPLAY=torvane-none"}
      << "^$" << 1 << "^torvane: cannot open the Wayland display " + quoted("torvane-none") + xvfbRun;
  QTest::newRow("neither of Qt's two choices")
      << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland;xcb", "XDG_RUNTIME_DIR=@runtime@", "DISPLAY=:199"}
      << "^$" << 1
      << "^torvane: cannot open the Wayland display " + quoted("wayland-0") + " or the X11 display " +
             quoted(":199") + xvfbRun;
  QTest::newRow("-platform=offscreen, with Qt's start-up warning passed on")
      << QStringList{"-platform=offscreen"} << QStringList{"XDG_RUNTIME_DIR="} << "^$" << -1
      << "^QStandardPaths: XDG_RUNTIME_DIR not set";
}
// clang-format on

void CommandLineTest::executable() {
  QFETCH(QStringList, arguments);
  QFETCH(QStringList, environment);
  QFETCH(QString, standardOutput);
  QFETCH(int, exitCode);
  QFETCH(QString, standardError);

  QVERIFY(runtimeDir_.isValid());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
    env.remove(QString::fromLatin1(name));
  for (QString setting : environment) {
    setting.replace(QStringLiteral("@runtime@"), runtimeDir_.path());
    env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
  }
  if (env.value(QStringLiteral("DISPLAY")) == QLatin1String(":199") && QFile::exists("/tmp/.X11-unix/X199"))
    QSKIP("an X server is listening on display :199");

  QProcess torvane;
  torvane.setProcessEnvironment(env);
  const bool toFile = standardOutput.startsWith(QLatin1Char('/'));
  if (toFile) torvane.setStandardOutputFile(standardOutput);
  torvane.start(QStringLiteral(TORVANE_EXECUTABLE), arguments);
  QString err;
  if (exitCode < 0) {
    const QRegularExpression expected(standardError);
    QTRY_VERIFY_WITH_TIMEOUT(expected.match(err += torvane.readAllStandardError()).hasMatch(), 30000);
    torvane.kill();
  }
  QVERIFY2(torvane.waitForFinished(30000), "torvane is still running");
  const QString out = QString::fromUtf8(torvane.readAllStandardOutput());
  err += QString::fromUtf8(torvane.readAllStandardError());
  if (exitCode >= 0) {
    QCOMPARE(torvane.exitStatus(), QProcess::NormalExit);  // not aborted, no core dump
    QCOMPARE(torvane.exitCode(), exitCode);
  }
  if (!toFile) {
    const QRegularExpression expected(standardOutput, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expected.match(out).hasMatch(), qPrintable(out));
  }
  QVERIFY2(QRegularExpression(standardError).match(err).hasMatch(), qPrintable(err));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
