#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace torvane {

// What the command line asks for, decided before any display is opened.
struct CommandLineRequest {
  enum class Action {
    Start,   // open the windows, with `arguments` for Qt to read
    Print,   // write `text` to standard output and end with status 0
    Refuse,  // write `text`, one line, to standard error and end with status 2
  };
  Action action = Action::Start;
  QByteArray text;
  // Start: the arguments, the program's name first, spelled as Qt reads
  // them, and the X11 display that -display names (null where none does).
  QByteArrayList arguments;
  QByteArray display;
};

// Reads the arguments as the bytes main() was given, the program's own name
// first. The program has two options of its own; Qt's options are read as Qt
// reads them, with one dash or two, and passed on to Qt. An "=value" that Qt
// would not see is split into an argument of its own, so that Qt acts on it:
//   torvane                                -> Start
//   torvane -platform offscreen -reverse   -> Start
//   torvane --style=fusion                 -> Start, "--style=fusion"      (Qt reads that form)
//   torvane -platform=offscreen            -> Start, "-platform" "offscreen"
//   torvane -title Drag                    -> Start, "-qwindowtitle" "Drag" (on every platform)
//   torvane --version    torvane -v        -> Print "Torvane 1.00\n"
//   torvane --help       torvane -h        -> Print the usage
//   torvane --foo        -> Refuse "torvane: unknown option "--foo"; try 'torvane --help'"
//   torvane notes.txt    -> Refuse "torvane: unexpected argument "notes.txt"; try 'torvane --help'"
//   torvane -platform    -> Refuse "torvane: missing value after "-platform"; try 'torvane --help'"
//   torvane -reverse=1   -> Refuse "torvane: unexpected value after "-reverse"; try 'torvane --help'"
// Each argument a message names is quoted as the core quotes text: escaped,
// and cut after 40 characters.
CommandLineRequest readCommandLine(const QByteArrayList& arguments);

// The arguments of main() as the bytes they are.
QByteArrayList argumentsOf(int argc, const char* const* argv);

// An argument as a message on the terminal names it, quoted as the core
// quotes text: escaped, so that it carries no control codes, and cut.
QByteArray quotedArgument(const QByteArray& argument);

// Carries out a Print or a Refuse and gives the exit status.
int answer(const CommandLineRequest& request);

}  // namespace torvane
