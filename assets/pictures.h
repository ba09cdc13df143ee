#pragma once

#include <array>

class QIcon;

namespace torvane::pictures {

// Where the splash window's pictures and the program's icons live among the
// resources that the torvane_assets library compiles in. (The Windows icon
// file, torvane.ico, goes into the executable's own resources instead.)
inline constexpr const char* kStartLight = ":/assets/start_light.gif";
inline constexpr const char* kTitle1 = ":/assets/title1.bmp";
inline constexpr const char* kTitle2 = ":/assets/title2.bmp";
inline constexpr const char* kTitle3 = ":/assets/title3.bmp";
inline constexpr const char* kCredit = ":/assets/credit.bmp";

// The icon at every size the desktop's icon theme gets, smallest first.
struct IconImage {
  int pixels;  // wide and high
  const char* path;
};
inline constexpr std::array<IconImage, 6> kIconImages{{
    {16, ":/assets/icons/hicolor/16x16/apps/torvane.png"},
    {32, ":/assets/icons/hicolor/32x32/apps/torvane.png"},
    {48, ":/assets/icons/hicolor/48x48/apps/torvane.png"},
    {64, ":/assets/icons/hicolor/64x64/apps/torvane.png"},
    {128, ":/assets/icons/hicolor/128x128/apps/torvane.png"},
    {256, ":/assets/icons/hicolor/256x256/apps/torvane.png"},
}};

// The window icon made of all of those. Qt reads each picture as it is added,
// and on X11 setting the icon sends every size to the server: about 3 ms,
// which the program spends only after showing the board.
QIcon windowIcon();

}  // namespace torvane::pictures
