#include "windows/faq_window.h"

#include <QHideEvent>
#include <QWindow>

#include "ui_faq_window.h"
#include "windows/forms.h"
#include "windows/program.h"

namespace torvane {

// A screen reader reads a dialog's text in full when it opens, where it reads
// nothing of a plain window's; the window stays modeless, and Esc does not
// close it.
FaqWindow::FaqWindow(Program& program) : ui_(std::make_unique<Ui::FaqWindow>()) {
  forms::setAccessibleRole(this, QAccessible::Dialog);
  ui_->setupUi(this);
  // The window is the colour of its labels, whatever the scheme: the button face.
  setBackgroundRole(QPalette::Button);
  resize(forms::fitToFont(this, size()));  // sizable; the controls stay put
  connect(ui_->cmdOK, &QPushButton::clicked, ui_->cmdOK, program.handlerOf(this, [this] { hide(); }));
}

FaqWindow::~FaqWindow() = default;

// Hidden, the window keeps its place for the next showing. Unless the
// program asks for that place, an X window manager places a window anew each
// time it is shown; a Wayland compositor places it as it sees fit anyway.
void FaqWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (QWindow* handle = windowHandle(); handle && !event->spontaneous())
    handle->setFramePosition(handle->framePosition());
}

}  // namespace torvane
