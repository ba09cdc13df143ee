#pragma once

#include <cstdint>
#include <span>

namespace torvane::pictures {

// A picture as the build compiled it in (tools/picture_pixels.cpp writes the
// table): its pixels as Qt's readers gave them from its file, 0xAARRGGBB a
// pixel, a row at a time from the top.
struct CompiledPicture {
  const char* name;  // its path in assets/
  int width;
  int height;
  bool hasAlpha;  // ARGB32; otherwise RGB32, every pixel opaque
  const std::uint32_t* pixels;
};

std::span<const CompiledPicture> compiledPictures();

}  // namespace torvane::pictures
