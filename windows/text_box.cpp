#include "windows/text_box.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <optional>

#include "core/runtime_error.h"

namespace torvane::forms {
namespace {

// QLineEdit records one undo step for each character a paste inserts: a
// megabyte makes a million steps, some 20 MB of history and most of the
// paste's time. A paste longer than kLongPaste is therefore made as one
// replacement of the whole text. That empties QLineEdit's own history, so this
// box keeps the one step that takes the paste back, and the one that puts it
// back again, below whatever QLineEdit records after it. A shorter paste, and
// every other edit, is QLineEdit's own.
class TextBox final : public QLineEdit {
public:
  TextBox(const QString& text, QWidget* parent, Report report) : QLineEdit(text, parent), report_(std::move(report)) {
    // Every way a user enters text is checked below, and a text too long is
    // refused in words; this only keeps any other way from going beyond.
    setMaxLength(int(kMostCharacters));
    // No kerning or ligatures where a script needs none: a long text is laid
    // out in half the time.
    QFont font;
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool done = (event->matches(QKeySequence::Paste) && paste(QClipboard::Clipboard)) ||
                      (event->matches(QKeySequence::Undo) && undoLongPaste()) ||
                      (event->matches(QKeySequence::Redo) && redoLongPaste()) ||
                      (types(*event) && refuses(event->text(), selectedText().size()));
    if (!done) QLineEdit::keyPressEvent(event);
  }

  void dropEvent(QDropEvent* event) override {
    const bool moved = event->source() == this && event->dropAction() == Qt::MoveAction;
    if (!isReadOnly() && event->mimeData()->hasText() &&
        refuses(event->mimeData()->text(), moved ? selectedText().size() : 0)) {
      event->setDropAction(Qt::IgnoreAction);
      event->accept();
      return;
    }
    QLineEdit::dropEvent(event);
  }

  void inputMethodEvent(QInputMethodEvent* event) override {
    if (!isReadOnly() && refuses(event->commitString(), selectedText().size())) return;
    QLineEdit::inputMethodEvent(event);
  }

  // A middle click pastes the selection, where the desktop has one.
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
      deselect();
      if (paste(QClipboard::Selection)) return;
    }
    QLineEdit::mouseReleaseEvent(event);
  }

  // QLineEdit's own menu, with Paste, Undo and Redo taking the same ways as their keys.
  void contextMenuEvent(QContextMenuEvent* event) override {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
      rebind(action, &QLineEdit::paste, SLOT(paste()), "edit-paste", [this] { return paste(QClipboard::Clipboard); });
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

  // Whether QLineEdit would type the key's text into the box.
  bool types(const QKeyEvent& event) const {
    constexpr auto kCommand = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return !isReadOnly() && !event.text().isEmpty() && event.text().front().isPrint() &&
           !(event.modifiers() & kCommand);
  }

  // Refuses, and says so, a text that in place of `replaced` characters
  // would make the box longer than it holds.
  bool refuses(const QString& entering, qsizetype replaced) {
    const qsizetype length = text().size() - replaced + entering.size();
    if (length <= kMostCharacters) return false;
    report_(RuntimeError(kTooLong, QStringLiteral("In the %1 field, the text would be %2 characters long, and a field "
                                                  "holds at most %3. The field is left as it was.")
                                       .arg(nameInSentence(this))
                                       .arg(length)
                                       .arg(kMostCharacters)
                                       .toStdString()));
    return true;
  }

  // Pastes the text of the clipboard or the selection over the selected text,
  // or at the cursor, if it is long, and refuses it if too long; a short one
  // is left to QLineEdit.
  bool paste(QClipboard::Mode mode) {
    if (isReadOnly()) return false;
    const QString pasted = QGuiApplication::clipboard()->text(mode);
    if (refuses(pasted, selectedText().size())) return true;
    if (pasted.size() <= kLongPaste) return false;
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

  Report report_;
  std::optional<LongPaste> lastPaste_;
};

}  // namespace

QLineEdit* makeTextBox(const QString& text, QWidget* parent, Report report) {
  return new TextBox(text, parent, std::move(report));
}

QString nameInSentence(const QWidget* box) {
  QString name = box->accessibleName();
  if (!name.isEmpty()) name[0] = name[0].toLower();
  return name;
}

}  // namespace torvane::forms
