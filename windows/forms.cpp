#include "windows/forms.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
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
#include <string>

#include "assets/pictures.h"
#include "windows/errors.h"

namespace torvane::forms {
namespace {

// `box` is the control's size in pixels; a picture is scaled to fill it.
QWidget* makeWidget(const Control& row, QSize box, QWidget* parent, const Report& report) {
  switch (row.kind) {
  case Kind::Label: {
    auto* label = new QLabel(QString::fromUtf8(row.text), parent);
    label->setWordWrap(true);  // at word boundaries; the box never grows, so the rest is clipped
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(row.fill == Fill::Window ? QPalette::Window : QPalette::Button);
    return label;
  }
  case Kind::Picture: {
    auto* picture = new QLabel(parent);
    QImage image = pictures::picture(row.text);
    if (image.size() != box) image = image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
  }
  case Kind::TextBox: {
    QLineEdit* field = makeTextBox(QString::fromUtf8(row.text), parent, report);
    field->setCursorPosition(0);
    return field;
  }
  case Kind::Button: {
    auto* button = new QPushButton(QString::fromUtf8(row.text), parent);
    button->setAutoDefault(false);  // Enter presses no button
    button->setDefault(false);
    return button;
  }
  }
  return nullptr;
}

bool takesFocus(Kind kind) { return kind == Kind::TextBox || kind == Kind::Button; }

// Pixels a text box's or button's frame and padding take across and down.
constexpr int kFrameAcross = 8;
constexpr int kFrameDown = 4;

// Whether a caption shows whole in its box with a font.
bool fits(Kind kind, const QString& text, QSize box, const QFontMetrics& metrics) {
  if (kind == Kind::Label) {
    const QRect needed = metrics.boundingRect(QRect(QPoint(), box), Qt::TextWordWrap, text);
    return needed.width() <= box.width() && needed.height() <= box.height();
  }
  return metrics.horizontalAdvance(text) + kFrameAcross <= box.width() && metrics.height() + kFrameDown <= box.height();
}

// No common text face is on average wider than this a character, nor a line
// taller than this, in ems.
constexpr double kWidestAverageAdvance = 0.7;
constexpr double kTallestLine = 1.3;

// The same from the font's size alone, generously: what fits by this guess
// fits for certain, and the window need not wait for the font database to
// start up before it is first shown.
bool plainlyFits(Kind kind, const QString& text, QSize box, double emPixels) {
  const bool framed = kind != Kind::Label;
  const double width = double(text.size()) * kWidestAverageAdvance * emPixels + (framed ? kFrameAcross : 0);
  const double height = kTallestLine * emPixels + (framed ? kFrameDown : 0);
  return width <= box.width() && height <= box.height();
}

double emPixels(const QFont& font, const QWidget* widget) {
  return font.pointSizeF() > 0 ? font.pointSizeF() * widget->logicalDpiY() / 72.0 : font.pixelSize();
}

// Condensed before smaller, and no narrower than this: where the font has no
// condensed face, Qt narrows the letters of the normal one.
constexpr QFont::Stretch kStretches[] = {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed};
constexpr double kSizeStep = 0.5;           // points
constexpr double kSmallestShare = 7.0 / 9;  // of the window's size: 7 pt at the default 9 pt

struct Caption {
  QWidget* widget;
  Kind kind;
  QString text;
};

// The widest stretch at which each caption of a group fits in its own font,
// at that font's size or at `pointSize`.
std::optional<int> stretchThatFits(std::span<const Caption> group, std::optional<double> pointSize = {}) {
  for (const QFont::Stretch stretch : kStretches) {
    const auto fitsAtStretch = [&](const Caption& c) {
      QFont font = c.widget->font();
      font.setStretch(stretch);
      if (pointSize) font.setPointSizeF(*pointSize);
      return fits(c.kind, c.text, c.widget->size(), QFontMetrics(font, c.widget));
    };
    if (std::ranges::all_of(group, fitsAtStretch)) return stretch;
  }
  return std::nullopt;
}

// The font's size over the design font's, both in pixels.
double fontScale(const QWidget* widget) {
  return emPixels(widget->font(), widget) / (kDesignPointSize * kDesignDotsPerInch / 72.0);
}

// Gives each group of captions the look it needs: see Controls. In a window
// held to the screen, laid out smaller than its font, a caption may take as
// small a size as it would in a window of the font the layout is scaled to.
void fitCaptions(const QWidget* clientArea, Scale scale, const std::vector<std::vector<Caption>>& groups) {
  const QFont font = clientArea->font();
  if (font.pointSizeF() <= 0) return;  // a pixel-sized font: leave it be
  const auto plainly = [](const Caption& c) {
    return plainlyFits(c.kind, c.text, c.widget->size(), emPixels(c.widget->font(), c.widget));
  };
  std::vector<const std::vector<Caption>*> smaller;
  for (const auto& group : groups) {
    if (std::ranges::all_of(group, plainly)) continue;
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

// The captions of a table, by group: those of each group given, then each
// other label and button alone. `widgets` are the table's, by id.
std::vector<std::vector<Caption>> captionGroups(std::span<const Control> table, std::span<const Group> groups,
                                                const std::vector<QWidget*>& widgets) {
  std::vector<std::vector<Caption>> captions;
  std::vector<bool> grouped(table.size(), false);
  const auto caption = [&](const Control& row) {
    QWidget* widget = widgets[static_cast<std::size_t>(row.id)];
    widget->ensurePolished();  // given the font it shows in: a theme or style may give its kind its own
    return Caption{widget, row.kind, QString::fromUtf8(row.text)};
  };
  for (const Group& group : groups) {
    captions.emplace_back();
    for (const int id : group) {
      const auto row = std::ranges::find(table, id, &Control::id);
      if (row == table.end()) continue;
      captions.back().push_back(caption(*row));
      grouped[static_cast<std::size_t>(id)] = true;
    }
    if (captions.back().empty()) captions.pop_back();
  }
  for (const Control& row : table)
    if ((row.kind == Kind::Label || row.kind == Kind::Button) && !grouped[static_cast<std::size_t>(row.id)])
      captions.push_back({caption(row)});
  return captions;
}

// Keeps the controls of a fixed layout in their places, mirrored under a
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

// The frame a window not yet shown is likely to get: a border, and a title
// bar of the style's height.
QMargins expectedFrame(const QWidget* window) {
  if (window->windowFlags() & Qt::FramelessWindowHint) return {};
  const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
  return {border, border + window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), border, border};
}

const QScreen* screenOf(const QWidget* window) {
  return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

}  // namespace

Scale Scale::of(const QWidget* clientArea, QSize clientTwips) {
  const double forFont = fontScale(clientArea);
  const QWidget* window = clientArea->window();
  const QScreen* screen = screenOf(window);
  if (forFont <= 1 || !screen || clientTwips.isEmpty()) return Scale(forFont);
  QSize room = screen->availableGeometry().size().shrunkBy(expectedFrame(window));
  if (const auto* main = qobject_cast<const QMainWindow*>(window); main && main->menuWidget())
    room.rheight() -= main->menuWidget()->sizeHint().height();
  const double fitting = std::min(double(room.width()) * kTwipsPerPixel / clientTwips.width(),
                                  double(room.height()) * kTwipsPerPixel / clientTwips.height());
  return Scale(std::max(1.0, std::min(forFont, fitting)));
}

int Scale::pixels(int twips) const { return qRound(twips * factor_ / kTwipsPerPixel); }

QSize Scale::size(int widthTwips, int heightTwips) const { return {pixels(widthTwips), pixels(heightTwips)}; }

QRect Scale::rect(int left, int top, int width, int height) const {
  return QRect(QPoint(pixels(left), pixels(top)), QPoint(pixels(left + width) - 1, pixels(top + height) - 1));
}

Controls::Controls(QWidget* clientArea, QSize clientTwips, std::span<const Control> table,
                   std::span<const Group> groups, Report report)
    : widgets_(table.size(), nullptr) {
  const Scale scale = Scale::of(clientArea, clientTwips);
  clientSize_ = scale.size(clientTwips.width(), clientTwips.height());
  std::vector<const Control*> tabOrder;
  std::vector<Placing::Place> places;
  for (const Control& row : table) {
    const QRect place = scale.rect(row.box.left, row.box.top, row.box.width, row.box.height);
    QWidget* widget = makeWidget(row, place.size(), clientArea, report);
    widget->setObjectName(QString::fromUtf8(row.name));
    places.push_back({widget, place});
    if (takesFocus(row.kind)) tabOrder.push_back(&row);
    else widget->setFocusPolicy(Qt::NoFocus);
    if (row.kind == Kind::Picture && row.what) widget->setAccessibleDescription(QString::fromUtf8(row.what));
    else if (row.what) widget->setAccessibleName(QString::fromUtf8(row.what));
    widgets_[static_cast<std::size_t>(row.id)] = widget;  // ids are checked when the table is compiled
  }
  for (const Control& row : table)
    if (row.labelFor != kNoControl) static_cast<QLabel*>(widget(row.id))->setBuddy(widget(row.labelFor));
  new Placing(clientArea, clientSize_, std::move(places));
  fitCaptions(clientArea, scale, captionGroups(table, groups, widgets_));
  std::ranges::sort(tabOrder, {}, &Control::tabIndex);
  for (const Control* row : tabOrder) tabOrder_.push_back(widget(row->id));
  for (std::size_t i = 1; i < tabOrder_.size(); ++i) QWidget::setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
}

QWidget* Controls::widget(int id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= widgets_.size())
    throw RuntimeError(kControlAccess, "the window has no control number " + std::to_string(id) + ".");
  return widgets_[static_cast<std::size_t>(id)];
}

QLineEdit* Controls::textBox(int id) const {
  if (auto* box = qobject_cast<QLineEdit*>(widget(id))) return box;
  throw RuntimeError(kControlAccess, widget(id)->objectName().toStdString() + " is not a text box and has no text.");
}

void Controls::setVisible(int id, bool visible) const { widget(id)->setVisible(visible); }

QString Controls::text(int id) const { return textBox(id)->text(); }

void Controls::setText(int id, const QString& text) const {
  QLineEdit* box = textBox(id);
  box->setText(text);
  box->setCursorPosition(0);  // the start of a long number is the part worth seeing
}

// A text box's accessible name is its row's `what`.
QString Controls::what(int id) const { return nameInSentence(textBox(id)); }

void Controls::onClick(int id, std::function<void()> handler) const {
  auto* button = qobject_cast<QPushButton*>(widget(id));
  if (!button) throw RuntimeError(kControlAccess, widget(id)->objectName().toStdString() + " is not a button.");
  QObject::connect(button, &QPushButton::clicked, button, std::move(handler));
}

void Controls::focusFirst() const {
  const auto shown = [](const QWidget* control) { return !control->isHidden(); };
  auto first = std::ranges::find_if(
      tabOrder_, [&](const QWidget* control) { return shown(control) && qobject_cast<const QLineEdit*>(control); });
  if (first == tabOrder_.end()) first = std::ranges::find_if(tabOrder_, shown);
  if (first == tabOrder_.end()) return;
  (*first)->setFocus(Qt::TabFocusReason);
  // Selected backwards, the start of the text stays in view. Before the window
  // is active the focus only waits there, so Tab's own selecting never runs.
  if (auto* box = qobject_cast<QLineEdit*>(*first)) {
    const int length = int(box->text().size());
    box->setSelection(length, -length);
  }
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
