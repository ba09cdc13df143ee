#include "indexed_image.h"

namespace torvane::art {

IndexedImage IndexedImage::cropped(const QRect& area) const {
  IndexedImage part(area.width(), area.height(), 0);
  for (int y = 0; y < area.height(); ++y) {
    for (int x = 0; x < area.width(); ++x) part.at(x, y) = at(area.x() + x, area.y() + y);
  }
  return part;
}

void IndexedImage::fillRect(const QRect& area, std::uint8_t index) {
  const QRect clipped = area & rect();
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) at(x, y) = index;
  }
}

}  // namespace torvane::art
