#include "icon_art.h"

#include <QPainter>
#include <QRadialGradient>

#include <array>

namespace torvane::art {
namespace {

// The design of one size, in pixels. The 16-pixel one leaves out the bar
// of small lamps so that its five rows of lamps still have gaps between them.
struct Layout {
  int size;
  QRectF pole;
  QRectF stageBar;  // empty where there is none
  std::vector<double> bulbColumns;
  double bulbRow;
  std::array<QRectF, 2> boxes;
  std::array<double, 2> lampColumns;
  std::array<double, 5> lampRows;
  double lampRadius;
};

const Layout kLarge{32,
                    {15, 0, 2, 32},
                    {7, 0, 18, 4},
                    {9, 12, 20, 23},
                    2.0,
                    {QRectF(5, 5, 10, 27), QRectF(17, 5, 10, 27)},
                    {10, 22},
                    {9, 14, 19, 24, 29},
                    2.1};
const Layout kSmall{16,      {7, 0, 2, 16},     {}, {}, 0.0, {QRectF(1, 0, 6, 16), QRectF(9, 0, 6, 16)},
                    {4, 12}, {2, 5, 8, 11, 14}, 1.0};

// The three ambers are lit, the green and the red are not.
enum class Lamp { Amber, Green, Red };
constexpr std::array<Lamp, 5> kLamps{Lamp::Amber, Lamp::Amber, Lamp::Amber, Lamp::Green, Lamp::Red};

// The sixteen standard colours in their usual order.
enum Vga : std::uint8_t {
  Black,
  Maroon,
  Green,
  Olive,
  Navy,
  Purple,
  Teal,
  Silver,
  Grey,
  Red,
  Lime,
  Yellow,
  Blue,
  Fuchsia,
  Aqua,
  White
};

std::vector<QRgb> vgaPalette() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
          qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A housing: black, framed, with a lighter top and left edge.
void drawHousing(IndexedImage& image, const QRect& area, bool mono) {
  image.fillRect(area, mono ? 1 : Grey);
  image.fillRect(area.adjusted(1, 1, -1, -1), 0);
  if (!mono) {
    image.fillRect({area.left(), area.top(), area.width() - 1, 1}, Silver);
    image.fillRect({area.left(), area.top(), 1, area.height() - 1}, Silver);
  }
}

IconImage drawPixelIcon(const Layout& layout, bool mono) {
  IconImage icon{IndexedImage(layout.size, layout.size, IconImage::kIconTransparent), {}};
  IndexedImage& image = icon.pixels;
  icon.palette = mono ? std::vector<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)} : vgaPalette();
  const QRect pole = layout.pole.toRect();
  image.fillRect(pole, mono ? 1 : Blue);
  image.fillRect(pole.adjusted(pole.width() / 2, 0, 0, 0), mono ? 0 : Navy);
  if (!layout.stageBar.isEmpty()) drawHousing(image, layout.stageBar.toRect(), mono);
  for (const double x : layout.bulbColumns) {
    image.fillDisc(x, layout.bulbRow, 1.0, [mono](double, double) { return mono ? 1 : Yellow; });
  }
  for (const QRectF& box : layout.boxes) drawHousing(image, box.toRect(), mono);
  for (std::size_t row = 0; row < layout.lampRows.size(); ++row) {
    const Lamp lamp = kLamps[row];
    for (const double cx : layout.lampColumns) {
      const double cy = layout.lampRows[row];
      const double radius = layout.lampRadius;
      if (mono) {
        // Lit lamps are solid, unlit ones rings.
        image.fillDisc(cx, cy, radius, [](double, double) { return 1; });
        if (lamp != Lamp::Amber) image.fillDisc(cx, cy, radius * 0.55, [](double, double) { return 0; });
        continue;
      }
      image.fillDisc(cx, cy, radius, [lamp](double, double) {
        return lamp == Lamp::Amber ? Yellow : lamp == Lamp::Green ? Green : Maroon;
      });
      // A glint on the upper left of each lit lens.
      if (lamp == Lamp::Amber)
        image.at(static_cast<int>(cx - 0.45 * radius), static_cast<int>(cy - 0.45 * radius)) = White;
    }
  }
  return icon;
}

}  // namespace

std::vector<IconImage> drawIconImages() {
  return {drawPixelIcon(kLarge, true), drawPixelIcon(kLarge, false), drawPixelIcon(kSmall, false)};
}

QImage drawSmoothIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);
  painter.setPen(Qt::NoPen);

  const Layout& layout = kLarge;
  QLinearGradient pole(layout.pole.left(), 0, layout.pole.right(), 0);
  pole.setColorAt(0, QColor(60, 120, 240));
  pole.setColorAt(1, QColor(10, 30, 110));
  painter.setBrush(pole);
  painter.drawRect(layout.pole);

  const auto housing = [&painter](const QRectF& area) {
    QLinearGradient face(area.topLeft(), area.bottomRight());
    face.setColorAt(0, QColor(70, 72, 80));
    face.setColorAt(1, QColor(18, 18, 22));
    painter.setBrush(face);
    painter.setPen(QPen(QColor(150, 155, 165), 0.5));
    painter.drawRoundedRect(area.adjusted(0.25, 0.25, -0.25, -0.25), 1.2, 1.2);
    painter.setPen(Qt::NoPen);
  };
  const auto lamp = [&painter](QPointF centre, double radius, QColor core, QColor edge) {
    QRadialGradient glass(centre, radius, centre - QPointF(radius / 3, radius / 3));
    glass.setColorAt(0, core);
    glass.setColorAt(1, edge);
    painter.setBrush(glass);
    painter.drawEllipse(centre, radius, radius);
  };

  housing(layout.stageBar);
  for (const double x : layout.bulbColumns) lamp({x, layout.bulbRow}, 1.1, QColor(255, 255, 220), QColor(230, 160, 0));
  for (const QRectF& box : layout.boxes) housing(box);
  for (std::size_t row = 0; row < layout.lampRows.size(); ++row) {
    for (const double column : layout.lampColumns) {
      const QPointF centre(column, layout.lampRows[row]);
      const double radius = layout.lampRadius;
      switch (kLamps[row]) {
      case Lamp::Amber: lamp(centre, radius, QColor(255, 250, 210), QColor(240, 140, 0)); break;
      case Lamp::Green: lamp(centre, radius, QColor(60, 140, 70), QColor(0, 50, 12)); break;
      case Lamp::Red: lamp(centre, radius, QColor(150, 50, 40), QColor(60, 0, 0)); break;
      }
    }
  }
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace torvane::art
