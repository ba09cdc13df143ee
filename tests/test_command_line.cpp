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

void CommandLineTest::reads_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<Action>("action");
  QTest::addColumn<QString>("firstLine");

  const QString tryHelp = QStringLiteral("; try 'torvane --help'");
  QTest::newRow("Qt's options, one dash or two, with values and without")
      << QStringList{"-platform", "offscreen", "--style", "fusion", "-display", ":3", "-qwindowgeometry",
                     "300x200+0+0", "-stylesheet=a.qss", "-reverse", "--widgetcount", "-session", "s1"}
      << Action::Start << QString();
  QTest::newRow("--help") << QStringList{"--help"} << Action::Print << "Usage: torvane [option]";
  QTest::newRow("-v after Qt options") << QStringList{"-platform", "offscreen", "-v"} << Action::Print
                                       << "Torvane 1.00";
  QTest::newRow("unknown option with a value") << QStringList{"-reverse", "--foo=3"} << Action::Refuse
                                               << "torvane: unknown option '--foo'" + tryHelp;
  QTest::newRow("unknown short option") << QStringList{"-x"} << Action::Refuse
                                        << "torvane: unknown option '-x'" + tryHelp;
  QTest::newRow("stray argument") << QStringList{"notes.txt"} << Action::Refuse
                                  << "torvane: unexpected argument 'notes.txt'" + tryHelp;
  QTest::newRow("Qt option without its value") << QStringList{"-platform"} << Action::Refuse
                                                << "torvane: missing value after '-platform'" + tryHelp;
  QTest::newRow("value for a switch") << QStringList{"--version=2"} << Action::Refuse
                                      << "torvane: unexpected value after '--version'" + tryHelp;
}

void CommandLineTest::reads() {
  QFETCH(QStringList, arguments);
  QFETCH(Action, action);
  QFETCH(QString, firstLine);

  const CommandLineRequest request = torvane::readCommandLine(QStringList{"torvane"} + arguments);
  QCOMPARE(request.action, action);
  QCOMPARE(request.text.section(QLatin1Char('\n'), 0, 0), firstLine);
}

// The real executable, started as a user would without a usable display.
// "NAME=value" sets a variable; @runtime@ stands for an empty directory.
void CommandLineTest::executable_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("environment");
  QTest::addColumn<QString>("standardOutput");  // a file to write to, or a pattern for what is written
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<QString>("standardError");  // a pattern

  const QString xvfbRun =
      QStringLiteral("; start torvane in a graphical session, or under Xvfb with: xvfb-run torvane\n$");
  QTest::newRow("--version") << QStringList{"--version"} << QStringList{} << "^Torvane 1\\.00\n$" << 0 << "^$";
  QTest::newRow("--version to a full disk") << QStringList{"--version"} << QStringList{} << "/dev/full" << 1
                                            << "^torvane: cannot write to standard output\n$";
  QTest::newRow("unknown option") << QStringList{"--foo"} << QStringList{} << "^$" << 2
                                  << "^torvane: unknown option '--foo'; try 'torvane --help'\n$";
  QTest::newRow("no DISPLAY") << QStringList{} << QStringList{} << "^$" << 1
                              << "^torvane: cannot open an X11 display \\(DISPLAY is not set\\)" + xvfbRun;
  QTest::newRow("dead X11 display") << QStringList{} << QStringList{"DISPLAY=:199"} << "^$" << 1
                                    << "^torvane: cannot open the X11 display \":199\"" + xvfbRun;
  QTest::newRow("-display before DISPLAY") << QStringList{"-display", ":199"} << QStringList{"DISPLAY=:198"}
                                           << "^$" << 1
                                           << "^torvane: cannot open the X11 display \":199\"" + xvfbRun;
  QTest::newRow("Wayland without a compositor")
      << QStringList{}
      << QStringList{"QT_QPA_PLATFORM=wayland", "XDG_RUNTIME_DIR=@runtime@", "WAYLAND_DISPLAY=torvane-none"}
      << "^$" << 1 << "^torvane: cannot open the Wayland display \"torvane-none\"" + xvfbRun;
  QTest::newRow("neither of Qt's two choices")
      << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland;xcb", "XDG_RUNTIME_DIR=@runtime@", "DISPLAY=:199"}
      << "^$" << 1
      << "^torvane: cannot open the Wayland display \"wayland-0\" or the X11 display \":199\"" + xvfbRun;
}

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
  QVERIFY2(torvane.waitForFinished(30000), "torvane is still running");
  const QString out = QString::fromLocal8Bit(torvane.readAllStandardOutput());
  const QString err = QString::fromLocal8Bit(torvane.readAllStandardError());
  QCOMPARE(torvane.exitStatus(), QProcess::NormalExit);  // not aborted, no core dump
  QCOMPARE(torvane.exitCode(), exitCode);
  if (!toFile) {
    const QRegularExpression expected(standardOutput, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expected.match(out).hasMatch(), qPrintable(out));
  }
  QVERIFY2(QRegularExpression(standardError).match(err).hasMatch(), qPrintable(err));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
