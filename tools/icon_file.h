#pragma once

#include "indexed_image.h"

#include <QByteArray>
#include <QImage>

#include <vector>

namespace torvane::art {

// 96 dots per inch, as the icon file and the bitmaps record it.
constexpr int kPixelsPerMetre = 3780;

// One picture of an icon file, drawn on a palette of 2 or 16 colours.
// Pixels holding kIconTransparent let the desktop show through.
struct IconImage {
  static constexpr std::uint8_t kIconTransparent = 0xFF;
  IndexedImage pixels;
  std::vector<QRgb> palette;
};

// A Windows icon file of the pictures in the given order, each at 1 or 4 bits
// a pixel with its transparency mask. Qt's own icon writer puts one picture
// in a file, and always at 32 bits a pixel.
QByteArray encodeIco(const std::vector<IconImage>& images);

// The same picture as a 32-bit image with alpha, for the PNG icons.
QImage toArgb(const IconImage& icon);

}  // namespace torvane::art
