#pragma once

#include "indexed_image.h"

#include <QByteArray>
#include <QPoint>
#include <QSize>

#include <vector>

namespace torvane::art {

struct GifFrame {
  QPoint position;  // of the frame's top-left corner on the logical screen
  IndexedImage image;
};

// A looping animation on one global colour table. Every frame is drawn over
// the one before it (no disposal) and lets it show through where a pixel holds
// the transparent index.
struct GifAnimation {
  QSize screen;
  std::vector<QRgb> palette;  // 2, 4, 8, ... 256 entries
  int transparentIndex = 0;
  int delayHundredths = 100;
  std::vector<GifFrame> frames;
};

// The GIF89a file, written by giflib.
QByteArray encodeGif(const GifAnimation& animation);

}  // namespace torvane::art
