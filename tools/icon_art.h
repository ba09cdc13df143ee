#pragma once

#include "icon_file.h"

#include <QImage>

#include <vector>

namespace torvane::art {

// The program's icon, a starting-light tree: 32 x 32 in two colours, then
// 32 x 32 and 16 x 16 in the sixteen standard colours.
std::vector<IconImage> drawIconImages();

// The same design drawn smoothly at any size, for the desktop's icon theme.
QImage drawSmoothIcon(int size);

}  // namespace torvane::art
