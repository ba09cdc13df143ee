#include "windows/text_box.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QValidator>
#include <limits>
#include <utility>

namespace torvane {
namespace {

bool fits(qsizetype length) { return length <= kMostCharacters; }

}  // namespace

// QLineEdit asks it about every edit: typed, pasted, dropped or committed by
// an input method, over what it replaces. So does the accessible interface
// before it sets a whole text, which it then drops without a word: the
// refusal is reported from here.
class TextBox::LengthLimit final : public QValidator {
public:
  explicit LengthLimit(TextBox& box) : QValidator(&box), box_(box) {}
  State validate(QString& text, int&) const override {
    if (fits(text.size())) return Acceptable;
    box_.refuse(text.size());
    return Invalid;
  }

private:
  TextBox& box_;
};

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
  // The limit refuses a text whole; a maximum length (32,767 unless set) would cut it.
  setMaxLength(std::numeric_limits<int>::max());
  setValidator(new LengthLimit(*this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
    if (fits(now.size())) kept_ = now;
  });
  // No kerning or ligatures where a script needs none: a keystroke in a full
  // field of mixed scripts answers four times sooner.
  QFont font;
  font.setStyleStrategy(QFont::PreferNoShaping);
  setFont(font);
}

QString TextBox::nameInSentence() const {
  QString name = accessibleName();
  if (!name.isEmpty()) name[0] = name[0].toLower();
  return name;
}

// Whether a paste from the clipboard's `mode` over `replaced` characters is
// refused, or is no paste at all: one with no text (only HTML or a picture)
// leaves the field as it is, where QLineEdit would delete the selection. A
// paste too long is refused here, before QLineEdit inserts it, since QLineEdit
// would take it back a character at a time: a megabyte would hold the window
// for seconds.
bool TextBox::refusesPaste(QClipboard::Mode mode, qsizetype replaced) {
  const qsizetype pasted = QGuiApplication::clipboard()->text(mode).size();
  const qsizetype length = text().size() - replaced + pasted;
  if (pasted > 0 && !fits(length)) refuse(length);
  return pasted == 0 || !fits(length);
}

// Each way of pasting takes its text from where QLineEdit takes it: the keys
// from the clipboard, but Ctrl+Shift+Insert from the selection (a paste key
// only where the desktop's key bindings are X11's); the context menu's Paste
// from the clipboard; a middle click from the selection, where the desktop has
// one, replacing nothing.
void TextBox::keyPressEvent(QKeyEvent* event) {
  const bool selection =
      event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Insert;
  if (event->matches(QKeySequence::Paste) && !isReadOnly() &&
      refusesPaste(selection ? QClipboard::Selection : QClipboard::Clipboard, selectedText().size()))
    return;
  QLineEdit::keyPressEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly() &&
      refusesPaste(QClipboard::Selection, 0))
    return;
  QLineEdit::mouseReleaseEvent(event);
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  for (QAction* action : menu->actions())
    if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())))
      connect(action, &QAction::triggered, this, [this] {
        if (!refusesPaste(QClipboard::Clipboard, selectedText().size())) paste();
      });
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// A source told during the drag that its text moves deletes it, under X11
// whatever the drop then answers. A drop the field cannot hold is taken as
// a copy, and at the drop it is refused and ignored; where the source offers
// no copy, it is not taken at all, and said to be refused as the drag leaves,
// dropped or taken elsewhere.
void TextBox::dragEnterEvent(QDragEnterEvent* event) {
  const qsizetype length = text().size() + event->mimeData()->text().size();  // a drop replaces no selection
  tooLongDrop_ = fits(length) ? 0 : length;
  dragMoveEvent(event);
}

void TextBox::dragMoveEvent(QDragMoveEvent* event) {
  QLineEdit::dragMoveEvent(event);
  dropIgnored_ = tooLongDrop_ > 0 && !(event->possibleActions() & Qt::CopyAction);
  if (dropIgnored_) event->ignore();
  else if (tooLongDrop_ > 0) event->setDropAction(Qt::CopyAction);
}

void TextBox::dragLeaveEvent(QDragLeaveEvent* event) {
  QLineEdit::dragLeaveEvent(event);
  if (std::exchange(dropIgnored_, false)) refuse(tooLongDrop_);
}

void TextBox::dropEvent(QDropEvent* event) {
  QLineEdit::dropEvent(event);
  if (tooLongDrop_ > 0) event->ignore();
}

// Says, once the event that brought it is over, that a text `length`
// characters long is refused. QLineEdit::setText, which a screen reader's
// insert, paste and set reach, keeps a text the limit refuses: the field
// then takes back the text it had.
void TextBox::refuse(qsizetype length) {
  if (reporting_) return;
  reporting_ = true;
  QMetaObject::invokeMethod(
      this,
      [this, length] {
        reporting_ = false;
        if (!fits(text().size())) setText(kept_);
        if (report_)
          report_(RuntimeError(kTooLong, QStringLiteral("In the %1 field, the text would be %2 characters long, and a "
                                                        "field holds at most %3. The field is left as it was.")
                                             .arg(nameInSentence())
                                             .arg(length)
                                             .arg(kMostCharacters)
                                             .toStdString()));
      },
      Qt::QueuedConnection);
}

}  // namespace torvane
