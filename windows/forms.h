#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "windows/text_box.h"

class QLineEdit;
class QMargins;
class QRect;
class QWidget;

namespace torvane::forms {

// Layouts are stored in twips, 1/1440 inch: 15 twips make a pixel at 96 dots
// per inch. Qt scales the pixels on screens of other densities.
inline constexpr int kTwipsPerPixel = 15;

// The font every layout is drawn for: the size of the platform's default font,
// in points at the platform's standard logical dots per inch. Qt's own default
// on Linux, where no desktop setting overrides it, is 9 pt at 96 dpi; Windows'
// message font is 9 pt at 96 dpi too; macOS's system font is 13 pt at 72 dpi.
#ifdef Q_OS_MACOS
inline constexpr double kDesignPointSize = 13;
inline constexpr double kDesignDotsPerInch = 72;
#else
inline constexpr double kDesignPointSize = 9;
inline constexpr double kDesignDotsPerInch = 96;
#endif

// How a window's twips become pixels. At the design font a layout keeps the
// pixels its twips give at 96 dpi; with a larger or smaller font the whole
// layout grows or shrinks with it, as WinForms' AutoScaleMode.Font does:
//   Scale(1).pixels(6915) -> 461,   Scale(20.0 / 9).pixels(6915) -> 1024
// Each edge is rounded on its own, so boxes that meet or stand apart in twips
// still meet or stand apart in pixels.
class Scale {
public:
  explicit constexpr Scale(double factor = 1) : factor_(factor) {}
  // The scale for the font of a window's client area, `clientTwips` large: its
  // size over the design font's, both in pixels; but a window grows no larger
  // than its frame, menu bar and client area fit in the screen's available
  // area. (On a screen too small for the design size it keeps that size.)
  static Scale of(const QWidget* clientArea, QSize clientTwips);

  double factor() const { return factor_; }
  int pixels(int twips) const;
  QSize size(int widthTwips, int heightTwips) const;
  QRect rect(int left, int top, int width, int height) const;  // twips

private:
  double factor_;
};

enum class Kind { Label, TextBox, Button, Picture };

// Where a control takes its background from. Labels, buttons and text boxes
// normally keep their kind's own colours; a label can take the window's.
enum class Fill { Own, Window };

inline constexpr int kNoControl = -1;

// The ids of captions seen together in the same role, such as the names of a
// window's results: where they do not fit their boxes, they all take one look.
using Group = std::span<const int>;

// A control's place and size, in twips from the top-left corner of the
// window's client area.
struct Box {
  int left, top, width, height;
};

// One row of a window's layout, written with its fields' names. `text` is a
// caption, a text box's initial text or, for a picture, its name among the
// compiled-in pictures (assets/pictures.h). Rows are built in table order,
// which is the order a screen reader reads them in, and a later row stacks
// above an earlier one.
struct Control {
  int id;  // the window's own enum value for the control; ids run 0..n-1
  const char* name;
  Kind kind;
  const char* text;
  Box box;
  int tabIndex = -1;  // a text box's or button's place in the order Tab visits them
  // What a text box holds ("Car weight": no unit, a field may show either) or
  // a picture shows, in words: a text box's initial text is only a prompt and
  // is gone once the user types. Screen readers say it; labels and buttons
  // are known by their captions.
  const char* what = nullptr;
  int labelFor = kNoControl;  // a label: the id of the text box it names
  Fill fill = Fill::Own;
};

// Whether a table's ids number its rows 0..n-1, each once.
constexpr bool idsNumberTheRows(std::span<const Control> table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    std::size_t seen = 0;
    for (const Control& row : table) seen += row.id == static_cast<int>(i) ? 1 : 0;
    if (seen != 1) return false;
  }
  return true;
}

// Whether every text box and picture says what it holds or shows, and every
// label that names a field names a text box of the table without an "&" in
// its caption, which would give that field a keyboard shortcut.
constexpr bool everyFieldIsNamed(std::span<const Control> table) {
  for (const Control& row : table) {
    if ((row.kind == Kind::TextBox || row.kind == Kind::Picture) && !row.what) return false;
    if (row.labelFor == kNoControl) continue;
    if (row.kind != Kind::Label) return false;
    for (const char* c = row.text; *c; ++c)
      if (*c == '&') return false;
    bool namesATextBox = false;
    for (const Control& field : table) namesATextBox |= field.id == row.labelFor && field.kind == Kind::TextBox;
    if (!namesATextBox) return false;
  }
  return true;
}

// Whether no label overlaps a control of an earlier row: a label lies below
// what it overlaps.
constexpr bool labelsLieBelow(std::span<const Control> table) {
  const auto overlap = [](const Box& a, const Box& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
  };
  for (std::size_t later = 0; later < table.size(); ++later)
    for (std::size_t earlier = 0; earlier < later; ++earlier)
      if (table[later].kind == Kind::Label && table[earlier].kind != Kind::Label &&
          overlap(table[earlier].box, table[later].box))
        return false;
  return true;
}

// The controls of one window, built once from its table and reached by id.
// Reaching for a control that is not there, or for the text or the click of a
// control that has none, raises control access.
//
// Under a right-to-left direction the layout is mirrored as a whole, as Qt's
// layouts are, in a client area of any size. The text inside a control keeps
// its own direction, and the tab and reading orders stay.
//
// Each control shows its text in its own font: the window's, or the one the
// theme gives its kind. A caption (of a label or a button) that does not fit
// its box is first condensed at the same size. One that no stretch fits takes
// a smaller size, shared by every such caption of the window: the largest at
// which they all fit, down to 7/9 of the font size the layout is scaled for.
// A group of captions takes one look, the narrowest stretch or the smaller
// size that any of them needs. Text boxes keep their font, so whatever is
// typed or written in them reads at one size; a prompt longer than its box
// shows its beginning.
class Controls {
public:
  // `clientArea` is `clientTwips` large; its size is left to the window.
  // `report` says why a text box refuses a text.
  Controls(QWidget* clientArea, QSize clientTwips, std::span<const Control> table, std::span<const Group> groups = {},
           Report report = {});
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;

  QWidget* widget(int id) const;
  // The client area's size in pixels, in the scale the controls are laid out in.
  QSize clientSize() const { return clientSize_; }
  void setVisible(int id, bool visible) const;
  // The text of a text box, read or written whole, visible or not.
  QString text(int id) const;
  void setText(int id, const QString& text) const;
  // What a text box holds, in words, as its row says, mid-sentence: "car weight".
  QString what(int id) const;
  void onClick(int id, std::function<void()> handler) const;
  // Gives the focus to the shown text box that comes first in tab order, or
  // where there is none to the first shown control, a text box's whole text
  // selected as Tab would leave it, so that typing replaces it.
  void focusFirst() const;

private:
  QLineEdit* textBox(int id) const;

  QSize clientSize_;
  std::vector<QWidget*> widgets_;   // indexed by id
  std::vector<QWidget*> tabOrder_;  // the controls that take focus, by tab index
};

// Where a window's client area goes, centred on an available screen area, yet
// never so high or far left that the frame's top-left corner, and with it the
// title bar, leaves the area, even for a window larger than the area:
//   client 461x310, frame (1,22,1,1), area (0,0 1024x768) -> (282,229)
//   client 461x310, frame (1,22,1,1), area (0,0 320x240)  -> (1,22)
QPoint centredPlace(const QSize& client, const QMargins& frame, const QRect& available);

// Places a window, not yet shown, in the middle of the screen it will open on.
// Its size must be settled first. Its frame is not known yet, so a title bar
// of the style's height is allowed for.
void centreOnScreen(QWidget* window);

}  // namespace torvane::forms
