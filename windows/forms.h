#pragma once

#include <QAccessible>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QMargins;
class QWidget;

// What a Qt Designer form cannot say of itself: the windows' forms are drawn
// in pixels at the platform's default font, and these fit them to the user's.
namespace torvane::forms {

// The font every form is drawn for: the size of the platform's default font,
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

// How a form's pixels at the design font become pixels at the user's. With a
// larger or smaller font the whole form grows or shrinks with it, as
// WinForms' AutoScaleMode.Font does:
//   Scale(1).pixels(461) -> 461,   Scale(20.0 / 9).pixels(461) -> 1024
// Each edge is rounded on its own, so boxes that meet or stand apart at the
// design font still meet or stand apart.
class Scale {
public:
  explicit constexpr Scale(double factor = 1) : factor_(factor) {}
  // The scale for the font of a window's client area, `designSize` large: its
  // size over the design font's, both in pixels; but a window grows no larger
  // than its frame, menu bar and client area fit in the screen's available
  // area. (On a screen too small for the design size it keeps that size.)
  static Scale of(const QWidget* clientArea, QSize designSize);

  double factor() const { return factor_; }
  int pixels(int designPixels) const;
  QRect rect(QRect designRect) const;

private:
  double factor_;
};

// Fits the controls of a form's client area, `designSize` large at the design
// font, to the user's font and layout direction, and gives the size the client
// area takes; setting it is left to the window:
// - every control grows or shrinks with the Scale, a picture with its box;
// - under a right-to-left direction the form is mirrored as a whole, as Qt's
//   layouts are, in a client area of any size; the text inside a control
//   keeps its own direction, punctuation included, and the tab and reading
//   orders stay;
// - a caption (of a label or a button) that does not fit its box, in the font
//   it shows in, is first condensed at the same size. One that no stretch fits
//   takes a smaller size, shared by every such caption of the form: the
//   largest at which they all fit, down to 7/9 of the font size the form is
//   scaled for. Captions whose `captionGroup` property names one group take
//   one look, the narrowest stretch or the smaller size that any of them
//   needs. Text boxes keep their font, so that whatever is typed or written in
//   them reads at one size; a prompt longer than its box shows its beginning.
// A label that fills its background fills it with the button face; one that
// does not shows the window's colour. A label whose `picture` property names
// one of the compiled-in pictures (assets/pictures.h) shows it.
QSize fitToFont(QWidget* clientArea, QSize designSize);

// How screen readers announce a widget, which Qt describes by its class
// alone: a plain QWidget as a client area, even where it is a window, a
// dialog or a notification. Set before the widget is first shown.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Gives the focus to the first of `fields` in the order Tab visits a window's
// controls, its whole text selected as Tab would leave it, so that typing
// replaces it.
void focusFirstField(QWidget* window, const QList<QWidget*>& fields);

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
