#pragma once

#include <cstddef>
#include <span>
#include <vector>

class QRect;
class QWidget;

namespace torvane::forms {

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

// Tells the reading-order description that a container's controls are gone
// and the container is about to be: from then on Qt's own describes it, so
// that no description of ours outlives the widgets it lists.
void controlsAreGone(QWidget* container);

}  // namespace torvane::forms
