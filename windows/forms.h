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
  // The scale for a window's font: its size over the design font's, both in pixels.
  static Scale of(const QWidget* window);

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

// One row of a window's layout. `text` is a caption, a text box's initial text
// or, for a picture, its name among the compiled-in pictures (assets/pictures.h). Positions are from the top-left corner
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
