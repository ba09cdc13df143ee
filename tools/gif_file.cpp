#include "gif_file.h"

#include <gif_lib.h>

#include <array>
#include <memory>
#include <stdexcept>
#include <string>

namespace torvane::art {
namespace {

int appendTo(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

[[noreturn]] void fail(int error) { throw std::runtime_error(std::string("giflib: ") + GifErrorString(error)); }

void check(GifFileType* gif, int result) {
  if (result == GIF_ERROR) fail(gif->Error);
}

int bitsFor(std::size_t paletteSize) {
  const int bits = GifBitSize(static_cast<int>(paletteSize));
  if ((std::size_t{1} << bits) != paletteSize || bits > 8) {
    throw std::invalid_argument("a GIF colour table holds a power of two of at most 256 entries");
  }
  return bits;
}

void writeAnimation(GifFileType* gif, const GifAnimation& animation) {
  const int colourBits = bitsFor(animation.palette.size());
  std::vector<GifColorType> colours;
  for (const QRgb colour : animation.palette) {
    colours.push_back({static_cast<GifByteType>(qRed(colour)), static_cast<GifByteType>(qGreen(colour)),
                       static_cast<GifByteType>(qBlue(colour))});
  }
  const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> table(
      GifMakeMapObject(static_cast<int>(colours.size()), colours.data()), GifFreeMapObject);
  if (!table) throw std::bad_alloc();

  EGifSetGifVersion(gif, true);
  check(gif, EGifPutScreenDesc(gif, animation.screen.width(), animation.screen.height(), colourBits,
                               animation.transparentIndex, table.get()));

  // Loop forever.
  constexpr std::array<GifByteType, 3> kLoopForever{1, 0, 0};
  check(gif, EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE));
  check(gif, EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"));
  check(gif, EGifPutExtensionBlock(gif, static_cast<int>(kLoopForever.size()), kLoopForever.data()));
  check(gif, EGifPutExtensionTrailer(gif));

  const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, animation.delayHundredths,
                                     animation.transparentIndex};
  std::array<GifByteType, 4> controlBytes{};
  EGifGCBToExtension(&control, controlBytes.data());
  for (const GifFrame& frame : animation.frames) {
    check(gif,
          EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(controlBytes.size()), controlBytes.data()));
    const IndexedImage& image = frame.image;
    check(gif, EGifPutImageDesc(gif, frame.position.x(), frame.position.y(), image.width, image.height, false,
                                nullptr));  // not interlaced, on the global table
    // giflib masks the pixels it is given in place, so it gets a copy.
    std::vector<GifPixelType> pixels = image.pixels;
    check(gif, EGifPutLine(gif, pixels.data(), static_cast<int>(pixels.size())));
  }
}

}  // namespace

QByteArray encodeGif(const GifAnimation& animation) {
  QByteArray bytes;
  int error = E_GIF_SUCCEEDED;
  GifFileType* gif = EGifOpen(&bytes, appendTo, &error);
  if (!gif) fail(error);
  try {
    writeAnimation(gif, animation);
  } catch (...) {
    EGifCloseFile(gif, &error);
    throw;
  }
  // Closing writes the trailer and frees the writer.
  if (EGifCloseFile(gif, &error) == GIF_ERROR) fail(error);
  return bytes;
}

}  // namespace torvane::art
