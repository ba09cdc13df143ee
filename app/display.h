#pragma once

#include <memory>

class QApplication;

namespace torvane {

// Makes the application object, which takes Qt's options out of argc and argv
// (they must outlive it) and opens the display. Where no display can be
// opened, Qt would print several lines, advise reinstalling and abort; instead
// one line on standard error names the display that was tried and how to get
// one, and the process ends with status 1:
//   torvane: cannot open the X11 display ":199"; start torvane in a graphical
//   session, or under Xvfb with: xvfb-run torvane
// Qt's messages while the display opens are held back, and passed on once it
// is open. Should the connection to the display break later, one line says so
// before Qt's own, and the process ends with status 1 (it keeps nothing that
// could be lost):
//   torvane: lost the connection to the X11 display ":0"; ...
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

}  // namespace torvane
