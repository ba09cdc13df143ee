#pragma once

#include <QString>
#include <functional>
#include <span>
#include <vector>

class QLineEdit;
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

// The controls of one window, built once from its table and reached by id.
// Reaching for a control that is not there, or for the text of a control
// that has none, raises the control access error.
class Controls {
public:
  Controls(QWidget* clientArea, std::span<const Control> table);

  QWidget* widget(int id) const;
  void setVisible(int id, bool visible) const;
  // The text of a text box, read or written whole, visible or not.
  QString text(int id) const;
  void setText(int id, const QString& text) const;
  // Binds a button's click to a handler.
  void onClick(int id, std::function<void()> handler) const;

private:
  QLineEdit* textBox(int id) const;

  std::vector<QWidget*> widgets_;  // indexed by id
};

// Places a window, not yet shown, in the middle of the screen it will open on.
// Its size must be settled first.
void centreOnScreen(QWidget* window);

}  // namespace torvane::forms
