#include "windows/forms.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>
#include <string>

#include "core/runtime_error.h"

namespace torvane::forms {
namespace {

// A text box takes text of any length.
//
// QLineEdit records one undo step for each character a paste inserts: a
// megabyte makes a million steps, some 20 MB of history and most of the
// paste's time. A paste longer than kLongPaste is therefore made as one
// replacement of the whole text. That empties QLineEdit's own history, so this
// box keeps the one step that takes the paste back, and the one that puts it
// back again, below whatever QLineEdit records after it. A shorter paste, and
// every other edit, is QLineEdit's own.
class TextBox final : public QLineEdit {
public:
  TextBox(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    setMaxLength(std::numeric_limits<int>::max());  // QLineEdit's default cuts a text at 32,767
    // No kerning or ligatures where a script needs none: a long text is laid
    // out in half the time.
    QFont font;
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool done = (event->matches(QKeySequence::Paste) && pasteLong(QClipboard::Clipboard)) ||
                      (event->matches(QKeySequence::Undo) && undoLongPaste()) ||
                      (event->matches(QKeySequence::Redo) && redoLongPaste());
    if (!done) QLineEdit::keyPressEvent(event);
  }

  // A middle click pastes the selection, where the desktop has one.
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
      deselect();
      if (pasteLong(QClipboard::Selection)) return;
    }
    QLineEdit::mouseReleaseEvent(event);
  }

  // QLineEdit's own menu, with Paste, Undo and Redo taking the same ways as their keys.
  void contextMenuEvent(QContextMenuEvent* event) override {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
      rebind(action, &QLineEdit::paste, SLOT(paste()), "edit-paste",
             [this] { return pasteLong(QClipboard::Clipboard); });
      if (rebind(action, &QLineEdit::undo, SLOT(undo()), "edit-undo", [this] { return undoLongPaste(); }) &&
          canUndoLongPaste())
        action->setEnabled(true);
      if (rebind(action, &QLineEdit::redo, SLOT(redo()), "edit-redo", [this] { return redoLongPaste(); }) &&
          canRedoLongPaste())
        action->setEnabled(true);
    }
    menu->popup(event->globalPos());
  }

private:
  static constexpr qsizetype kLongPaste = 32'767;  // characters; as long as a field could hold before

  struct Edit {
    QString text;
    int anchor, cursor;  // the selection runs from the anchor to the cursor
  };
  struct LongPaste {
    Edit before, after;
    bool undone;
  };

  Edit current() const {
    int anchor = cursorPosition();
    if (hasSelectedText()) anchor = anchor == selectionStart() ? selectionEnd() : selectionStart();
    return {text(), anchor, cursorPosition()};
  }

  void restore(const Edit& edit) {
    setText(edit.text);
    setSelection(edit.anchor, edit.cursor - edit.anchor);
    setModified(true);
    emit textEdited(edit.text);
  }

  // Pastes the text of the clipboard or the selection over the selected text,
  // or at the cursor, if it is long; a short one is left to QLineEdit.
  bool pasteLong(QClipboard::Mode mode) {
    const QString pasted = QGuiApplication::clipboard()->text(mode);
    if (isReadOnly() || pasted.size() <= kLongPaste) return false;
    const Edit before = current();
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = start + static_cast<int>(pasted.size());
    const QString after = QString(before.text).replace(start, selectedText().size(), pasted);
    lastPaste_ = LongPaste{before, {after, end, end}, false};
    restore(lastPaste_->after);
    return true;
  }

  // QLineEdit's own history comes first: it holds what was typed after the paste.
  bool canUndoLongPaste() const {
    return !isUndoAvailable() && lastPaste_ && !lastPaste_->undone && text() == lastPaste_->after.text;
  }
  bool canRedoLongPaste() const {
    return !isRedoAvailable() && lastPaste_ && lastPaste_->undone && text() == lastPaste_->before.text;
  }
  bool undoLongPaste() {
    if (!canUndoLongPaste()) return false;
    restore(lastPaste_->before);
    lastPaste_->undone = true;
    return true;
  }
  bool redoLongPaste() {
    if (!canRedoLongPaste()) return false;
    restore(lastPaste_->after);
    lastPaste_->undone = false;
    return true;
  }

  // Gives one of QLineEdit's menu actions a new handler, if the action is
  // bound to `slot`: `own`, and QLineEdit's slot where `own` does not apply.
  // Qt 6.4 binds these actions by the slot's name and leaves them unnamed;
  // later versions bind them by member and name them as `name` does.
  bool rebind(QAction* action, void (QLineEdit::*slot)(), const char* slotName, const char* name,
              std::function<bool()> own) {
    if (!QObject::disconnect(action, &QAction::triggered, this, slot) &&
        !QObject::disconnect(action, SIGNAL(triggered()), this, slotName))
      return false;
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, slot, own = std::move(own)] {
      if (!own()) (this->*slot)();
    });
    return true;
  }

  std::optional<LongPaste> lastPaste_;
};

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
    // Named by its file's suffix, a picture is read by that format's reader
    // alone; left to guess, Qt would load every image plugin to ask it.
    const QString path = QString::fromUtf8(row.text);
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    // At the design font the box is the picture's own size; the scaled
    // layout of a larger or smaller font scales the picture with it.
    if (image.size() != box) image = image.scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture->setPixmap(QPixmap::fromImage(image));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
  }
  case Kind::TextBox: {
    auto* field = new TextBox(QString::fromUtf8(row.text), parent);
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

// Set on a client area once its controls are gone, as the area is about to be.
constexpr char kControlsGone[] = "torvaneControlsGone";

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
