// The pictures in assets/ as Qt's image readers show them, the pixels the
// program compiles in from them, and the few fields of their files that Qt
// does not show: where each GIF frame goes and how it is drawn, and the bitmap
// and icon headers.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <utility>
#include <vector>

#include "assets/pictures.h"

namespace {

QString assetPath(const QString& name) { return QStringLiteral(TORVANE_ASSETS_DIR "/") + name; }

QByteArray readAsset(const QString& name) {
  QFile file(assetPath(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Little-endian fields; past the end of the file they read as 0.
quint32 u8(const QByteArray& bytes, qsizetype at) { return at < bytes.size() ? static_cast<quint8>(bytes.at(at)) : 0; }
quint32 u16(const QByteArray& bytes, qsizetype at) { return u8(bytes, at) | u8(bytes, at + 1) << 8; }
quint32 u32(const QByteArray& bytes, qsizetype at) { return u16(bytes, at) | u16(bytes, at + 2) << 16; }
int i32(const QByteArray& bytes, qsizetype at) { return static_cast<qint32>(u32(bytes, at)); }

// What a GIF file says about one frame besides its pixels: the graphic
// control block before it, and its place on the logical screen.
struct GifFrameFields {
  QByteArray control;
  QRect rect;
};

// Walks the blocks after the global colour table, skipping each one's data.
std::vector<GifFrameFields> gifFrames(const QByteArray& bytes) {
  const auto skipSubBlocks = [&bytes](qsizetype at) {
    while (u8(bytes, at) != 0) at += 1 + u8(bytes, at);
    return at + 1;
  };
  qsizetype at = 13 + ((u8(bytes, 10) & 0x80) ? 3 * (2 << (u8(bytes, 10) & 7)) : 0);
  std::vector<GifFrameFields> frames;
  QByteArray control;
  while (u8(bytes, at) == 0x21 || u8(bytes, at) == 0x2C) {
    if (u8(bytes, at) == 0x21) {
      if (u8(bytes, at + 1) == 0xF9) control = bytes.mid(at, 8);
      at = skipSubBlocks(at + 2);
      continue;
    }
    frames.push_back({control, QRect(static_cast<int>(u16(bytes, at + 1)), static_cast<int>(u16(bytes, at + 3)),
                                     static_cast<int>(u16(bytes, at + 5)), static_cast<int>(u16(bytes, at + 7)))});
    control.clear();
    // After the descriptor, whose flags say no local colour table, the LZW
    // code size.
    at = u8(bytes, at + 9) == 0 ? skipSubBlocks(at + 11) : bytes.size();
  }
  return frames;
}

// The animation's frames as a viewer shows them, one after the other, each
// with the milliseconds it stays.
std::vector<std::pair<QImage, int>> shownFrames() {
  QImageReader reader(assetPath(torvane::pictures::kStartLight));
  std::vector<std::pair<QImage, int>> frames;
  for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
    frames.emplace_back(frame.convertToFormat(QImage::Format_ARGB32), reader.nextImageDelay());
  }
  return frames;
}

}  // namespace

class TestAssets : public QObject {
  Q_OBJECT

private slots:
  // Six frames of a second each, looping for ever, on a 64-colour table
  // whose transparent entry is black.
  void startLightAnimation() {
    QImageReader reader(assetPath(torvane::pictures::kStartLight));
    QCOMPARE(reader.imageCount(), 6);
    QCOMPARE(reader.loopCount(), -1);  // what Qt reports for a GIF that loops for ever
    const auto frames = shownFrames();
    QCOMPARE(frames.size(), std::size_t{6});
    for (const auto& [frame, milliseconds] : frames) {
      QCOMPARE(frame.size(), QSize(50, 138));
      QCOMPARE(milliseconds, 1000);
    }
    QCOMPARE(frames.back().first, frames.front().first);  // it ends as it began

    const QByteArray bytes = readAsset("start_light.gif");
    QCOMPARE(bytes.left(6), QByteArray("GIF89a"));
    QCOMPARE(u8(bytes, 10) & 0x87, 0x85u);  // a global table of 2 << 5 entries
    QCOMPARE(bytes.mid(13 + 3 * 63, 3), QByteArray(3, '\0'));

    // The tower stands on a see-through ground.
    int clear = 0;
    for (int y = 0; y < 138; ++y) {
      for (int x = 0; x < 50; ++x) clear += qAlpha(frames.front().first.pixel(x, y)) == 0;
    }
    QVERIFY2(clear > 50 * 138 / 4 && clear < 50 * 138 * 3 / 4, qPrintable(QString::number(clear)));
  }

  void startLightFrames_data() {
    QTest::addColumn<int>("frame");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("lit");  // the pair of large lamps shown lit
    QTest::newRow("0: whole tower, large lamps unlit") << 0 << QRect(0, 0, 50, 138) << "";
    QTest::newRow("1: top amber pair on") << 1 << QRect(8, 34, 34, 12) << "amber";
    QTest::newRow("2: middle amber pair on") << 2 << QRect(5, 30, 45, 36) << "amber";
    QTest::newRow("3: bottom amber pair on") << 3 << QRect(3, 49, 46, 32) << "amber";
    QTest::newRow("4: green pair on") << 4 << QRect(3, 67, 46, 27) << "green";
    QTest::newRow("5: every large lamp out") << 5 << QRect(3, 30, 47, 64) << "";
  }

  // Each frame is a patch drawn over the one before, index 63 letting it show
  // through. While a pair is lit, the tower differs from the unlit one only
  // where the next patch paints again (or a lit fragment would stay behind),
  // on both sides of the pole, and in the lamp's colour.
  void startLightFrames() {
    QFETCH(int, frame);
    QFETCH(QRect, rect);
    QFETCH(QString, lit);
    const std::vector<GifFrameFields> fields = gifFrames(readAsset("start_light.gif"));
    const auto shown = shownFrames();
    QCOMPARE(fields.size(), std::size_t{6});
    QCOMPARE(shown.size(), std::size_t{6});
    const auto index = static_cast<std::size_t>(frame);
    // 4 bytes: disposal 0 and transparency on, 100 hundredths, index 63.
    // clang-format off
    QCOMPARE(fields[index].control.toHex(), QByteArray("21f90401" "6400" "3f" "00"));
    // clang-format on
    QCOMPARE(fields[index].rect, rect);
    if (lit.isEmpty()) return;

    const QRect nextPatch = fields[index + 1].rect;
    const QImage& unlitTower = shown.front().first;
    const QImage& litTower = shown[index].first;
    int left = 0;
    int right = 0;
    long redGain = 0;
    long greenGain = 0;
    for (int y = 0; y < 138; ++y) {
      for (int x = 0; x < 50; ++x) {
        const QRgb before = unlitTower.pixel(x, y);
        const QRgb after = litTower.pixel(x, y);
        if (after == before) continue;
        QVERIFY2(nextPatch.contains(x, y), qPrintable(QStringLiteral("left lit at %1,%2").arg(x).arg(y)));
        (x < 25 ? left : right) += 1;
        redGain += qRed(after) - qRed(before);
        greenGain += qGreen(after) - qGreen(before);
      }
    }
    QVERIFY(left > 20 && right > 20);
    QVERIFY(redGain + greenGain > 0);
    QCOMPARE(greenGain > 2 * redGain, lit == "green");
  }

  void bitmapFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("first title") << torvane::pictures::kTitle1 << 198 << 45;
    QTest::newRow("second title") << torvane::pictures::kTitle2 << 199 << 41;
    QTest::newRow("third title") << torvane::pictures::kTitle3 << 160 << 42;
    QTest::newRow("credit, two colours in 24 bits") << torvane::pictures::kCredit << 104 << 22;
  }

  // 24 bits a pixel, uncompressed, bottom-up rows, 96 dots per inch.
  void bitmapFiles() {
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray bytes = readAsset(file);
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(bytes.size(), qsizetype{54} + rowBytes * height);
    QCOMPARE(u32(bytes, 2), static_cast<quint32>(bytes.size()));
    QCOMPARE(u32(bytes, 10), 54u);  // pixels right after the two headers
    QCOMPARE(u32(bytes, 14), 40u);
    QCOMPARE(i32(bytes, 22), height);  // positive: bottom-up rows
    QCOMPARE(u16(bytes, 26), 1u);
    QCOMPARE(u16(bytes, 28), 24u);
    QCOMPARE(u32(bytes, 30), 0u);  // uncompressed
    QCOMPARE(i32(bytes, 38), 3780);
    QCOMPARE(i32(bytes, 42), 3780);
    QCOMPARE(QImage(assetPath(file)).size(), QSize(width, height));
  }

  // clang-format off
  void picturesShownAreTheirFilesAsRead_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("start light, its first frame") << torvane::pictures::kStartLight;
    QTest::newRow("first title") << torvane::pictures::kTitle1;
    QTest::newRow("second title") << torvane::pictures::kTitle2;
    QTest::newRow("third title") << torvane::pictures::kTitle3;
    QTest::newRow("credit") << torvane::pictures::kCredit;
    for (const auto& [pixels, name] : torvane::pictures::kIconImages)
      QTest::addRow("window icon, %d pixels", pixels) << name;
  }
  // clang-format on

  // The program shows the pixels compiled in at build time: the same size,
  // format and colours as Qt's reader gives for the file.
  void picturesShownAreTheirFilesAsRead() {
    QFETCH(QString, name);
    QCOMPARE(torvane::pictures::picture(name.toStdString()), QImageReader(assetPath(name)).read());
  }

  void titleLettering_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("visibleRows");
    // The picture placed below covers the bottom rows of the one above it.
    QTest::newRow("first title, 13 rows covered") << torvane::pictures::kTitle1 << 32;
    QTest::newRow("second title, 9 rows covered") << torvane::pictures::kTitle2 << 32;
    QTest::newRow("third title, all shown") << torvane::pictures::kTitle3 << 42;
  }

  // Blue letters on a near-black ground, kept to the rows that stay visible.
  void titleLettering() {
    QFETCH(QString, name);
    QFETCH(int, visibleRows);
    const QImage title = torvane::pictures::picture(name.toStdString());
    QVERIFY(!title.isNull());
    int ground = 0;
    int blue = 0;
    for (int y = 0; y < title.height(); ++y) {
      for (int x = 0; x < title.width(); ++x) {
        const QRgb pixel = title.pixel(x, y);
        const int brightest = qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel)));
        ground += brightest <= 16;
        blue += qBlue(pixel) >= 160 && qBlue(pixel) > qRed(pixel) + 40;
        if (y >= visibleRows)
          QVERIFY2(brightest <= 24, qPrintable(QStringLiteral("lettering in hidden row %1").arg(y)));
      }
    }
    QVERIFY(ground > title.width() * title.height() * 3 / 4);
    QVERIFY(blue > 100);
  }

  void creditHasTwoColours() {
    const QImage credit = torvane::pictures::picture(torvane::pictures::kCredit);
    QSet<QRgb> colours;
    for (int y = 0; y < credit.height(); ++y) {
      for (int x = 0; x < credit.width(); ++x) colours.insert(credit.pixel(x, y));
    }
    QCOMPARE(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(64, 128, 128)}));
  }

  void iconImages_data() {
    QTest::addColumn<int>("image");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::newRow("32 x 32, two colours") << 0 << 32 << 1;
    QTest::newRow("32 x 32, sixteen colours") << 1 << 32 << 4;
    QTest::newRow("16 x 16, sixteen colours") << 2 << 16 << 4;
  }

  void iconImages() {
    QFETCH(int, image);
    QFETCH(int, size);
    QFETCH(int, bitsPerPixel);
    const QByteArray bytes = readAsset("torvane.ico");
    QCOMPARE(u16(bytes, 2), 1u);  // an icon, not a cursor
    const qsizetype entry = 6 + 16 * image;
    const int colours = 1 << bitsPerPixel;
    QCOMPARE(static_cast<int>(u8(bytes, entry + 2)), colours);
    QCOMPARE(static_cast<int>(u16(bytes, entry + 6)), bitsPerPixel);
    // The picture: its header (twice the height, for the mask), the palette,
    // the colour rows and the one-bit mask rows.
    const quint32 offset = u32(bytes, entry + 12);
    QCOMPARE(u32(bytes, offset), 40u);
    QCOMPARE(i32(bytes, offset + 8), 2 * size);
    QCOMPARE(static_cast<int>(u16(bytes, offset + 14)), bitsPerPixel);
    const int colourRow = (size * bitsPerPixel + 31) / 32 * 4;
    const int maskRow = (size + 31) / 32 * 4;
    QCOMPARE(u32(bytes, entry + 8), static_cast<quint32>(40 + 4 * colours + (colourRow + maskRow) * size));

    QImageReader reader(QStringLiteral(TORVANE_ASSETS_DIR "/torvane.ico"));
    QCOMPARE(reader.imageCount(), 3);
    QVERIFY(reader.jumpToImage(image));
    const QImage shown = reader.read();
    QCOMPARE(shown.size(), QSize(size, size));
    QCOMPARE(qAlpha(shown.pixel(0, size - 1)), 0);  // a lower corner is see-through
  }

  void desktopIcons_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("iconFileImage");  // the same picture in the icon file, or -1
    QTest::newRow("16 pixels") << 16 << 2;
    QTest::newRow("32 pixels") << 32 << 1;
    QTest::newRow("48 pixels") << 48 << -1;
    QTest::newRow("64 pixels") << 64 << -1;
    QTest::newRow("128 pixels") << 128 << -1;
    QTest::newRow("256 pixels") << 256 << -1;
  }

  // The window icon holds the sizes that title bars, task bars and window
  // switchers show, each the one installed into the icon theme; the desktop
  // takes larger ones from the theme alone.
  void desktopIcons() {
    QFETCH(int, size);
    QFETCH(int, iconFileImage);
    const QString name = QStringLiteral("icons/hicolor/%1x%1/apps/torvane.png").arg(size);
    const QImage icon = QImage::fromData(readAsset(name), "PNG").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(size, size));
    QCOMPARE(qAlpha(icon.pixel(0, size - 1)), 0);  // a lower corner is see-through

    const auto& images = torvane::pictures::kIconImages;
    const auto* inWindowIcon =
        std::find_if(images.begin(), images.end(), [size](const auto& image) { return image.pixels == size; });
    QCOMPARE(inWindowIcon != images.end(), size <= 48);
    if (inWindowIcon != images.end()) QCOMPARE(QString::fromLatin1(inWindowIcon->name), name);

    if (iconFileImage < 0) return;
    QImageReader reader(QStringLiteral(TORVANE_ASSETS_DIR "/torvane.ico"));
    QVERIFY(reader.jumpToImage(iconFileImage));
    QCOMPARE(reader.read().convertToFormat(QImage::Format_ARGB32), icon);
  }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
