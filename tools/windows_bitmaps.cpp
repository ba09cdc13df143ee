#include "windows_bitmaps.h"

#include "byte_writer.h"

#include <stdexcept>

namespace torvane::art {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

std::uint32_t rowBytes(int width, int bitsPerPixel) {
  return static_cast<std::uint32_t>((width * bitsPerPixel + 31) / 32 * 4);
}

void writeInfoHeader(ByteWriter& out, int width, int height, int bitsPerPixel, std::uint32_t imageSize) {
  out.u32(kInfoHeaderSize);
  out.i32(width);
  out.i32(height);  // positive: the rows are stored bottom-up
  out.u16(1);       // planes
  out.u16(static_cast<std::uint32_t>(bitsPerPixel));
  out.u32(0);  // BI_RGB, uncompressed
  out.u32(imageSize);
  out.i32(kPixelsPerMetre);
  out.i32(kPixelsPerMetre);
  out.u32(0);  // colours used: all the palette holds
  out.u32(0);  // all colours important
}

// Rows bottom-up, `bitsPerPixel` bits a pixel packed from the high bit down,
// each row padded to a multiple of four bytes.
QByteArray packRows(int width, int height, int bitsPerPixel, auto valueAt) {
  ByteWriter out;
  for (int y = height - 1; y >= 0; --y) {
    std::uint32_t pending = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
      pending = pending << bitsPerPixel | valueAt(x, y);
      filled += bitsPerPixel;
      if (filled == 8) {
        out.u8(pending);
        pending = 0;
        filled = 0;
      }
    }
    if (filled > 0) out.u8(pending << (8 - filled));
    while (out.size() % 4 != 0) out.u8(0);
  }
  return out.bytes();
}

int bitsPerPixelOf(const IconImage& icon) {
  if (icon.palette.size() == 2) return 1;
  if (icon.palette.size() == 16) return 4;
  throw std::invalid_argument("icon pictures have 2 or 16 colours");
}

}  // namespace

QByteArray encodeBmp24(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const std::uint32_t imageSize = rowBytes(rgb.width(), 24) * static_cast<std::uint32_t>(rgb.height());
  ByteWriter out;
  out.text("BM");
  out.u32(kFileHeaderSize + kInfoHeaderSize + imageSize);
  out.u32(0);  // two reserved words
  out.u32(kFileHeaderSize + kInfoHeaderSize);
  writeInfoHeader(out, rgb.width(), rgb.height(), 24, imageSize);
  for (int y = rgb.height() - 1; y >= 0; --y) {
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb pixel = rgb.pixel(x, y);
      out.u8(static_cast<std::uint32_t>(qBlue(pixel)));
      out.u8(static_cast<std::uint32_t>(qGreen(pixel)));
      out.u8(static_cast<std::uint32_t>(qRed(pixel)));
    }
    while ((out.size() - kFileHeaderSize - kInfoHeaderSize) % 4 != 0) out.u8(0);
  }
  return out.bytes();
}

QByteArray encodeIco(const std::vector<IconImage>& images) {
  std::vector<QByteArray> bodies;
  for (const IconImage& icon : images) {
    const int bits = bitsPerPixelOf(icon);
    const IndexedImage& pixels = icon.pixels;
    const QByteArray colours = packRows(pixels.width, pixels.height, bits, [&](int x, int y) {
      const std::uint8_t index = pixels.at(x, y);
      return index == IconImage::kIconTransparent ? 0u : index;
    });
    const QByteArray mask = packRows(pixels.width, pixels.height, 1, [&](int x, int y) {
      return pixels.at(x, y) == IconImage::kIconTransparent ? 1u : 0u;
    });
    ByteWriter body;
    // The height counts the colour rows and the mask rows together.
    writeInfoHeader(body, pixels.width, 2 * pixels.height, bits,
                    static_cast<std::uint32_t>(colours.size() + mask.size()));
    for (const QRgb colour : icon.palette) {
      body.u8(static_cast<std::uint32_t>(qBlue(colour)));
      body.u8(static_cast<std::uint32_t>(qGreen(colour)));
      body.u8(static_cast<std::uint32_t>(qRed(colour)));
      body.u8(0);
    }
    body.raw(colours);
    body.raw(mask);
    bodies.push_back(body.bytes());
  }

  ByteWriter out;
  out.u16(0);  // reserved
  out.u16(1);  // an icon, not a cursor
  out.u16(static_cast<std::uint32_t>(images.size()));
  auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.u8(static_cast<std::uint32_t>(images[i].pixels.width));
    out.u8(static_cast<std::uint32_t>(images[i].pixels.height));
    out.u8(static_cast<std::uint32_t>(images[i].palette.size()));
    out.u8(0);
    out.u16(1);  // planes
    out.u16(static_cast<std::uint32_t>(bitsPerPixelOf(images[i])));
    out.u32(static_cast<std::uint32_t>(bodies[i].size()));
    out.u32(offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const QByteArray& body : bodies) out.raw(body);
  return out.bytes();
}

QImage toArgb(const IconImage& icon) {
  QImage image(icon.pixels.width, icon.pixels.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const std::uint8_t index = icon.pixels.at(x, y);
      image.setPixel(x, y, index == IconImage::kIconTransparent ? qRgba(0, 0, 0, 0) : icon.palette[index]);
    }
  }
  return image;
}

}  // namespace torvane::art
