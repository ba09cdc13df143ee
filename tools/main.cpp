// Draws the splash window's pictures and the program's icon into the folder
// given on the command line (the project's assets/ folder).

#include "icon_art.h"
#include "lettering.h"
#include "light_tower.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>

#include <cstdio>
#include <stdexcept>

namespace {

using namespace torvane::art;

const QString kFontFolder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
}

QString loadFont(const QString& fileName) {
  const int id = QFontDatabase::addApplicationFont(kFontFolder + fileName);
  if (id < 0) throw std::runtime_error(fileName.toStdString() + " is missing: install fonts-dejavu-core");
  return QFontDatabase::applicationFontFamilies(id).constFirst();
}

// Reads the animation back as a viewer would and compares every frame, as
// shown on the logical screen, with the pictures it was made from.
void checkAnimation(const QByteArray& bytes, const GifAnimation& animation) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer, "gif");
  QImage expected(animation.screen, QImage::Format_ARGB32);
  expected.fill(Qt::transparent);
  for (const GifFrame& frame : animation.frames) {
    for (int y = 0; y < frame.image.height; ++y) {
      for (int x = 0; x < frame.image.width; ++x) {
        const int index = frame.image.at(x, y);
        if (index != animation.transparentIndex) {
          expected.setPixel(frame.position + QPoint(x, y), animation.palette[static_cast<std::size_t>(index)]);
        }
      }
    }
    if (reader.read().convertToFormat(QImage::Format_ARGB32) != expected) {
      throw std::logic_error("the start light does not read back as drawn");
    }
  }
}

// Qt writes a picture without alpha as a Windows bitmap of 24 bits a pixel,
// uncompressed, rows bottom-up; the two-colour credit too, as it stays RGB32.
void writeBitmap(const QDir& folder, const QString& name, const QImage& drawn) {
  QImage image = drawn.convertToFormat(QImage::Format_RGB32);
  image.setDotsPerMeterX(kPixelsPerMetre);
  image.setDotsPerMeterY(kPixelsPerMetre);
  const QString path = folder.filePath(name);
  if (!image.save(path, "BMP")) throw std::runtime_error("cannot write " + path.toStdString());
  if (QImage(path) != image) throw std::logic_error(name.toStdString() + " does not read back as drawn");
}

void writeIcons(const QDir& folder) {
  const std::vector<IconImage> images = drawIconImages();
  writeFile(folder.filePath("torvane.ico"), encodeIco(images));
  const auto savePng = [&folder](const QImage& image) {
    const QString size = QString::number(image.width());
    const QString path = folder.filePath("icons/hicolor/" + size + "x" + size + "/apps/torvane.png");
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG")) throw std::runtime_error("cannot write " + path.toStdString());
  };
  // The small sizes are the icon file's sixteen-colour pictures.
  savePng(toArgb(images[2]));
  savePng(toArgb(images[1]));
  for (const int size : {48, 64, 128, 256}) savePng(drawSmoothIcon(size));
}

void generate(const QDir& folder) {
  const GifAnimation startLight = drawStartLight();
  const QByteArray gif = encodeGif(startLight);
  checkAnimation(gif, startLight);
  writeFile(folder.filePath("start_light.gif"), gif);

  // A lower picture covers the bottom rows of the one above it: each title
  // keeps its letters to the top 32 rows.
  const QString serif = loadFont("DejaVuSerif-Bold.ttf");
  writeBitmap(folder, "title1.bmp", drawTitle(serif, "TOR", {198, 45}, 32));
  writeBitmap(folder, "title2.bmp", drawTitle(serif, "VA", {199, 41}, 32));
  writeBitmap(folder, "title3.bmp", drawTitle(serif, "NE", {160, 42}, 32));
  writeBitmap(folder, "credit.bmp", drawCredit(loadFont("DejaVuSans.ttf"), "by Torvane team", {104, 22}));

  writeIcons(folder);
}

}  // namespace

int main(int argc, char* argv[]) {
  const QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s ASSETS_FOLDER\n", argv[0]);
    return 2;
  }
  try {
    generate(QDir(QString::fromLocal8Bit(argv[1])));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
