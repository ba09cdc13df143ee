#pragma once

#include <array>
#include <string_view>

class QIcon;
class QImage;

namespace torvane::pictures {

// The pictures the program shows, compiled in as the pixels that Qt's readers
// take from their files in assets/ when the program is built: showing one
// decodes nothing and loads no image plugin. Each is named by its file.
inline constexpr const char* kStartLight = "start_light.gif";  // its first frame: nothing animates it
inline constexpr const char* kTitle1 = "title1.bmp";
inline constexpr const char* kTitle2 = "title2.bmp";
inline constexpr const char* kTitle3 = "title3.bmp";
inline constexpr const char* kCredit = "credit.bmp";

// The picture of that name over its compiled-in pixels, shared rather than
// copied; a null image for a name that was not compiled in.
QImage picture(std::string_view name);

// The window icon's sizes, for title bars, task bars and window switchers.
// Docks and launchers take larger ones from the desktop's icon theme, into
// which assets/icons is installed.
struct IconImage {
  int pixels;  // wide and high
  const char* name;
};
// clang-format off
inline constexpr std::array<IconImage, 3> kIconImages{{
    {16, "icons/hicolor/16x16/apps/torvane.png"},
    {32, "icons/hicolor/32x32/apps/torvane.png"},
    {48, "icons/hicolor/48x48/apps/torvane.png"},
}};
// clang-format on

QIcon windowIcon();

}  // namespace torvane::pictures
