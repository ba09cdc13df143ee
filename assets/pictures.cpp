#include "assets/pictures.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "assets/compiled_pictures.h"

namespace torvane::pictures {

QImage picture(std::string_view name) {
  for (const CompiledPicture& compiled : compiledPictures()) {
    if (name != compiled.name) continue;
    return QImage(reinterpret_cast<const uchar*>(compiled.pixels), compiled.width, compiled.height,
                  compiled.width * qsizetype{4}, compiled.hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  }
  return {};
}

QIcon windowIcon() {
  QIcon icon;
  for (const IconImage& image : kIconImages) icon.addPixmap(QPixmap::fromImage(picture(image.name)));
  return icon;
}

}  // namespace torvane::pictures
