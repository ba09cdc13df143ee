#pragma once

#include <QRect>
#include <QRgb>

#include <cmath>
#include <cstdint>
#include <vector>

namespace torvane::art {

// A picture of palette indices, one byte a pixel, rows from the top.
struct IndexedImage {
  IndexedImage(int width, int height, std::uint8_t fill)
      : width(width), height(height), pixels(static_cast<std::size_t>(width * height), fill) {}

  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  QRect rect() const { return {0, 0, width, height}; }

  IndexedImage cropped(const QRect& area) const;
  void fillRect(const QRect& area, std::uint8_t index);

  // Calls indexAt(dx, dy) for each pixel whose centre lies within radius of
  // (cx, cy), with dx and dy the offset of that centre in units of the radius,
  // and stores what it returns.
  template <typename IndexAt>
  void fillDisc(double cx, double cy, double radius, IndexAt indexAt) {
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y) {
      for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
        const double dx = (x + 0.5 - cx) / radius;
        const double dy = (y + 0.5 - cy) / radius;
        if (contains(x, y) && dx * dx + dy * dy <= 1.0) at(x, y) = indexAt(dx, dy);
      }
    }
  }

  int width;
  int height;
  std::vector<std::uint8_t> pixels;
};

// The entry of a ramp of `count` shades for a brightness between 0 and 1.
inline std::uint8_t shadeOf(std::uint8_t first, int count, double brightness) {
  const double clamped = std::fmin(1.0, std::fmax(0.0, brightness));
  return static_cast<std::uint8_t>(first + std::lround(clamped * (count - 1)));
}

}  // namespace torvane::art
