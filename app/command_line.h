#pragma once

#include <QString>
#include <QStringList>

namespace torvane {

// What the command line asks for, decided before any display is opened.
struct CommandLineRequest {
  enum class Action {
    Start,   // open the windows; Qt reads its own options from the same arguments
    Print,   // write `text` to standard output and end with status 0
    Refuse,  // write `text`, one line, to standard error and end with status 2
  };
  Action action = Action::Start;
  QString text;
};

// Reads the arguments, the program's own name first. The program has two
// options of its own; Qt's options (-platform, -style, -reverse, -display,
// -qwindowgeometry and the others Qt documents) are allowed and left for Qt:
//   torvane                               -> Start
//   torvane -platform offscreen -reverse  -> Start
//   torvane --style=fusion                -> Start
//   torvane --version    torvane -v       -> Print "Torvane 1.00\n"
//   torvane --help       torvane -h       -> Print the usage
//   torvane --foo        -> Refuse "torvane: unknown option '--foo'; try 'torvane --help'"
//   torvane notes.txt    -> Refuse "torvane: unexpected argument 'notes.txt'; try 'torvane --help'"
//   torvane -platform    -> Refuse "torvane: missing value after '-platform'; try 'torvane --help'"
CommandLineRequest readCommandLine(const QStringList& arguments);

// The arguments of main() as text in the locale's encoding.
QStringList argumentsOf(int argc, const char* const* argv);

// Carries out a Print or a Refuse and gives the exit status.
int answer(const CommandLineRequest& request);

}  // namespace torvane
