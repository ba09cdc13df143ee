#include "gif_encoder.h"

#include "byte_writer.h"

#include <stdexcept>
#include <unordered_map>

namespace torvane::art {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Packs codes of varying width, least significant bit first.
class BitPacker {
public:
  void put(int code, int width) {
    buffer_ |= static_cast<std::uint32_t>(code) << filled_;
    filled_ += width;
    while (filled_ >= 8) {
      bytes_.append(static_cast<char>(buffer_ & 0xFFu));
      buffer_ >>= 8;
      filled_ -= 8;
    }
  }
  QByteArray finish() {
    if (filled_ > 0) bytes_.append(static_cast<char>(buffer_ & 0xFFu));
    return bytes_;
  }

private:
  QByteArray bytes_;
  std::uint32_t buffer_ = 0;
  int filled_ = 0;
};

int bitsFor(std::size_t paletteSize) {
  int bits = 1;
  while ((std::size_t{1} << bits) < paletteSize) ++bits;
  if ((std::size_t{1} << bits) != paletteSize || bits > 8) {
    throw std::invalid_argument("a GIF colour table holds a power of two of at most 256 entries");
  }
  return bits;
}

void writeSubBlocks(ByteWriter& out, const QByteArray& data) {
  for (qsizetype start = 0; start < data.size(); start += 255) {
    const QByteArray block = data.mid(start, 255);
    out.u8(static_cast<std::uint32_t>(block.size()));
    out.raw(block);
  }
  out.u8(0);
}

}  // namespace

QByteArray lzwCompress(const std::vector<std::uint8_t>& pixels, int minimumCodeSize) {
  const int clearCode = 1 << minimumCodeSize;
  const int endCode = clearCode + 1;
  BitPacker out;
  std::unordered_map<std::uint32_t, int> table;  // (prefix code << 8 | pixel) -> code
  int nextCode = endCode + 1;
  int width = minimumCodeSize + 1;
  out.put(clearCode, width);
  if (!pixels.empty()) {
    int prefix = pixels.front();
    for (std::size_t i = 1; i < pixels.size(); ++i) {
      const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | pixels[i];
      if (const auto found = table.find(key); found != table.end()) {
        prefix = found->second;
        continue;
      }
      out.put(prefix, width);
      if (nextCode < kTableSize) {
        table.emplace(key, nextCode++);
        // The decoder adds its entry one code later, so it widens on the same
        // code when ours has passed the current width's range.
        if (nextCode > (1 << width) && width < kMaxCodeBits) ++width;
      } else {
        out.put(clearCode, width);
        table.clear();
        nextCode = endCode + 1;
        width = minimumCodeSize + 1;
      }
      prefix = pixels[i];
    }
    out.put(prefix, width);
  }
  out.put(endCode, width);
  return out.finish();
}

QByteArray encodeGif(const GifAnimation& animation) {
  const int colourBits = bitsFor(animation.palette.size());
  ByteWriter out;
  out.text("GIF89a");
  out.u16(static_cast<std::uint32_t>(animation.screen.width()));
  out.u16(static_cast<std::uint32_t>(animation.screen.height()));
  // Global table present, its colour resolution and its size.
  out.u8(0x80u | static_cast<std::uint32_t>(colourBits - 1) << 4 | static_cast<std::uint32_t>(colourBits - 1));
  out.u8(static_cast<std::uint32_t>(animation.transparentIndex));  // background colour
  out.u8(0);                                                      // square pixels
  for (const QRgb colour : animation.palette) {
    out.u8(static_cast<std::uint32_t>(qRed(colour)));
    out.u8(static_cast<std::uint32_t>(qGreen(colour)));
    out.u8(static_cast<std::uint32_t>(qBlue(colour)));
  }

  // Loop forever.
  out.u8(0x21);
  out.u8(0xFF);
  out.u8(11);
  out.text("NETSCAPE2.0");
  out.u8(3);
  out.u8(1);
  out.u16(0);
  out.u8(0);

  const int minimumCodeSize = colourBits < 2 ? 2 : colourBits;
  for (const GifFrame& frame : animation.frames) {
    out.u8(0x21);  // graphic control: disposal 0, transparency on
    out.u8(0xF9);
    out.u8(4);
    out.u8(0x01);
    out.u16(static_cast<std::uint32_t>(animation.delayHundredths));
    out.u8(static_cast<std::uint32_t>(animation.transparentIndex));
    out.u8(0);

    out.u8(0x2C);  // image descriptor, no local table, not interlaced
    out.u16(static_cast<std::uint32_t>(frame.position.x()));
    out.u16(static_cast<std::uint32_t>(frame.position.y()));
    out.u16(static_cast<std::uint32_t>(frame.image.width));
    out.u16(static_cast<std::uint32_t>(frame.image.height));
    out.u8(0);
    out.u8(static_cast<std::uint32_t>(minimumCodeSize));
    writeSubBlocks(out, lzwCompress(frame.image.pixels, minimumCodeSize));
  }
  out.u8(0x3B);
  return out.bytes();
}

}  // namespace torvane::art
