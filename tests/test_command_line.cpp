// The command line, and the start of the real executable where it must end
// before or instead of opening a window.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include "app/command_line.h"

#ifdef Q_OS_WIN
#include <windows.h>

// Windows has no /dev/full: standard output is the read end of a pipe. A
// window program started from a console is given no standard output at all.
const QString kUnwritable = QStringLiteral("the read end of a pipe");
const QString kNoHandles = QStringLiteral("no standard output");
#else
const QString kUnwritable = QStringLiteral("/dev/full");
#endif

class CommandLineTest : public QObject {
  Q_OBJECT

private slots:
  void refuses_data();
  void refuses();
  void messageBoxText();
  void executable_data();
  void executable();

private:
  QTemporaryDir runtimeDir_;  // a runtime directory, with no Wayland compositor in it
};

// What Qt left of the command line, as bytes: they cannot all pass through QProcess.
void CommandLineTest::refuses_data() {
  QTest::addColumn<QByteArrayList>("left");
  QTest::addColumn<QByteArray>("refusal");

  QTest::newRow("unknown option, named with its value, before a stray argument")
      << QByteArrayList{"notes.txt", "--foo=3"}
      << QByteArray("torvane: unknown option \"--foo=3\"; try 'torvane --help'");
  QTest::newRow("stray argument with escape codes, a line break and a byte that is not UTF-8")
      << QByteArrayList{"\x1b[31m\nx\xff"}
      << QByteArray("torvane: unexpected argument \"<U+001B>[31m<U+000A>x<0xFF>\"; try 'torvane --help'");
  QTest::newRow("-- alone, which ends the options and leaves nothing") << QByteArrayList{"--"} << QByteArray();
}

void CommandLineTest::refuses() {
  QFETCH(QByteArrayList, left);
  QFETCH(QByteArray, refusal);
  QCOMPARE(torvane::refusalOf(QByteArrayList{"torvane"} + left), refusal);
}

// The Windows message box shows help and a refusal quoting markup as they are, unwrapped.
void CommandLineTest::messageBoxText() {
  for (const QByteArray& text : {torvane::helpOrVersion({"torvane", "-h"}), QByteArray("torvane: \"<b>&amp;\"\n")}) {
    QTextDocument shown;
    shown.setHtml(torvane::messageBoxText(text));
    QCOMPARE(shown.toPlainText() + '\n', QString::fromUtf8(text));
    QVERIFY(shown.firstBlock().blockFormat().nonBreakableLines());
  }
}

// The real executable, started as a user would without a usable display.
// "NAME=value" sets a variable; @runtime@ stands for an empty directory.
// An exit status of -1: it runs on, still half a second after standard error
// matches, and is then ended; of -2: Qt aborts it.
// clang-format off
void CommandLineTest::executable_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("environment");
  QTest::addColumn<QString>("standardOutput");  // a pattern for what is written, or kUnwritable or kNoHandles
  QTest::addColumn<int>("exitCode");
  QTest::addColumn<QString>("standardError");  // a pattern

  const QStringList offscreen{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=@runtime@"};
#ifdef Q_OS_WIN
  const QString eol = QStringLiteral("\r\n");  // the C library writes text with Windows' line ends
  const QString fee = QStringLiteral("f<U\\+00E9>e");
  const QString qtMessagesAtStart;
#else
  const QString eol = QStringLiteral("\n");
  const QString fee = QStringLiteral("f\u00e9e");
  const QString qtMessagesAtStart = QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set[\\s\\S]*\n");
#endif
  QTest::newRow("-v after a Qt option, with no display") << QStringList{"-reverse", "-v"} << QStringList{}
                                                        << "^Torvane 1\\.00" + eol + "$" << 0 << "^$";
  QTest::newRow("-h where Qt would read a title, help first") << QStringList{"-qwindowtitle", "-h", "--version"}
      << QStringList{} << "^Usage: torvane \\[option\\]" + eol << 0 << "^$";
  QTest::newRow("-h after --, where nothing is an option: the first word after it refused, as given, with no display")
      << QStringList{"--", "f\u00e9e", "-h"} << QStringList{} << "^$" << 2
      << "^torvane: unexpected argument \"" + fee + "\"; try 'torvane --help'" + eol + "$";
  QTest::newRow("--version to an output it cannot write") << QStringList{"--version"} << QStringList{} << kUnwritable
      << 1 << "^torvane: cannot write to standard output" + eol + "$";
  QTest::newRow("-platform=offscreen, which Qt does not read, quoted plainly")
      << QStringList{"-platform=offscreen"} << offscreen << "^$" << 2
      << "^torvane: unknown option \"-platform=offscreen\"; try 'torvane --help'" + eol + "$";
  QTest::newRow("a stray argument beyond ASCII, as given") << QStringList{"f\u00e9e"} << offscreen << "^$" << 2
      << "^torvane: unexpected argument \"" + fee + "\"; try 'torvane --help'" + eol + "$";
  QTest::newRow("-qwindowtitle -reverse, a title to Qt, with Qt's messages passed on, at start and after")
      << QStringList{"-platform", "offscreen", "-qwindowtitle", "-reverse"}
      << QStringList{"XDG_RUNTIME_DIR=", "QT_LOGGING_RULES=qt.qpa.backingstore.debug=true"} << "^$" << -1
      << "^" + qtMessagesAtStart + "qt\\.qpa\\.backingstore: ";
#ifdef Q_OS_WIN
  // As Explorer starts it: Qt writes its own messages to the debugger, not to the test's standard error.
  QTest::newRow("--version with no standard output, in a message box that waits")
      << QStringList{"--version"} << QStringList{"QT_FORCE_STDERR_LOGGING="} << kNoHandles << -1 << "^$";
#else
  // Qt's lines in Qt's order, each platform's two, then ours in place of Qt's last words.
  const QString xcb199 = QStringLiteral("qt\\.qpa\\.xcb: could not connect to display :199\n");
  const QString ours = QStringLiteral(
      "torvane: cannot open a display; start torvane in a graphical session, or under Xvfb with: xvfb-run torvane\n$");
  QTest::newRow("neither of Qt's two choices")
      << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland;xcb", "XDG_RUNTIME_DIR=@runtime@", "DISPLAY=:199"}
      << "^$" << 1 << "^Failed to create wl_display [^\n]*\n[^\n]*\"wayland\"[^\n]*\n" + xcb199 +
                        "qt\\.qpa\\.plugin: Could not load the Qt platform plugin \"xcb\"[^\n]*\n" + ours;
  QTest::newRow("no display, with Qt's warnings made fatal") << QStringList{}
      << QStringList{"QT_FATAL_WARNINGS=1", "DISPLAY=:199"} << "^$" << 1 << "^" + xcb199 + ours;
  QTest::newRow("a warning made fatal once the display is open: Qt's abort, no line of ours")
      << QStringList{"-platform", "offscreen"} << QStringList{"QT_FATAL_WARNINGS=1", "XDG_RUNTIME_DIR="} << "^$" << -2
      << "^" + qtMessagesAtStart + "$";
#endif
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
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the test's own
  // Wine shows Windows' windows on the X display.
#ifndef Q_OS_WIN
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) env.remove(QString::fromLatin1(name));
#endif
  for (QString setting : environment) {
    setting.replace(QStringLiteral("@runtime@"), runtimeDir_.path());
    env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
  }
  if (env.value(QStringLiteral("DISPLAY")) == QLatin1String(":199") && QFile::exists("/tmp/.X11-unix/X199"))
    QSKIP("an X server is listening on display :199");

#ifdef Q_OS_WIN
  if (standardOutput == kNoHandles && env.contains(QStringLiteral("WINEPREFIX")) &&
      !env.contains(QStringLiteral("DISPLAY")))
    QSKIP("Wine has no X display here to show a message box on");
#endif

  QProcess torvane;
  torvane.setProcessEnvironment(env);
  const bool unwritable = standardOutput == kUnwritable;
#ifdef Q_OS_WIN
  HANDLE readEnd = nullptr, writeEnd = nullptr;  // null where there is no standard output at all
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  if (unwritable) QVERIFY(CreatePipe(&readEnd, &writeEnd, &inherited, 0));
  if (unwritable || standardOutput == kNoHandles)
    torvane.setCreateProcessArgumentsModifier(
        [readEnd](QProcess::CreateProcessArguments* call) { call->startupInfo->hStdOutput = readEnd; });
  const auto closePipe = qScopeGuard([&] {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
  });
#else
  if (unwritable) torvane.setStandardOutputFile(kUnwritable);
#endif
  torvane.start(QStringLiteral(TORVANE_EXECUTABLE), arguments);
  QString err;
  if (exitCode == -1) {
    const QRegularExpression expected(standardError);
    QTRY_VERIFY_WITH_TIMEOUT(expected.match(err += torvane.readAllStandardError()).hasMatch(), 30000);
    QTest::qWait(500);
    QVERIFY2(torvane.state() == QProcess::Running, "torvane ended");
    torvane.kill();
  }
  QVERIFY2(torvane.waitForFinished(30000), "torvane is still running");
  const QString out = QString::fromUtf8(torvane.readAllStandardOutput());
  err += QString::fromUtf8(torvane.readAllStandardError());
  if (exitCode == -2) QCOMPARE(torvane.exitStatus(), QProcess::CrashExit);
  if (exitCode >= 0) {
    QCOMPARE(torvane.exitStatus(), QProcess::NormalExit);  // not aborted, no core dump
    QCOMPARE(torvane.exitCode(), exitCode);
  }
  if (standardOutput.startsWith(QLatin1Char('^'))) {
    const QRegularExpression expected(standardOutput, QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expected.match(out).hasMatch(), qPrintable(out));
  }
  QVERIFY2(QRegularExpression(standardError).match(err).hasMatch(), qPrintable(err));
}

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
