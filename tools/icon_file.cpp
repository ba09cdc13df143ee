#include "icon_file.h"

#include <QDataStream>
#include <QIODevice>

#include <stdexcept>

namespace torvane::art {
namespace {

constexpr quint32 kInfoHeaderSize = 40;

int bitsPerPixelOf(const IconImage& icon) {
  if (icon.palette.size() == 2) return 1;
  if (icon.palette.size() == 16) return 4;
  throw std::invalid_argument("icon pictures have 2 or 16 colours");
}

// Rows bottom-up, `bitsPerPixel` bits a pixel packed from the high bit down,
// each row padded to a multiple of four bytes.
QByteArray packRows(const IndexedImage& image, int bitsPerPixel, auto valueOf) {
  QByteArray bytes;
  for (int y = image.height - 1; y >= 0; --y) {
    unsigned pending = 0;
    int filled = 0;
    for (int x = 0; x < image.width; ++x) {
      pending = pending << bitsPerPixel | valueOf(image.at(x, y));
      filled += bitsPerPixel;
      if (filled == 8) {
        bytes.append(static_cast<char>(pending));
        pending = 0;
        filled = 0;
      }
    }
    if (filled > 0) bytes.append(static_cast<char>(pending << (8 - filled)));
    while (bytes.size() % 4 != 0) bytes.append('\0');
  }
  return bytes;
}

// A picture as the icon file holds it: a bitmap header whose height counts the
// colour rows and the mask rows together, the palette, the colour rows, then
// the mask rows (1 where the desktop shows through).
QByteArray iconBody(const IconImage& icon) {
  const int bits = bitsPerPixelOf(icon);
  const IndexedImage& pixels = icon.pixels;
  const auto transparent = [](std::uint8_t index) { return index == IconImage::kIconTransparent; };
  const QByteArray colours =
      packRows(pixels, bits, [&](std::uint8_t index) { return transparent(index) ? 0u : index; });
  const QByteArray mask = packRows(pixels, 1, [&](std::uint8_t index) { return transparent(index) ? 1u : 0u; });

  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << kInfoHeaderSize << qint32{pixels.width} << qint32{2 * pixels.height} << quint16{1}  // planes
      << static_cast<quint16>(bits) << quint32{0}                                            // uncompressed
      << static_cast<quint32>(colours.size() + mask.size()) << kPixelsPerMetre << kPixelsPerMetre << quint32{0}
      << quint32{0};  // every palette entry used and important
  // Little-endian 0x00RRGGBB is the file's blue, green, red, 0.
  for (const QRgb colour : icon.palette) out << static_cast<quint32>(colour & 0xFFFFFFu);
  out.writeRawData(colours.constData(), static_cast<int>(colours.size()));
  out.writeRawData(mask.constData(), static_cast<int>(mask.size()));
  return bytes;
}

}  // namespace

QByteArray encodeIco(const std::vector<IconImage>& images) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << quint16{0} << quint16{1} << static_cast<quint16>(images.size());  // reserved, an icon (not a cursor), count
  std::vector<QByteArray> bodies;
  auto offset = static_cast<quint32>(6 + 16 * images.size());
  for (const IconImage& icon : images) {
    bodies.push_back(iconBody(icon));
    out << static_cast<quint8>(icon.pixels.width) << static_cast<quint8>(icon.pixels.height)
        << static_cast<quint8>(icon.palette.size()) << quint8{0} << quint16{1}  // reserved, planes
        << static_cast<quint16>(bitsPerPixelOf(icon)) << static_cast<quint32>(bodies.back().size()) << offset;
    offset += static_cast<quint32>(bodies.back().size());
  }
  for (const QByteArray& body : bodies) out.writeRawData(body.constData(), static_cast<int>(body.size()));
  return bytes;
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
