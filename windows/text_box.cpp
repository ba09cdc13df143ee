#include "windows/text_box.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QValidator>
#include <limits>

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

// A paste with no text (only HTML or a picture) leaves the field as it is,
// where QLineEdit would delete the selection. A paste too long is refused
// before QLineEdit inserts it, since it would take it back a character at a
// time: a megabyte would hold the window for seconds.
void TextBox::keyPressEvent(QKeyEvent* event) {
  if (!event->matches(QKeySequence::Paste) || isReadOnly()) return QLineEdit::keyPressEvent(event);
  // Ctrl+Shift+Insert pastes the selection, as QLineEdit does where the desktop has one.
  const bool selection = event->key() == Qt::Key_Insert &&
                         event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                         QGuiApplication::clipboard()->supportsSelection();
  const qsizetype pasted =
      QGuiApplication::clipboard()->text(selection ? QClipboard::Selection : QClipboard::Clipboard).size();
  const qsizetype length = text().size() - selectedText().size() + pasted;
  if (pasted == 0) return;
  if (!fits(length)) return refuse(length);
  QLineEdit::keyPressEvent(event);
}

// A source told during the drag that its text moves deletes it, under X11
// whatever the drop then answers. A drop the field cannot hold is taken as
// a copy, or not at all where the source offers none, and at the drop it is
// refused and ignored.
void TextBox::dragEnterEvent(QDragEnterEvent* event) {
  dropFits_ = fits(text().size() + event->mimeData()->text().size());  // a drop replaces no selection
  dragMoveEvent(event);
}

void TextBox::dragMoveEvent(QDragMoveEvent* event) {
  QLineEdit::dragMoveEvent(event);
  if (dropFits_) return;
  if (event->possibleActions() & Qt::CopyAction) event->setDropAction(Qt::CopyAction);
  else event->ignore();
}

void TextBox::dropEvent(QDropEvent* event) {
  QLineEdit::dropEvent(event);
  if (!dropFits_) event->ignore();
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
