// The pictures in assets/: their files byte by byte, and the same pictures as
// the program sees them through the compiled-in resources.

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QSet>
#include <QtTest>

#include <vector>

#include "assets/pictures.h"

namespace {

QByteArray readAsset(const QString& name) {
  QFile file(QStringLiteral(TORVANE_ASSETS_DIR "/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 u8(const QByteArray& bytes, qsizetype at) { return static_cast<quint8>(bytes.at(at)); }
quint32 u16(const QByteArray& bytes, qsizetype at) { return u8(bytes, at) | u8(bytes, at + 1) << 8; }
quint32 u32(const QByteArray& bytes, qsizetype at) { return u16(bytes, at) | u16(bytes, at + 2) << 16; }
qint32 i32(const QByteArray& bytes, qsizetype at) { return static_cast<qint32>(u32(bytes, at)); }

struct GifFrame {
  int delay = -1;
  int disposal = -1;
  bool transparent = false;
  int transparentIndex = -1;
  QRect rect;
  std::vector<int> indices;  // decoded from the frame's own LZW data
};

struct Gif {
  QByteArray header;
  QSize screen;
  int tableSize = 0;
  std::vector<QRgb> palette;
  int loopCount = -1;
  std::vector<GifFrame> frames;
  bool trailer = false;
};

// Concatenates the data sub-blocks that start at `at`; leaves `at` after them.
QByteArray subBlocks(const QByteArray& bytes, qsizetype& at) {
  QByteArray data;
  for (qsizetype length = u8(bytes, at++); length > 0; length = u8(bytes, at++)) {
    data += bytes.mid(at, length);
    at += length;
  }
  return data;
}

// A plain LZW decoder, written apart from the generator's encoder.
std::vector<int> lzwDecode(const QByteArray& data, int minimumCodeSize) {
  const int clear = 1 << minimumCodeSize;
  std::vector<std::vector<int>> table;
  std::vector<int> out;
  std::vector<int> previous;
  int width = minimumCodeSize + 1;
  for (qsizetype bit = 0; bit + width <= data.size() * 8;) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((u8(data, bit / 8) >> (bit % 8)) & 1) << i;
    if (code == clear) {
      table.clear();
      for (int i = 0; i < clear + 2; ++i) table.push_back({i});
      width = minimumCodeSize + 1;
      previous.clear();
      continue;
    }
    const int known = static_cast<int>(table.size());
    if (code == clear + 1 || code > known || (code == known && previous.empty())) break;
    std::vector<int> entry = code < known ? table[static_cast<std::size_t>(code)] : previous;
    if (code == known) entry.push_back(previous.front());
    if (!previous.empty() && table.size() < 4096) {
      previous.push_back(entry.front());
      table.push_back(previous);
    }
    if (table.size() == (1u << width) && width < 12) ++width;
    out.insert(out.end(), entry.begin(), entry.end());
    previous = entry;
  }
  return out;
}

Gif parseGif(const QByteArray& bytes) {
  Gif gif;
  gif.header = bytes.left(6);
  gif.screen = QSize(static_cast<int>(u16(bytes, 6)), static_cast<int>(u16(bytes, 8)));
  const quint32 flags = u8(bytes, 10);
  gif.tableSize = (flags & 0x80) ? 2 << (flags & 7) : 0;
  qsizetype at = 13;
  for (int i = 0; i < gif.tableSize; ++i, at += 3) gif.palette.push_back(qRgb(u8(bytes, at), u8(bytes, at + 1), u8(bytes, at + 2)));
  GifFrame pending;
  while (at < bytes.size() && !gif.trailer) {
    const quint32 kind = u8(bytes, at++);
    if (kind == 0x3B) {
      gif.trailer = true;
    } else if (kind == 0x21 && u8(bytes, at) == 0xF9) {
      const quint32 packed = u8(bytes, at + 2);
      pending.disposal = static_cast<int>((packed >> 2) & 7);
      pending.transparent = packed & 1;
      pending.delay = static_cast<int>(u16(bytes, at + 3));
      pending.transparentIndex = static_cast<int>(u8(bytes, at + 5));
      at += 1;
      subBlocks(bytes, at);
    } else if (kind == 0x21 && u8(bytes, at) == 0xFF) {
      ++at;
      const QByteArray data = subBlocks(bytes, at);
      if (data.startsWith("NETSCAPE2.0") && data.size() >= 14) gif.loopCount = static_cast<int>(u16(data, 12));
    } else if (kind == 0x2C) {
      pending.rect = QRect(static_cast<int>(u16(bytes, at)), static_cast<int>(u16(bytes, at + 2)),
                           static_cast<int>(u16(bytes, at + 4)), static_cast<int>(u16(bytes, at + 6)));
      at += 9;  // no local colour table
      const int minimumCodeSize = static_cast<int>(u8(bytes, at++));
      pending.indices = lzwDecode(subBlocks(bytes, at), minimumCodeSize);
      gif.frames.push_back(pending);
      pending = GifFrame();
    } else {
      break;  // not a block this file should hold
    }
  }
  return gif;
}

// The animation's frames as a viewer shows them, one after the other.
std::vector<QImage> shownFrames() {
  QImageReader reader(QString::fromLatin1(torvane::pictures::kStartLight));
  std::vector<QImage> frames;
  for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) {
    frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
  }
  return frames;
}

}  // namespace

class TestAssets : public QObject {
  Q_OBJECT

private slots:
  void startLightScreenAndLoop() {
    const Gif gif = parseGif(readAsset("start_light.gif"));
    QCOMPARE(gif.header, QByteArray("GIF89a"));
    QCOMPARE(gif.screen, QSize(50, 138));
    QCOMPARE(gif.tableSize, 64);
    QCOMPARE(gif.palette.at(63), qRgb(0, 0, 0));
    QCOMPARE(gif.loopCount, 0);
    QCOMPARE(gif.frames.size(), std::size_t{6});
    QVERIFY(gif.trailer);
  }

  void startLightFrames_data() {
    QTest::addColumn<int>("frame");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("0: whole tower, large lamps unlit") << 0 << QRect(0, 0, 50, 138);
    QTest::newRow("1: top amber pair on") << 1 << QRect(8, 34, 34, 12);
    QTest::newRow("2: middle amber pair on") << 2 << QRect(5, 30, 45, 36);
    QTest::newRow("3: bottom amber pair on") << 3 << QRect(3, 49, 46, 32);
    QTest::newRow("4: green pair on") << 4 << QRect(3, 67, 46, 27);
    QTest::newRow("5: every large lamp out") << 5 << QRect(3, 30, 47, 64);
  }

  void startLightFrames() {
    QFETCH(int, frame);
    QFETCH(QRect, rect);
    const Gif gif = parseGif(readAsset("start_light.gif"));
    QVERIFY(static_cast<int>(gif.frames.size()) > frame);
    const GifFrame& f = gif.frames[static_cast<std::size_t>(frame)];
    QCOMPARE(f.delay, 100);
    QCOMPARE(f.disposal, 0);
    QVERIFY(f.transparent);
    QCOMPARE(f.transparentIndex, 63);
    QCOMPARE(f.rect, rect);
    QCOMPARE(f.indices.size(), static_cast<std::size_t>(rect.width() * rect.height()));
  }

  // What Qt shows for frame 0 is what its indices say, transparent where
  // they hold index 63.
  void startLightFirstFrameDecodes() {
    const Gif gif = parseGif(readAsset("start_light.gif"));
    const QImage shown = QImage(QString::fromLatin1(torvane::pictures::kStartLight)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(50, 138));
    QVERIFY(shown.hasAlphaChannel());
    QCOMPARE(gif.frames.front().indices.size(), std::size_t{50 * 138});
    int clear = 0;
    for (int y = 0; y < 138; ++y) {
      for (int x = 0; x < 50; ++x) {
        const int index = gif.frames.front().indices[static_cast<std::size_t>(y * 50 + x)];
        const QRgb expected = index == 63 ? qRgba(0, 0, 0, 0) : gif.palette[static_cast<std::size_t>(index)];
        QCOMPARE(shown.pixel(x, y), expected);
        clear += index == 63;
      }
    }
    QVERIFY2(clear > 50 * 138 / 4 && clear < 50 * 138 * 3 / 4, "the tower leaves a transparent background");
  }

  void startLightPatches_data() {
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("green");
    QTest::newRow("top amber lights") << 1 << false;
    QTest::newRow("middle amber lights") << 2 << false;
    QTest::newRow("bottom amber lights") << 3 << false;
    QTest::newRow("green lights") << 4 << true;
  }

  // While a pair is lit, the tower differs from the unlit one only where the
  // next patch paints again (or a lit fragment would stay behind), on both
  // sides of the pole, and in the lamp's colour.
  void startLightPatches() {
    QFETCH(int, frame);
    QFETCH(bool, green);
    const Gif gif = parseGif(readAsset("start_light.gif"));
    const std::vector<QImage> frames = shownFrames();
    QCOMPARE(frames.size(), std::size_t{6});
    const QRect nextPatch = gif.frames[static_cast<std::size_t>(frame + 1)].rect;
    const QImage& unlit = frames.front();
    const QImage& lit = frames[static_cast<std::size_t>(frame)];
    int left = 0;
    int right = 0;
    long redGain = 0;
    long greenGain = 0;
    for (int y = 0; y < 138; ++y) {
      for (int x = 0; x < 50; ++x) {
        if (lit.pixel(x, y) == unlit.pixel(x, y)) continue;
        QVERIFY2(nextPatch.contains(x, y), qPrintable(QStringLiteral("left lit at %1,%2").arg(x).arg(y)));
        (x < 25 ? left : right) += 1;
        redGain += qRed(lit.pixel(x, y)) - qRed(unlit.pixel(x, y));
        greenGain += qGreen(lit.pixel(x, y)) - qGreen(unlit.pixel(x, y));
      }
    }
    QVERIFY(left > 20 && right > 20);
    QVERIFY(redGain + greenGain > 0);
    QCOMPARE(greenGain > 2 * redGain, green);
  }

  void startLightEndsAsItBegan() {
    const std::vector<QImage> frames = shownFrames();
    QCOMPARE(frames.size(), std::size_t{6});
    QCOMPARE(frames.back(), frames.front());
  }

  void bitmapFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("resource");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("first title") << "title1.bmp" << torvane::pictures::kTitle1 << 198 << 45;
    QTest::newRow("second title") << "title2.bmp" << torvane::pictures::kTitle2 << 199 << 41;
    QTest::newRow("third title") << "title3.bmp" << torvane::pictures::kTitle3 << 160 << 42;
    QTest::newRow("credit") << "credit.bmp" << torvane::pictures::kCredit << 104 << 22;
  }

  void bitmapFiles() {
    QFETCH(QString, file);
    QFETCH(QString, resource);
    QFETCH(int, width);
    QFETCH(int, height);
    const QByteArray bytes = readAsset(file);
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(bytes.size(), qsizetype{54} + rowBytes * height);
    QCOMPARE(u32(bytes, 2), static_cast<quint32>(bytes.size()));
    QCOMPARE(u32(bytes, 10), 54u);  // pixels right after the two headers
    QCOMPARE(u32(bytes, 14), 40u);
    QCOMPARE(i32(bytes, 18), width);
    QCOMPARE(i32(bytes, 22), height);  // positive: bottom-up rows
    QCOMPARE(u16(bytes, 26), 1u);
    QCOMPARE(u16(bytes, 28), 24u);
    QCOMPARE(u32(bytes, 30), 0u);  // BI_RGB
    QCOMPARE(i32(bytes, 38), 3780);
    QCOMPARE(i32(bytes, 42), 3780);

    QVERIFY(QFile::exists(resource));
    const QImage shown(resource);
    QCOMPARE(shown.size(), QSize(width, height));
    // Bottom-up: the file's last row is the picture's top row.
    const qsizetype topRow = 54 + static_cast<qsizetype>(rowBytes) * (height - 1);
    QCOMPARE(shown.pixel(0, 0), qRgb(u8(bytes, topRow + 2), u8(bytes, topRow + 1), u8(bytes, topRow)));
  }

  void titleLettering_data() {
    QTest::addColumn<QString>("resource");
    QTest::addColumn<int>("visibleRows");
    // The picture placed below covers the bottom rows of the one above it.
    QTest::newRow("first title, 13 rows covered") << torvane::pictures::kTitle1 << 32;
    QTest::newRow("second title, 9 rows covered") << torvane::pictures::kTitle2 << 32;
    QTest::newRow("third title, all shown") << torvane::pictures::kTitle3 << 42;
  }

  // Blue letters on a near-black ground, kept to the rows that stay visible.
  void titleLettering() {
    QFETCH(QString, resource);
    QFETCH(int, visibleRows);
    const QImage title(resource);
    QVERIFY(!title.isNull());
    int ground = 0;
    int blue = 0;
    for (int y = 0; y < title.height(); ++y) {
      for (int x = 0; x < title.width(); ++x) {
        const QRgb pixel = title.pixel(x, y);
        const int brightest = qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel)));
        ground += brightest <= 16;
        blue += qBlue(pixel) >= 160 && qBlue(pixel) > qRed(pixel) + 40;
        if (y >= visibleRows) QVERIFY2(brightest <= 24, qPrintable(QStringLiteral("lettering in hidden row %1").arg(y)));
      }
    }
    QVERIFY(ground > title.width() * title.height() * 3 / 4);
    QVERIFY(blue > 100);
  }

  void creditHasTwoColours() {
    const QImage credit(torvane::pictures::kCredit);
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
    QCOMPARE(u16(bytes, 0), 0u);
    QCOMPARE(u16(bytes, 2), 1u);
    QCOMPARE(u16(bytes, 4), 3u);
    const qsizetype entry = 6 + 16 * image;
    const int colours = 1 << bitsPerPixel;
    QCOMPARE(static_cast<int>(u8(bytes, entry)), size);
    QCOMPARE(static_cast<int>(u8(bytes, entry + 1)), size);
    QCOMPARE(static_cast<int>(u8(bytes, entry + 2)), colours);
    QCOMPARE(static_cast<int>(u16(bytes, entry + 6)), bitsPerPixel);
    const quint32 length = u32(bytes, entry + 8);
    const quint32 offset = u32(bytes, entry + 12);
    QVERIFY(offset + length <= static_cast<quint32>(bytes.size()));
    // The picture: its header (twice the height, for the mask), the palette,
    // the colour rows and the one-bit mask rows.
    QCOMPARE(u32(bytes, offset), 40u);
    QCOMPARE(i32(bytes, offset + 4), size);
    QCOMPARE(i32(bytes, offset + 8), 2 * size);
    QCOMPARE(static_cast<int>(u16(bytes, offset + 14)), bitsPerPixel);
    const int colourRow = (size * bitsPerPixel + 31) / 32 * 4;
    const int maskRow = (size + 31) / 32 * 4;
    QCOMPARE(length, static_cast<quint32>(40 + 4 * colours + (colourRow + maskRow) * size));

    QImageReader reader(QString::fromLatin1(torvane::pictures::kIcon));
    QCOMPARE(reader.imageCount(), 3);
    QVERIFY(reader.jumpToImage(image));
    const QImage shown = reader.read();
    QCOMPARE(shown.size(), QSize(size, size));
    QVERIFY(shown.hasAlphaChannel());
  }

  void desktopIcons_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("16 pixels") << 16;
    QTest::newRow("32 pixels") << 32;
    QTest::newRow("128 pixels") << 128;
  }

  void desktopIcons() {
    QFETCH(int, size);
    const QString name = QStringLiteral("icons/hicolor/%1x%1/apps/torvane.png").arg(size);
    const QImage icon = QImage::fromData(readAsset(name), "PNG");
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, size - 1)), 0);  // a lower corner is see-through
  }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
