#include "windows/forms.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <string>

#include "assets/pictures.h"
#include "core/runtime_error.h"
#include "windows/reading_order.h"
#include "windows/text_box.h"

namespace torvane::forms {
namespace {

// `box` is the control's size in pixels; a picture is scaled to fill it.
QWidget* makeWidget(const Control& row, QSize box, QWidget* parent) {
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
    // At the design font the box is the picture's own size; the scaled
    // layout of a larger or smaller font scales the picture with it.
    if (image.size() != box) image = image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
  }
  case Kind::TextBox: {
    QLineEdit* field = makeTextBox(QString::fromUtf8(row.text), parent);
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

constexpr int kFrameAndMargins = 8;  // pixels a text box's or button's frame and padding take across

// Whether a control's caption or initial text shows whole in its box with a font.
bool fits(Kind kind, const QString& text, QSize box, const QFontMetrics& metrics) {
  switch (kind) {
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
bool plainlyFits(Kind kind, const QString& text, QSize box, double emPixels) {
  if (kind == Kind::Picture) return true;
  const double width = double(text.size()) * 0.7 * emPixels + (kind == Kind::Label ? 0 : kFrameAndMargins);
  const double height = 1.3 * emPixels + (kind == Kind::Label ? 0 : 4);
  return width <= box.width() && height <= box.height();
}

double emPixels(const QFont& font, const QWidget* widget) {
  return font.pointSizeF() > 0 ? font.pointSizeF() * widget->logicalDpiY() / 72.0 : font.pixelSize();
}

// The last resort, for a text that does not fit its box even in the layout
// scaled to the font: that control alone takes the largest smaller size at
// which its text shows whole. Only that control, so that one long caption
// does not pull every other text below the size the user chose.
void fitFont(QWidget* widget, const Control& row, QSize box) {
  constexpr double kStep = 0.5;
  constexpr double kSmallest = 5.0;  // points; below this nothing is readable anyway
  QFont font = widget->font();
  if (font.pointSizeF() <= 0) return;  // a pixel-sized font: leave it be
  const QString text = QString::fromUtf8(row.text);
  if (plainlyFits(row.kind, text, box, emPixels(font, widget))) return;
  while (!fits(row.kind, text, box, QFontMetrics(font, widget)) && font.pointSizeF() - kStep >= kSmallest)
    font.setPointSizeF(font.pointSizeF() - kStep);
  if (font != widget->font()) widget->setFont(font);
}

}  // namespace

Scale Scale::of(const QWidget* window) {
  return Scale(emPixels(window->font(), window) / (kDesignPointSize * kDesignDotsPerInch / 72.0));
}

int Scale::pixels(int twips) const { return qRound(twips * factor_ / kTwipsPerPixel); }

QSize Scale::size(int widthTwips, int heightTwips) const { return {pixels(widthTwips), pixels(heightTwips)}; }

QRect Scale::rect(int left, int top, int width, int height) const {
  return QRect(QPoint(pixels(left), pixels(top)), QPoint(pixels(left + width) - 1, pixels(top + height) - 1));
}

Controls::Controls(QWidget* clientArea, std::span<const Control> table)
    : clientArea_(clientArea), widgets_(table.size(), nullptr) {
  readControlsInReadingOrder();
  const Scale scale = Scale::of(clientArea);
  std::vector<const Control*> tabOrder;
  for (const Control& row : table) {
    const QRect place = scale.rect(row.left, row.top, row.width, row.height);
    QWidget* widget = makeWidget(row, place.size(), clientArea);
    widget->setObjectName(QString::fromUtf8(row.name));
    widget->setGeometry(place);
    fitFont(widget, row, place.size());
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

Controls::~Controls() { controlsAreGone(clientArea_); }

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
