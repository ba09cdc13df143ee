#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <functional>

#include "core/runtime_error.h"

namespace torvane {

inline constexpr ErrorKind kTooLong{"Text too long"};  // a text would make a field longer than a field holds

// The most characters a text box holds. Qt lays a field's whole text out
// again at each keystroke: at this length a keystroke in a full field of mixed
// scripts still answers within 100 ms on a two-core desktop.
inline constexpr qsizetype kMostCharacters = 65'536;

// The forms' single-line text box. A text that would make it longer than
// kMostCharacters is refused, whether typed, pasted (keys, its menu, a middle
// click), dropped, committed by an input method or entered by a screen
// reader: the box keeps its text, a drag's source keeps its own, and the
// report says why once, when the event is over, naming the field by its
// accessible name. A paste with no text changes nothing.
class TextBox final : public QLineEdit {
  Q_OBJECT

public:
  using Report = std::function<void(const RuntimeError& error)>;

  explicit TextBox(QWidget* parent = nullptr);
  void setReport(Report report) { report_ = std::move(report); }

  // What the box holds, as its accessible name reads mid-sentence: "car weight".
  QString nameInSentence() const;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  class LengthLimit;
  bool refusesPaste(QClipboard::Mode mode, qsizetype replaced);
  void refuse(qsizetype length);

  QString kept_;               // the latest text within the limit
  qsizetype tooLongDrop_ = 0;  // the length a drag over the box would make its text, where that is too long
  bool dropIgnored_ = false;   // that drag is not taken at all
  bool reporting_ = false;
  Report report_;
};

}  // namespace torvane
