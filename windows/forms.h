#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <span>
#include <vector>

class QLineEdit;
class QMargins;
class QRect;
class QSize;
class QWidget;

namespace torvane::forms {

// Layouts are stored in twips, 1/1440 inch: 15 twips make a pixel at 96 dots
// per inch. Qt scales the pixels on screens of other densities.
inline constexpr int kTwipsPerPixel = 15;
constexpr int toPixels(int twips) { return twips / kTwipsPerPixel; }
QSize pixelSize(int widthTwips, int heightTwips);

enum class Kind { Label, TextBox, Button, Picture };

// Where a control takes its background from. Labels, buttons and text boxes
// normally keep their kind's own colours; a label can take the window's.
enum class Fill { Own, Window };

inline constexpr int kNoControl = -1;

// One row of a window's layout. `text` is a caption, a text box's initial text
// or, for a picture, its resource path. Positions are from the top-left corner
// of the window's client area. Rows are built in table order, so a later row
// stacks above an earlier one, except that labels always lie below the rest.
struct Control {
  int id;  // the window's own enum value for the control; ids run 0..n-1
  const char* name;
  Kind kind;
  const char* text;
  int left, top, width, height;  // twips
  int tabIndex;                  // order in which Tab visits the controls that take focus
  // What a text box holds ("Car weight": no unit, a field may show either) or
  // a picture shows, in words: a text box's initial text is only a prompt and
  // is gone once the user types. Screen readers say it; labels and buttons
  // are known by their captions.
  const char* what = nullptr;
  int labelFor = kNoControl;  // a label: the id of the text box it names
  Fill fill = Fill::Own;
};

// Whether a table's ids number its rows 0..n-1, each once. Every window
// checks its table with this when it is compiled.
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

// The controls of one window, built once from its table and reached by id.
// Reaching for a control that is not there, or for the text of a control
// that has none, raises the control access error.
class Controls {
public:
  Controls(QWidget* clientArea, std::span<const Control> table);
  ~Controls();
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;

  QWidget* widget(int id) const;
  void setVisible(int id, bool visible) const;
  // The text of a text box, read or written whole, visible or not.
  QString text(int id) const;
  void setText(int id, const QString& text) const;
  // What a text box holds, in words, as its row says: "Car weight".
  QString what(int id) const;
  // Binds a button's click to a handler.
  void onClick(int id, std::function<void()> handler) const;
  // Gives the focus to the shown control that comes first in tab order, its
  // whole text selected as Tab would leave it, so that typing replaces it.
  void focusFirst() const;

private:
  QLineEdit* textBox(int id) const;

  QWidget* clientArea_;
  std::vector<QWidget*> widgets_;   // indexed by id
  std::vector<QWidget*> tabOrder_;  // the controls that take focus, by tab index
};

// The order in which a screen reader meets boxes: line by line from the top,
// left to right within a line. A line is the highest, leftmost box not yet
// met and the boxes next below it whose middles and its own lie within each
// other's height, as a short label's does beside its taller field. Returns
// the boxes' indexes in that order.
//   {(0,40 20x10), (0,0 50x10), (60,0 20x10)}  -> {1, 2, 0}
//   {(80,10 40x20), (0,14 70x16)}             -> {1, 0}  a label beside its field
//   {(0,0 10x100), (20,0 50x20)}              -> {0, 1}  a tall picture, then a text right of its top
std::vector<std::size_t> readingOrder(std::span<const QRect> boxes);

// Makes every plain container of controls give them to screen readers in
// reading order, whatever their stacking order. Making the application sets
// up Qt's own descriptions of widgets, and the latest set up is asked first:
// call this after the application is made and before the first window is.
// Controls calls it too; only the first call does anything.
void readControlsInReadingOrder();

// Where a window's client area goes when the window is centred on an
// available screen area: its client area in the middle, yet never so high or
// so far left that the frame's top-left corner, and with it the title bar,
// leaves the area, not even when the window is larger than the area.
//   client 461x310, frame (1,22,1,1), area (0,0 1024x768) -> (282,229)
//   client 461x310, frame (1,22,1,1), area (0,0 320x240)  -> (1,22)
QPoint centredPlace(const QSize& client, const QMargins& frame, const QRect& available);

// Places a window, not yet shown, in the middle of the screen it will open on.
// Its size must be settled first. Its frame is not known yet, so a title bar
// of the style's height is allowed for.
void centreOnScreen(QWidget* window);

}  // namespace torvane::forms
