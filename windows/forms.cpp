#include "windows/forms.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <numeric>
#include <string>

#include "core/runtime_error.h"

namespace torvane::forms {
namespace {

QWidget* makeWidget(const Control& row, QWidget* parent) {
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
    // Named by its file's suffix, a picture is read by that format's reader
    // alone; left to guess, Qt would load every image plugin to ask it.
    const QString path = QString::fromUtf8(row.text);
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    picture->setPixmap(QPixmap::fromImage(reader.read()));  // shown unscaled, top-left
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
  }
  case Kind::TextBox: {
    auto* box = new QLineEdit(QString::fromUtf8(row.text), parent);
    box->setCursorPosition(0);
    return box;
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

constexpr int kFrameAndMargins = 8;  // pixels a text box's or button's frame and padding take across

// Whether a control's caption or initial text shows whole in its box with a font.
bool fits(const Control& row, const QFontMetrics& metrics) {
  const QString text = QString::fromUtf8(row.text);
  const QSize box = pixelSize(row.width, row.height);
  switch (row.kind) {
  case Kind::Label: {
    const QRect needed = metrics.boundingRect(QRect(QPoint(), box), Qt::TextWordWrap, text);
    return needed.width() <= box.width() && needed.height() <= box.height();
  }
  case Kind::TextBox:
  case Kind::Button: {
    return metrics.horizontalAdvance(text) + kFrameAndMargins <= box.width() &&
           metrics.height() + 4 <= box.height();
  }
  case Kind::Picture: return true;
  }
  return true;
}

// The same from the font's size alone, generously: no common text face is on
// average wider than 0.7 em a character, nor a line taller than 1.3 em. What
// fits by this guess fits for certain, and the window need not wait for the
// font database to start up before it is first shown.
bool plainlyFits(const Control& row, qreal emPixels) {
  if (row.kind == Kind::Picture) return true;
  const QSize box = pixelSize(row.width, row.height);
  const qreal width = qreal(QString::fromUtf8(row.text).size()) * 0.7 * emPixels +
                      (row.kind == Kind::Label ? 0 : kFrameAndMargins);
  const qreal height = 1.3 * emPixels + (row.kind == Kind::Label ? 0 : 4);
  return width <= box.width() && height <= box.height();
}

// The boxes were laid out for a small dialog font. Where the desktop's default
// is larger, the whole window takes the largest smaller size at which every
// text fits, so nothing is cut off or runs into a neighbour.
void fitFont(QWidget* clientArea, std::span<const Control> table) {
  constexpr qreal kStep = 0.5;
  constexpr qreal kSmallest = 6.0;  // points; below this nothing is readable anyway
  QFont font = clientArea->font();
  if (font.pointSizeF() <= 0) return;  // a pixel-sized font: leave it be
  const qreal emPixels = font.pointSizeF() * clientArea->logicalDpiY() / 72.0;
  if (std::ranges::all_of(table, [&](const Control& row) { return plainlyFits(row, emPixels); })) return;
  const auto allFit = [&] {
    const QFontMetrics metrics(font);
    return std::ranges::all_of(table, [&](const Control& row) { return fits(row, metrics); });
  };
  while (!allFit() && font.pointSizeF() - kStep >= kSmallest) font.setPointSizeF(font.pointSizeF() - kStep);
  clientArea->setFont(font);
}

}  // namespace

QSize pixelSize(int widthTwips, int heightTwips) {
  return {toPixels(widthTwips), toPixels(heightTwips)};
}

// Set on a client area once its controls are gone, as the area is about to be.
constexpr char kControlsGone[] = "torvaneControlsGone";

Controls::Controls(QWidget* clientArea, std::span<const Control> table)
    : clientArea_(clientArea), widgets_(table.size(), nullptr) {
  readControlsInReadingOrder();
  fitFont(clientArea, table);
  std::vector<const Control*> tabOrder;
  for (const Control& row : table) {
    QWidget* widget = makeWidget(row, clientArea);
    widget->setObjectName(QString::fromUtf8(row.name));
    widget->setGeometry(toPixels(row.left), toPixels(row.top), toPixels(row.width),
                        toPixels(row.height));
    if (takesFocus(row.kind)) tabOrder.push_back(&row);
    else widget->setFocusPolicy(Qt::NoFocus);
    if (row.kind == Kind::Label) widget->lower();
    if (row.kind == Kind::Picture && row.what) widget->setAccessibleDescription(QString::fromUtf8(row.what));
    else if (row.what) widget->setAccessibleName(QString::fromUtf8(row.what));
    widgets_[static_cast<std::size_t>(row.id)] = widget;  // ids are checked when the table is compiled
  }
  for (const Control& row : table)
    if (row.labelFor != kNoControl) static_cast<QLabel*>(widget(row.id))->setBuddy(widget(row.labelFor));
  std::ranges::sort(tabOrder, {}, &Control::tabIndex);
  for (const Control* row : tabOrder) tabOrder_.push_back(widget(row->id));
  for (std::size_t i = 1; i < tabOrder_.size(); ++i) QWidget::setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
}

Controls::~Controls() { clientArea_->setProperty(kControlsGone, true); }

QWidget* Controls::widget(int id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= widgets_.size())
    throw RuntimeError(ErrorKind::ControlAccess, "the window has no control number " + std::to_string(id) + ".");
  return widgets_[static_cast<std::size_t>(id)];
}

QLineEdit* Controls::textBox(int id) const {
  if (auto* box = qobject_cast<QLineEdit*>(widget(id))) return box;
  throw RuntimeError(ErrorKind::ControlAccess,
                     widget(id)->objectName().toStdString() + " is not a text box and has no text.");
}

void Controls::setVisible(int id, bool visible) const { widget(id)->setVisible(visible); }

QString Controls::text(int id) const { return textBox(id)->text(); }

void Controls::setText(int id, const QString& text) const {
  QLineEdit* box = textBox(id);
  box->setText(text);
  box->setCursorPosition(0);  // the start of a long number is the part worth seeing
}

// A text box's accessible name is its row's `what`.
QString Controls::what(int id) const { return textBox(id)->accessibleName(); }

void Controls::onClick(int id, std::function<void()> handler) const {
  auto* button = qobject_cast<QPushButton*>(widget(id));
  if (!button)
    throw RuntimeError(ErrorKind::ControlAccess, widget(id)->objectName().toStdString() + " is not a button.");
  QObject::connect(button, &QPushButton::clicked, button, std::move(handler));
}

void Controls::focusFirst() const {
  const auto shown = std::ranges::find_if(tabOrder_, [](const QWidget* control) { return !control->isHidden(); });
  if (shown == tabOrder_.end()) return;
  (*shown)->setFocus(Qt::TabFocusReason);
  // Selected backwards, the start of the text stays in view. Before the window
  // is active the focus only waits there, so Tab's own selecting never runs.
  if (auto* box = qobject_cast<QLineEdit*>(*shown)) {
    const int length = int(box->text().size());
    box->setSelection(length, -length);
  }
}

std::vector<std::size_t> readingOrder(std::span<const QRect> boxes) {
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto byTop = [&](std::size_t a, std::size_t b) {
    return std::pair(boxes[a].top(), boxes[a].left()) < std::pair(boxes[b].top(), boxes[b].left());
  };
  const auto byLeft = [&](std::size_t a, std::size_t b) { return boxes[a].left() < boxes[b].left(); };
  const auto within = [](int y, const QRect& box) { return box.top() <= y && y <= box.bottom(); };
  std::ranges::stable_sort(order, byTop);
  for (auto line = order.begin(); line != order.end();) {
    const QRect& first = boxes[*line];
    const auto end = std::find_if(line + 1, order.end(), [&](std::size_t i) {
      return !within(boxes[i].center().y(), first) || !within(first.center().y(), boxes[i]);
    });
    std::stable_sort(line, end, byLeft);
    line = end;
  }
  return order;
}

namespace {

// A plain container, as Qt's own would be, but with its children in reading
// order. Qt lists them in stacking order, which puts the labels, kept below
// everything else, first and in reverse.
class ReadingOrderContainer : public QAccessibleWidget {
public:
  using QAccessibleWidget::QAccessibleWidget;

  QAccessibleInterface* child(int index) const override {
    const std::vector<QAccessibleInterface*> children = inReadingOrder();
    return index >= 0 && std::size_t(index) < children.size() ? children[std::size_t(index)] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<QAccessibleInterface*> children = inReadingOrder();
    const auto found = std::ranges::find(children, child);
    return found == children.end() ? -1 : int(found - children.begin());
  }

private:
  // Hidden controls stay in the list, as Qt keeps them, marked invisible.
  std::vector<QAccessibleInterface*> inReadingOrder() const {
    std::vector<QAccessibleInterface*> stacked;
    std::vector<QRect> boxes;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
      QAccessibleInterface* child = QAccessibleWidget::child(i);
      QObject* object = child ? child->object() : nullptr;
      stacked.push_back(child);
      boxes.push_back(object && object->isWidgetType() ? static_cast<QWidget*>(object)->geometry() : QRect());
    }
    std::vector<QAccessibleInterface*> children;
    for (const std::size_t i : readingOrder(boxes)) children.push_back(stacked[i]);
    return children;
  }
};

// Asked for each class of a widget from the most derived up, newest factory
// first: "QWidget" is reached only by widgets that no class of Qt's describes.
// Qt would call a plain top-level window a client area too; a screen reader
// announces a window by its role. A client area whose controls are gone is
// being destroyed: Qt's own factory knows to describe no such widget, lest
// its description outlive it.
QAccessibleInterface* plainContainer(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget") || !object || !object->isWidgetType()) return nullptr;
  if (object->property(kControlsGone).toBool()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  return new ReadingOrderContainer(widget, widget->isWindow() ? QAccessible::Window : QAccessible::Client);
}

}  // namespace

void readControlsInReadingOrder() {
  static bool installed = false;
  if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QAccessible::installFactory(plainContainer);
  installed = true;
}

QPoint centredPlace(const QSize& client, const QMargins& frame, const QRect& available) {
  const QPoint centred = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, client, available).topLeft();
  return {std::max(centred.x(), available.left() + frame.left()),
          std::max(centred.y(), available.top() + frame.top())};
}

void centreOnScreen(QWidget* window) {
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // Before the first showing the window manager has not told the frame yet:
  // a title bar of the style's height and a border are allowed for.
  QMargins frame;
  if (!(window->windowFlags() & Qt::FramelessWindowHint)) {
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window);
    frame = {border, border + window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window), border, border};
  }
  window->setGeometry(QRect(centredPlace(window->size(), frame, screen->availableGeometry()), window->size()));
}

}  // namespace torvane::forms
