#pragma once

#include <memory>

class QApplication;

namespace torvane {

// Makes the application object, which takes Qt's options out of argc and argv
// (they must outlive it) and opens the display. Qt's messages pass on as Qt
// sends them. Where no display opens, Qt's last words, which send the user to
// reinstall the program, give way to one line that says how to get a display,
// and the process ends with status 1, also where Qt ends it on a warning made
// fatal (QT_FATAL_WARNINGS):
//   qt.qpa.xcb: could not connect to display :199
//   qt.qpa.plugin: Could not load the Qt platform plugin "xcb" in "" even though it was found.
//   torvane: cannot open a display; start torvane in a graphical session, or under Xvfb with: xvfb-run torvane
// Qt itself reports a connection lost later, and ends the process with status 1.
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

}  // namespace torvane
