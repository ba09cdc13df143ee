#include "light_tower.h"

#include <QColor>

#include <array>
#include <stdexcept>

namespace torvane::art {
namespace {

constexpr int kWidth = 50;
constexpr int kHeight = 138;
constexpr std::uint8_t kClear = 63;

// The palette is a row of shade ramps, each from dark to light.
struct Ramp {
  std::uint8_t first;
  int count;
  std::array<QRgb, 3> keys;  // darkest, middle, lightest
};

constexpr Ramp kPole{0, 10, {qRgb(6, 20, 72), qRgb(30, 84, 210), qRgb(175, 205, 255)}};
constexpr Ramp kMetal{10, 10, {qRgb(16, 16, 20), qRgb(58, 60, 70), qRgb(170, 175, 185)}};
constexpr Ramp kAmberOff{20, 6, {qRgb(36, 18, 0), qRgb(100, 54, 8), qRgb(200, 140, 70)}};
constexpr Ramp kAmberOn{26, 8, {qRgb(150, 56, 0), qRgb(255, 164, 0), qRgb(255, 252, 225)}};
constexpr Ramp kGreenOff{34, 6, {qRgb(0, 26, 8), qRgb(16, 78, 28), qRgb(100, 165, 115)}};
constexpr Ramp kGreenOn{40, 8, {qRgb(0, 104, 20), qRgb(40, 232, 64), qRgb(235, 255, 235)}};
constexpr Ramp kRedOff{48, 7, {qRgb(36, 0, 0), qRgb(110, 18, 14), qRgb(215, 110, 100)}};
constexpr Ramp kBulb{55, 8, {qRgb(140, 80, 0), qRgb(255, 205, 40), qRgb(255, 255, 238)}};

QRgb mix(QRgb a, QRgb b, double t) {
  const auto channel = [t](int x, int y) { return static_cast<int>(x + (y - x) * t + 0.5); };
  return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

std::vector<QRgb> palette() {
  std::vector<QRgb> colours(64, qRgb(0, 0, 0));
  for (const Ramp& ramp : {kPole, kMetal, kAmberOff, kAmberOn, kGreenOff, kGreenOn, kRedOff, kBulb}) {
    for (int i = 0; i < ramp.count; ++i) {
      const double t = 2.0 * i / (ramp.count - 1);
      colours[ramp.first + static_cast<std::size_t>(i)] =
          t <= 1.0 ? mix(ramp.keys[0], ramp.keys[1], t) : mix(ramp.keys[1], ramp.keys[2], t - 1.0);
    }
  }
  return colours;
}

std::uint8_t shade(const Ramp& ramp, double brightness) { return shadeOf(ramp.first, ramp.count, brightness); }

// Light falls from the upper left onto a dome; dx, dy in units of its radius.
double domeLight(double dx, double dy) {
  const double dz = std::sqrt(std::fmax(0.0, 1.0 - dx * dx - dy * dy));
  const double diffuse = (-0.45 * dx - 0.55 * dy + 0.70 * dz);
  const double glint = std::exp(-((dx + 0.4) * (dx + 0.4) + (dy + 0.45) * (dy + 0.45)) * 18.0);
  return 0.15 + 0.6 * diffuse + 0.5 * glint;
}

// A lit lens glows from the middle out, with a glint of the bulb behind it.
double glow(double dx, double dy) {
  const double glint = std::exp(-((dx + 0.25) * (dx + 0.25) + (dy + 0.3) * (dy + 0.3)) * 6.0);
  return 0.95 - 0.55 * (dx * dx + dy * dy) + 0.45 * glint;
}

void drawPole(IndexedImage& image) {
  constexpr std::array<double, 6> kColumns{0.25, 0.55, 0.8, 0.95, 0.7, 0.4};
  for (int y = 2; y < 132; ++y) {
    for (int i = 0; i < 6; ++i) image.at(22 + i, y) = shade(kPole, kColumns[static_cast<std::size_t>(i)]);
  }
  image.fillRect({21, 0, 8, 2}, shade(kMetal, 0.6));
  // The foot widens in steps down to the ground.
  constexpr std::array<int, 6> kHalfWidths{6, 8, 11, 11, 11, 11};
  for (int row = 0; row < 6; ++row) {
    const int half = kHalfWidths[static_cast<std::size_t>(row)];
    for (int x = 25 - half; x < 25 + half; ++x) {
      const double across = (x - (25 - half) + 0.5) / (2.0 * half);
      image.at(x, 132 + row) = shade(kPole, 0.85 - 0.5 * across - 0.06 * row);
    }
  }
}

// A box with a light top and left edge and a dark bottom and right edge.
void drawBox(IndexedImage& image, const QRect& box, double face) {
  image.fillRect(box, shade(kMetal, face));
  image.fillRect({box.left(), box.top(), box.width(), 1}, shade(kMetal, face + 0.35));
  image.fillRect({box.left(), box.top(), 1, box.height()}, shade(kMetal, face + 0.25));
  image.fillRect({box.left(), box.bottom(), box.width(), 1}, shade(kMetal, face - 0.2));
  image.fillRect({box.right(), box.top(), 1, box.height()}, shade(kMetal, face - 0.15));
  for (const QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
    image.at(corner.x(), corner.y()) = kClear;
  }
}

// A bar of four small lamps, two for each lane.
void drawSmallLampBar(IndexedImage& image, int top) {
  drawBox(image, {6, top, 38, 7}, 0.2);
  for (const double cx : {11.5, 17.5, 32.5, 38.5}) {
    image.fillDisc(cx, top + 3.5, 2.6, [](double dx, double dy) { return shade(kBulb, glow(dx, dy)); });
  }
}

enum class Lens { AmberOff, AmberOn, GreenOff, GreenOn, RedOff };

void drawLamp(IndexedImage& image, double cx, double cy, Lens lens) {
  // The metal cup, lit from the upper left like the lens inside it.
  image.fillDisc(cx, cy, 7.0, [](double dx, double dy) { return shade(kMetal, 0.45 - 0.45 * (dx + dy)); });
  const bool lit = lens == Lens::AmberOn || lens == Lens::GreenOn;
  if (lit) {
    const Ramp& ramp = lens == Lens::AmberOn ? kAmberOn : kGreenOn;
    image.fillDisc(cx, cy, 6.0, [&](double, double) { return shade(ramp, 0.0); });
    image.fillDisc(cx, cy, 5.0, [&](double dx, double dy) { return shade(ramp, glow(dx, dy)); });
    return;
  }
  const Ramp& ramp = lens == Lens::AmberOff ? kAmberOff : lens == Lens::GreenOff ? kGreenOff : kRedOff;
  image.fillDisc(cx, cy, 5.0, [&](double dx, double dy) { return shade(ramp, domeLight(dx, dy)); });
}

// The rows of large lamps, from the top: three amber, green, red.
constexpr std::array<double, 5> kLampRows{40.0, 56.0, 73.0, 88.0, 104.0};
constexpr std::array<double, 2> kLampColumns{14.0, 36.0};

// The whole tower with at most one pair of large lamps lit (row index, or -1).
IndexedImage drawTower(int litRow) {
  IndexedImage image(kWidth, kHeight, kClear);
  drawPole(image);
  drawSmallLampBar(image, 5);
  drawSmallLampBar(image, 15);
  drawBox(image, {4, 29, 18, 84}, 0.12);
  drawBox(image, {28, 29, 18, 84}, 0.12);
  for (std::size_t row = 0; row < kLampRows.size(); ++row) {
    const bool lit = static_cast<int>(row) == litRow;
    const Lens lens = row < 3    ? (lit ? Lens::AmberOn : Lens::AmberOff)
                      : row == 3 ? (lit ? Lens::GreenOn : Lens::GreenOff)
                                 : Lens::RedOff;
    for (const double cx : kLampColumns) drawLamp(image, cx, kLampRows[row], lens);
  }
  return image;
}

// Every pixel in which two pictures differ lies inside the patch.
void requireInside(const IndexedImage& before, const IndexedImage& after, const QRect& patch) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (before.at(x, y) != after.at(x, y) && !patch.contains(x, y)) {
        throw std::logic_error("a lamp reaches outside the patch that changes it");
      }
    }
  }
}

}  // namespace

GifAnimation drawStartLight() {
  GifAnimation animation;
  animation.screen = {kWidth, kHeight};
  animation.palette = palette();
  animation.transparentIndex = kClear;
  animation.delayHundredths = 100;

  const IndexedImage unlit = drawTower(-1);
  animation.frames.push_back({{0, 0}, unlit});
  // Each patch turns the previous pair off and the next one on; the last one
  // puts out the green pair and repaints every large lamp unlit.
  const std::array<QRect, 5> patches{QRect(8, 34, 34, 12), QRect(5, 30, 45, 36), QRect(3, 49, 46, 32),
                                     QRect(3, 67, 46, 27), QRect(3, 30, 47, 64)};
  IndexedImage shown = unlit;
  for (std::size_t i = 0; i < patches.size(); ++i) {
    const IndexedImage next = i < 4 ? drawTower(static_cast<int>(i)) : unlit;
    requireInside(shown, next, patches[i]);
    animation.frames.push_back({patches[i].topLeft(), next.cropped(patches[i])});
    shown = next;
  }
  return animation;
}

}  // namespace torvane::art
