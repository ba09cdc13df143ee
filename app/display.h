#pragma once

#include <memory>

class QApplication;

namespace torvane {

// Makes the application object, which takes Qt's options out of argc and argv
// (they must outlive it) and opens the display. Where none opens, Qt's lines
// and abort give way to one line on standard error that names the display
// tried and how to get one, and the process ends with status 1:
//   torvane: cannot open the X11 display ":199"; start torvane in a graphical
//   session, or under Xvfb with: xvfb-run torvane
// Qt's messages while the display opens are held back until it is open.
// Should the connection break later, one line says so before Qt's own, and
// the process ends with status 1:
//   torvane: lost the connection to the X11 display ":0"; ...
std::unique_ptr<QApplication> openDisplay(int& argc, char** argv);

}  // namespace torvane
