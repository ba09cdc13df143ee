#include "windows/splash_window.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QTimer>
#include <utility>

#include "assets/pictures.h"
#include "windows/main_window.h"
#include "windows/program.h"

namespace torvane {
namespace {

using forms::Control;
using forms::Kind;

enum Id { Image1, Image2, Image3, Image4, cmdBegin, Image5 };

// In reading order, which is also the stack from the bottom: each title
// picture covers the foot of the one above it, and the credit runs three
// pixel rows past the bottom edge. A picture's box is its own size; only a
// font other than the design size scales it.
// clang-format off
constexpr Control kLayout[] = {
  {.id = Image1, .name = "Image1", .kind = Kind::Picture, .text = pictures::kStartLight,
   .box = {120, 360, 750, 2070}, .what = "A drag-strip starting-light tower, its lamps unlit"},
  {.id = Image2, .name = "Image2", .kind = Kind::Picture, .text = pictures::kTitle1,
   .box = {1080, 360, 2970, 675}, .what = "\"TOR\", the first part of the name Torvane"},
  {.id = Image3, .name = "Image3", .kind = Kind::Picture, .text = pictures::kTitle2,
   .box = {1320, 840, 2985, 615}, .what = "\"VA\", the second part of the name Torvane"},
  {.id = Image4, .name = "Image4", .kind = Kind::Picture, .text = pictures::kTitle3,
   .box = {1680, 1320, 2400, 630}, .what = "\"NE\", the third part of the name Torvane"},
  {.id = cmdBegin, .name = "cmdBegin", .kind = Kind::Button, .text = "Click Here To Begin",
   .box = {960, 2160, 2775, 375}, .tabIndex = 0},
  {.id = Image5, .name = "Image5", .kind = Kind::Picture, .text = pictures::kCredit,
   .box = {0, 2880, 1560, 330}, .what = "Credit: by Torvane team"},
};
// clang-format on
static_assert(forms::idsNumberTheRows(kLayout) && forms::everyFieldIsNamed(kLayout) && forms::labelsLieBelow(kLayout));
constexpr int kClientWidth = 4680;  // twips; without a frame, the whole window
constexpr int kClientHeight = 3165;

// Qt describes a plain widget as a client area even where it is a window of
// its own, and a screen reader announces a window by its role.
QAccessibleInterface* describeTheBoard(const QString& className, QObject* object) {
  if (className != QLatin1String(SplashWindow::staticMetaObject.className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

SplashWindow::SplashWindow(Program& program)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      program_(program),
      controls_(this, {kClientWidth, kClientHeight}, kLayout) {
  static const bool described = (QAccessible::installFactory(describeTheBoard), true);
  Q_UNUSED(described);
  setObjectName(QStringLiteral("frmBegin"));
  // Task bars, window switchers and screen readers name the board by its
  // title. It stays an ordinary window, so that it takes the keyboard when
  // shown and Alt+Tab comes back to it: Openbox does neither for a window of
  // the splash type, and leaves one kept off the task bar out of Alt+Tab.
  setWindowTitle(QStringLiteral("Torvane"));
  // The board is artwork: the name spelt left to right in three stepped
  // pictures, as a logo. It is not mirrored under a right-to-left direction.
  setLayoutDirection(Qt::LeftToRight);
  setFixedSize(controls_.clientSize());
  controls_.onClick(cmdBegin, program_.handlerOf(this, [this] { begin(); }));
  forms::centreOnScreen(this);
}

SplashWindow::~SplashWindow() = default;

// The board is black in every colour scheme: the artwork is drawn for black.
// It is painted rather than set in the palette, so that the button, which
// inherits the palette, keeps the scheme's look.
void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), Qt::black);
  if (afterFirstDrawn_) QTimer::singleShot(0, this, std::exchange(afterFirstDrawn_, {}));
}

void SplashWindow::afterFirstDrawn(std::function<void()> work) { afterFirstDrawn_ = std::move(work); }

void SplashWindow::begin() const {
  program_.mainWindow().show();
  program_.splash().hide();
}

}  // namespace torvane
