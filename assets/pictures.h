#pragma once

#include <array>

namespace torvane::pictures {

// Where the splash window's pictures and the program's icon live among the
// resources that the torvane_assets library compiles in.
inline constexpr const char* kStartLight = ":/assets/start_light.gif";
inline constexpr const char* kTitle1 = ":/assets/title1.bmp";
inline constexpr const char* kTitle2 = ":/assets/title2.bmp";
inline constexpr const char* kTitle3 = ":/assets/title3.bmp";
inline constexpr const char* kCredit = ":/assets/credit.bmp";
inline constexpr const char* kIcon = ":/assets/torvane.ico";

// Every one of them, in the order above.
const std::array<const char*, 6>& all();

}  // namespace torvane::pictures
