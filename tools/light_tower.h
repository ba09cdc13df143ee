#pragma once

#include "gif_file.h"

namespace torvane::art {

// The splash window's starting-light tower, 50 x 138 pixels on a 64-colour
// table whose last entry, black, is transparent. Frame 0 shows every large
// lamp unlit; frames 1 to 5 are patches that light the top, middle and bottom
// amber pair and the green pair in turn and then put every large lamp out.
GifAnimation drawStartLight();

}  // namespace torvane::art
