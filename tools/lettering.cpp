#include "lettering.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace torvane::art {
namespace {

constexpr int kSamples = 4;                // each final pixel is drawn as 4 x 4
constexpr double kBevel = 2.0 * kSamples;  // width of the sloped rim
constexpr int kShadowOffset = 3 * kSamples;
constexpr double kStretch = 1.3;  // the capitals are drawn extended
constexpr QRgb kGround = qRgb(11, 11, 15);

// A plane of floats the size of the supersampled picture.
struct Plane {
  Plane(int width, int height) : width(width), height(height), values(static_cast<std::size_t>(width * height)) {}
  float& at(int x, int y) { return values[static_cast<std::size_t>(y * width + x)]; }
  float get(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return values[static_cast<std::size_t>(y * width + x)];
  }
  int width;
  int height;
  std::vector<float> values;
};

// How much of each supersampled pixel the letters cover, 0 to 1.
Plane coverage(const QString& family, const QString& text, QSize size, int letterRows) {
  QFont font(family);
  font.setBold(true);
  font.setPixelSize(28 * kSamples);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 3.0 * kSamples);
  QPainterPath path;
  path.addText(0, 0, font, text);
  path = QTransform::fromScale(kStretch, 1.0).map(path);
  // Centred across, and from 2 rows below the top down to the usable rows'
  // end less the room the shadow needs.
  const QRectF bounds = path.boundingRect();
  const double top = 2.0 * kSamples;
  const double bottom = (letterRows - 4.0) * kSamples;
  const double scale = (bottom - top) / bounds.height();
  QTransform place;
  place.translate(size.width() * kSamples / 2.0, top);
  place.scale(scale, scale);
  place.translate(-bounds.center().x(), -bounds.top());
  path = place.map(path);

  QImage mask(size * kSamples, QImage::Format_Grayscale8);
  mask.fill(0);
  QPainter painter(&mask);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(path, Qt::white);
  painter.end();
  Plane plane(mask.width(), mask.height());
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) plane.at(x, y) = qGray(mask.pixel(x, y)) / 255.0f;
  }
  return plane;
}

// Distance from each covered pixel to the nearest uncovered one (a two-pass
// chamfer estimate), capped at the bevel width and eased into a rim height.
Plane rimHeight(const Plane& cover) {
  constexpr float kStraight = 1.0f;
  constexpr float kDiagonal = 1.4142f;
  Plane d(cover.width, cover.height);
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      float best = cover.get(x, y) < 0.5f ? 0.0f : 1e6f;
      if (best > 0.0f && x > 0) best = std::min(best, d.at(x - 1, y) + kStraight);
      if (best > 0.0f && y > 0) {
        best = std::min(best, d.at(x, y - 1) + kStraight);
        if (x > 0) best = std::min(best, d.at(x - 1, y - 1) + kDiagonal);
        if (x + 1 < d.width) best = std::min(best, d.at(x + 1, y - 1) + kDiagonal);
      }
      d.at(x, y) = best;
    }
  }
  for (int y = d.height - 1; y >= 0; --y) {
    for (int x = d.width - 1; x >= 0; --x) {
      float best = d.at(x, y);
      if (x + 1 < d.width) best = std::min(best, d.at(x + 1, y) + kStraight);
      if (y + 1 < d.height) {
        best = std::min(best, d.at(x, y + 1) + kStraight);
        if (x + 1 < d.width) best = std::min(best, d.at(x + 1, y + 1) + kDiagonal);
        if (x > 0) best = std::min(best, d.at(x - 1, y + 1) + kDiagonal);
      }
      d.at(x, y) = best;
    }
  }
  for (float& value : d.values) {
    const float t = std::min(1.0f, value / static_cast<float>(kBevel));
    value = t * (2.0f - t);
  }
  return d;
}

// A soft copy of the letters' outline, moved down and right.
Plane shadow(const Plane& cover) {
  constexpr int kBlur = kSamples;
  Plane result(cover.width, cover.height);
  for (int y = 0; y < result.height; ++y) {
    for (int x = 0; x < result.width; ++x) {
      float sum = 0.0f;
      for (int v = -kBlur; v <= kBlur; ++v) {
        for (int u = -kBlur; u <= kBlur; ++u) {
          const int sx = x - kShadowOffset + u;
          const int sy = y - kShadowOffset + v;
          if (sx >= 0 && sy >= 0) sum += cover.get(sx, sy);
        }
      }
      result.at(x, y) = sum / static_cast<float>((2 * kBlur + 1) * (2 * kBlur + 1));
    }
  }
  return result;
}

// The colour of the letters' surface: a blue that deepens downwards, lit
// from the upper left across the slope of the rim.
QRgb letterColour(const Plane& height, int x, int y, int letterRows) {
  const double gx = (height.get(x + 1, y) - height.get(x - 1, y)) * kBevel / 2.0;
  const double gy = (height.get(x, y + 1) - height.get(x, y - 1)) * kBevel / 2.0;
  const double norm = std::sqrt(gx * gx + gy * gy + 1.0);
  const double light = (0.55 * gx + 0.55 * gy + 0.63) / norm;  // towards (-1, -1, 1.15)
  const double depth = std::clamp(static_cast<double>(y) / (letterRows * kSamples), 0.0, 1.0);
  const double r = 70 - 50 * depth;
  const double g = 140 - 90 * depth;
  const double b = 255 - 45 * depth;
  const double lit = 0.25 + 1.15 * light;
  const double glint = std::pow(std::max(0.0, light), 12.0) * 180.0;
  const auto channel = [&](double base) { return std::clamp(static_cast<int>(base * lit + glint), 0, 255); };
  return qRgb(channel(r), channel(g), channel(b));
}

QRgb blend(QRgb under, QRgb over, double amount) {
  const auto channel = [amount](int a, int b) { return a + (b - a) * amount; };
  return qRgb(static_cast<int>(channel(qRed(under), qRed(over))),
              static_cast<int>(channel(qGreen(under), qGreen(over))),
              static_cast<int>(channel(qBlue(under), qBlue(over))));
}

}  // namespace

QImage drawTitle(const QString& family, const QString& text, QSize size, int letterRows) {
  const Plane cover = coverage(family, text, size, letterRows);
  const Plane height = rimHeight(cover);
  const Plane dark = shadow(cover);
  QImage result(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      double red = 0;
      double green = 0;
      double blue = 0;
      for (int v = 0; v < kSamples; ++v) {
        for (int u = 0; u < kSamples; ++u) {
          const int sx = x * kSamples + u;
          const int sy = y * kSamples + v;
          const QRgb ground = blend(kGround, qRgb(0, 0, 2), std::min(1.0f, 1.2f * dark.get(sx, sy)));
          const QRgb pixel = blend(ground, letterColour(height, sx, sy, letterRows), cover.get(sx, sy));
          red += qRed(pixel);
          green += qGreen(pixel);
          blue += qBlue(pixel);
        }
      }
      constexpr double kCount = kSamples * kSamples;
      result.setPixel(x, y,
                      qRgb(static_cast<int>(red / kCount + 0.5), static_cast<int>(green / kCount + 0.5),
                           static_cast<int>(blue / kCount + 0.5)));
    }
  }
  return result;
}

QImage drawCredit(const QString& family, const QString& text, QSize size) {
  constexpr QRgb kTeal = qRgb(64, 128, 128);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QFont font(family);
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(QColor(kTeal));
  painter.drawText(QRect(0, 0, size.width(), 19), Qt::AlignCenter, text);
  painter.end();
  // Whatever the rasteriser did at the edges, keep to the two colours.
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qGray(image.pixel(x, y)) >= 48 ? kTeal : qRgb(0, 0, 0));
  }
  return image;
}

}  // namespace torvane::art
