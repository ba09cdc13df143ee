#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace torvane {

// The text that -h, --help, -v or --version asks for, help first, wherever it
// stands between the program's name and "--", which ends the options; null
// where none is given. They are read before Qt reads anything, since they
// need no display, so even a value of one of Qt's options that is spelt like
// one counts:
//   torvane -reverse --version   -> "Torvane 1.00\n"
//   torvane -qwindowtitle -h     -> the usage
//   torvane -platform offscreen  -> null
//   torvane -- -h                -> null
QByteArray helpOrVersion(const QByteArrayList& arguments);

// The one line that refuses the first word after "--", null where none
// follows. Qt would read its own options there too, so it is asked before Qt
// reads anything:
//   torvane -- -reverse   -> torvane: unexpected argument "-reverse"; try 'torvane --help'
//   torvane -reverse --   -> null
QByteArray refusalAfterOptions(const QByteArrayList& arguments);

// The one line that refuses what Qt left of the command line, the program's
// name first; null where Qt took everything. The program takes no argument:
//   torvane --foo=3     -> torvane: unknown option "--foo=3"; try 'torvane --help'
//   torvane notes.txt   -> torvane: unexpected argument "notes.txt"; try 'torvane --help'
QByteArray refusalOf(const QByteArrayList& left);

// The arguments of main() as the bytes they are; on Windows, where argv is in
// the ANSI code page, the wide command line's words as UTF-8.
QByteArrayList argumentsOf(int argc, const char* const* argv);

// What Qt left of them once the application is made, the same way.
QByteArrayList argumentsLeft(int argc, const char* const* argv);

// An argument as a message on the terminal names it: escaped, so that it
// carries no control codes or bidi marks, cut, and quoted plainly. On
// Windows every character beyond ASCII is escaped too.
QByteArray quotedArgument(const QByteArray& argument);

// Help, version or a refusal as the Windows message box shows it: rich text
// that shows the text as it is, every space and line kept, unwrapped, in a
// fixed-pitch font:
//   "torvane: unexpected argument \"<b>\"\n" -> <pre>torvane: unexpected argument &quot;&lt;b&gt;&quot;</pre>
QString messageBoxText(const QByteArray& text);

// Writes help or version text to standard output and gives the exit status:
// 1 where it could not all be written (a full disk, a closed output). On
// Windows a program given no standard output shows it in a message box.
int print(const QByteArray& text);

// Writes a refusal to standard error, or shows it as print() does, and gives
// the exit status 2.
int refuse(const QByteArray& refusal);

}  // namespace torvane
