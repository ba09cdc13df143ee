// Run by the build: reads pictures with Qt's own image readers and writes
// their pixels as a C++ source file, so that the program shows them without
// decoding a file or loading an image plugin while it starts.
//
//   picture_pixels OUTPUT.cpp FOLDER NAME...
//
// Each NAME is a picture's path inside FOLDER, and the name the program asks
// for it by. Of an animation only the first frame is taken. Pixels are
// written as Qt holds them in memory, 0xAARRGGBB a pixel, a row at a time
// from the top: RGB32 for an opaque picture, ARGB32 for one with an alpha
// channel, which are the formats Qt's readers give for these pictures.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

#include <cstdio>

namespace {

int fail(const QString& what) {
  std::fprintf(stderr, "picture_pixels: %s\n", qPrintable(what));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return fail(QStringLiteral("usage: picture_pixels OUTPUT.cpp FOLDER NAME..."));
  const QString folder = QString::fromLocal8Bit(argv[2]);

  QString text;
  QTextStream out(&text);
  out << "// Made by tools/picture_pixels from the pictures in assets/ when the program is built.\n"
         "#include \"assets/compiled_pictures.h\"\n\n"
         "namespace torvane::pictures {\nnamespace {\n\n";
  QStringList rows;
  for (int i = 3; i < argc; ++i) {
    const QString name = QString::fromLocal8Bit(argv[i]);
    QImageReader reader(folder + QLatin1Char('/') + name);
    const QImage image = reader.read();
    if (image.isNull()) return fail(QStringLiteral("cannot read %1/%2: %3").arg(folder, name, reader.errorString()));
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
      return fail(QStringLiteral("%1 reads as image format %2, not RGB32 or ARGB32").arg(name).arg(image.format()));

    const QString array = QStringLiteral("kPixels%1").arg(i - 3);
    out << "constexpr std::uint32_t " << array << "[] = {";
    for (int y = 0; y < image.height(); ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        out << ((x % 8 == 0) ? "\n    " : " ") << QStringLiteral("0x%1u,").arg(line[x], 8, 16, QLatin1Char('0'));
      }
    }
    out << "\n};\n\n";
    rows << QStringLiteral("    {\"%1\", %2, %3, %4, %5},")
                .arg(name)
                .arg(image.width())
                .arg(image.height())
                .arg(QLatin1StringView(image.hasAlphaChannel() ? "true" : "false"), array);
  }
  out << "constexpr CompiledPicture kPictures[] = {\n"
      << rows.join(QLatin1Char('\n')) << "\n};\n\n"
      << "}  // namespace\n\n"
         "std::span<const CompiledPicture> compiledPictures() { return kPictures; }\n\n"
         "}  // namespace torvane::pictures\n";
  out.flush();

  QFile file(QString::fromLocal8Bit(argv[1]));
  const QByteArray bytes = text.toUtf8();
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    return fail(QStringLiteral("cannot write %1").arg(file.fileName()));
  return 0;
}
