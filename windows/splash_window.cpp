#include "windows/splash_window.h"

#include <QPainter>
#include <QTimer>
#include <utility>

#include "ui_splash_window.h"
#include "windows/forms.h"
#include "windows/main_window.h"
#include "windows/program.h"

namespace torvane {

// Task bars, window switchers and screen readers name the board by its title,
// and screen readers announce it as a window.
// It stays an ordinary window, so that it takes the keyboard when shown and
// Alt+Tab comes back to it: Openbox does neither for a window of the splash
// type, and leaves one kept off the task bar out of Alt+Tab. The board is
// artwork, the name spelt left to right in three stepped pictures as a logo:
// its form is not mirrored under a right-to-left direction.
SplashWindow::SplashWindow(Program& program)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      program_(program),
      ui_(std::make_unique<Ui::SplashWindow>()) {
  forms::setAccessibleRole(this, QAccessible::Window);
  ui_->setupUi(this);
  setFixedSize(forms::fitToFont(this, size()));
  connect(ui_->cmdBegin, &QPushButton::clicked, ui_->cmdBegin, program_.handlerOf(this, [this] { begin(); }));
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
