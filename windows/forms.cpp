#include "windows/forms.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMargins>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "assets/pictures.h"

namespace torvane::forms {
namespace {

struct Caption {
  QWidget* widget;
  QString text;
  bool framed;  // a button's, not a label's
};

// The room a caption has in its box: a button's frame and padding take 8
// pixels across and 4 down.
QSize roomFor(const Caption& caption) { return caption.widget->size() - (caption.framed ? QSize(8, 4) : QSize(0, 0)); }

// Whether a caption shows whole in its box with a font.
bool fits(const Caption& caption, const QFontMetrics& metrics) {
  const QSize room = roomFor(caption);
  const QSize needed = caption.framed
                           ? QSize(metrics.horizontalAdvance(caption.text), metrics.height())
                           : metrics.boundingRect(QRect(QPoint(), room), Qt::TextWordWrap, caption.text).size();
  return needed.width() <= room.width() && needed.height() <= room.height();
}

// No common text face is on average wider than this a character, nor a line
// taller than this, in ems.
constexpr double kWidestAverageAdvance = 0.7;
constexpr double kTallestLine = 1.3;

double emPixels(const QFont& font, const QWidget* widget) {
  return font.pointSizeF() > 0 ? font.pointSizeF() * widget->logicalDpiY() / 72.0 : font.pixelSize();
}

// The same from the font's size alone, generously: what fits by this guess
// fits for certain, and the window need not wait for the font database to
// start up before it is first shown.
bool plainlyFits(const Caption& caption) {
  const double em = emPixels(caption.widget->font(), caption.widget);
  const QSize room = roomFor(caption);
  return double(caption.text.size()) * kWidestAverageAdvance * em <= room.width() && kTallestLine * em <= room.height();
}

// Condensed before smaller, and no narrower than this: where the font has no
// condensed face, Qt narrows the letters of the normal one.
constexpr QFont::Stretch kStretches[] = {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed};
constexpr double kSizeStep = 0.5;           // points
constexpr double kSmallestShare = 7.0 / 9;  // of the window's size: 7 pt at the default 9 pt

// The widest stretch at which each caption of a group fits in its own font,
// at that font's size or at `pointSize`.
std::optional<int> stretchThatFits(std::span<const Caption> group, std::optional<double> pointSize = {}) {
  for (const QFont::Stretch stretch : kStretches) {
    const auto fitsAtStretch = [&](const Caption& c) {
      QFont font = c.widget->font();
      font.setStretch(stretch);
      if (pointSize) font.setPointSizeF(*pointSize);
      return fits(c, QFontMetrics(font, c.widget));
    };
    if (std::ranges::all_of(group, fitsAtStretch)) return stretch;
  }
  return std::nullopt;
}

// The font's size over the design font's, both in pixels.
double fontScale(const QWidget* widget) {
  return emPixels(widget->font(), widget) / (kDesignPointSize * kDesignDotsPerInch / 72.0);
}

// The captions of a form, by group: each named group, and each other label
// and button alone.
std::vector<std::vector<Caption>> captionGroups(const QWidgetList& controls) {
  std::vector<std::vector<Caption>> groups;
  QHash<QString, std::size_t> named;  // where each group is in `groups`
  for (QWidget* control : controls) {
    auto* button = qobject_cast<QPushButton*>(control);
    auto* label = qobject_cast<QLabel*>(control);
    const QString text = button ? button->text() : label ? label->text() : QString();
    if (text.isEmpty()) continue;
    control->ensurePolished();  // given the font it shows in: a theme or style may give its kind its own
    const QString name = control->property("captionGroup").toString();
    if (name.isEmpty() || !named.contains(name)) {
      named[name] = groups.size();
      groups.emplace_back();
    }
    groups[named[name]].push_back({control, text, button != nullptr});
  }
  return groups;
}

// Gives each group of captions the look it needs: see fitToFont. In a window
// held to the screen, laid out smaller than its font, a caption may take as
// small a size as it would in a window of the font the form is scaled to.
void fitCaptions(const QWidget* clientArea, Scale scale, const std::vector<std::vector<Caption>>& groups) {
  const QFont font = clientArea->font();
  if (font.pointSizeF() <= 0) return;  // a pixel-sized font: leave it be
  std::vector<const std::vector<Caption>*> smaller;
  for (const auto& group : groups) {
    if (std::ranges::all_of(group, plainlyFits)) continue;
    // A theme may give buttons more than the window: such a caption that does
    // not fit takes the window's size before a smaller one.
    std::optional<int> stretch = stretchThatFits(group);
    std::optional<double> size;
    if (!stretch) {
      size = font.pointSizeF();
      stretch = stretchThatFits(group, size);
    }
    if (!stretch) smaller.push_back(&group);
    else if (*stretch != QFont::Unstretched || size)
      for (const Caption& caption : group) {
        QFont look;  // only what is set here: the rest follows the window
        look.setStretch(*stretch);
        if (size) look.setPointSizeF(*size);
        caption.widget->setFont(look);
      }
  }
  if (smaller.empty()) return;
  // Half a point smaller at a time, the last step to the floor itself.
  const double smallest = font.pointSizeF() * kSmallestShare * std::min(1.0, scale.factor() / fontScale(clientArea));
  double size = font.pointSizeF();
  do size = std::max(size - kSizeStep, smallest);
  while (size > smallest &&
         !std::ranges::all_of(smaller, [&](const auto* group) { return stretchThatFits(*group, size).has_value(); }));
  for (const auto* group : smaller) {
    QFont look;
    look.setPointSizeF(size);
    look.setStretch(stretchThatFits(*group, size).value_or(kStretches[std::size(kStretches) - 1]));
    for (const Caption& caption : *group) caption.widget->setFont(look);
  }
}

// Keeps the controls of a form in their places, mirrored under a
// right-to-left direction, as the client area's size and direction change.
class Placing final : public QObject {
public:
  struct Place {
    QWidget* control;
    QRect rect;
  };

  Placing(QWidget* clientArea, QSize size, std::vector<Place> places)
      : QObject(clientArea), places_(std::move(places)) {
    place(clientArea->layoutDirection(), QRect(QPoint(), size));
    clientArea->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* clientArea, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutDirectionChange) {
      const auto* area = static_cast<const QWidget*>(clientArea);
      place(area->layoutDirection(), area->rect());
    }
    return false;
  }

private:
  void place(Qt::LayoutDirection direction, QRect area) const {
    for (const auto& [control, rect] : places_) control->setGeometry(QStyle::visualRect(direction, area, rect));
  }

  std::vector<Place> places_;
};

// The compiled-in picture a label names, scaled to fill its box.
void showPicture(QLabel* label) {
  QImage image = pictures::picture(label->property("picture").toString().toStdString());
  if (image.size() != label->size())
    image = image.scaled(label->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  label->setPixmap(QPixmap::fromImage(image));
}

// The frame a window not yet shown is likely to get: a border, and a title
// bar of the style's height.
QMargins expectedFrame(const QWidget* window) {
  if (window->windowFlags() & Qt::FramelessWindowHint) return {};
  const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
  return {border, border + window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), border, border};
}

constexpr char kRole[] = "accessibleRole";

QAccessibleInterface* describedByRole(const QString&, QObject* object) {
  const QVariant role = object->property(kRole);
  if (!role.isValid() || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Role(role.toInt()));
}

const QScreen* screenOf(const QWidget* window) {
  return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

Scale Scale::of(const QWidget* clientArea, QSize designSize) {
  const double forFont = fontScale(clientArea);
  const QWidget* window = clientArea->window();
  const QScreen* screen = screenOf(window);
  if (forFont <= 1 || !screen || designSize.isEmpty()) return Scale(forFont);
  QSize room = screen->availableGeometry().size().shrunkBy(expectedFrame(window));
  if (const auto* main = qobject_cast<const QMainWindow*>(window); main && main->menuWidget())
    room.rheight() -= main->menuWidget()->sizeHint().height();
  const double fitting =
      std::min(double(room.width()) / designSize.width(), double(room.height()) / designSize.height());
  return Scale(std::max(1.0, std::min(forFont, fitting)));
}

int Scale::pixels(int designPixels) const { return qRound(designPixels * factor_); }

QRect Scale::rect(QRect designRect) const {
  return QRect(QPoint(pixels(designRect.left()), pixels(designRect.top())),
               QPoint(pixels(designRect.right() + 1) - 1, pixels(designRect.bottom() + 1) - 1));
}

QSize fitToFont(QWidget* clientArea, QSize designSize) {
  const Scale scale = Scale::of(clientArea, designSize);
  const QWidgetList controls = clientArea->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  std::vector<Placing::Place> places;
  for (QWidget* control : controls) {
    control->setGeometry(scale.rect(control->geometry()));
    places.push_back({control, control->geometry()});
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->setCursorPosition(0);
    auto* label = qobject_cast<QLabel*>(control);
    if (!label) continue;
    if (label->autoFillBackground()) label->setBackgroundRole(QPalette::Button);
    if (label->property("picture").isValid()) showPicture(label);
  }
  const QSize size = scale.rect(QRect(QPoint(), designSize)).size();
  new Placing(clientArea, size, std::move(places));
  fitCaptions(clientArea, scale, captionGroups(controls));
  return size;
}

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
  static const bool described = (QAccessible::installFactory(describedByRole), true);
  Q_UNUSED(described);
  widget->setProperty(kRole, int(role));
}

void focusFirstField(QWidget* window, const QList<QWidget*>& fields) {
  QWidget* control = window->nextInFocusChain();
  while (control != window && !(fields.contains(control) && qobject_cast<QLineEdit*>(control)))
    control = control->nextInFocusChain();
  auto* box = qobject_cast<QLineEdit*>(control);
  if (!box) return;
  box->setFocus(Qt::TabFocusReason);
  // Selected backwards, the start of the text stays in view. Before the window
  // is active the focus only waits there, so Tab's own selecting never runs.
  const int length = int(box->text().size());
  box->setSelection(length, -length);
}

QPoint centredPlace(const QSize& client, const QMargins& frame, const QRect& available) {
  const QPoint centred = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client, available).topLeft();
  return {std::max(centred.x(), available.left() + frame.left()), std::max(centred.y(), available.top() + frame.top())};
}

void centreOnScreen(QWidget* window) {
  if (const QScreen* screen = screenOf(window))
    window->setGeometry(
        QRect(centredPlace(window->size(), expectedFrame(window), screen->availableGeometry()), window->size()));
}

}  // namespace torvane::forms
