#include "windows/text_box.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <functional>
#include <limits>
#include <optional>

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

}  // namespace

QLineEdit* makeTextBox(const QString& text, QWidget* parent) { return new TextBox(text, parent); }

}  // namespace torvane::forms
