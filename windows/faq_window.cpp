#include "windows/faq_window.h"

#include <QHideEvent>
#include <QWindow>

#include "windows/program.h"

namespace torvane {
namespace {

using forms::Control;
using forms::Kind;

enum Id { lblFAQ1, lblFAQ2, lblFAQ3, lblFAQ4, cmdOK };

// The answers start with four spaces, sentences are parted by two, and the
// first answer ends with two: the texts are shown exactly as written.
// clang-format off
constexpr Control kLayout[] = {
  {lblFAQ1, "lblFAQ1", Kind::Label,
   "1. Q - Why does is seem like my car should have more HP than what this calculator says it does?",
   0, 120, 4575, 495, 0},
  {lblFAQ2, "lblFAQ2", Kind::Label,
   "    A - This program figures RWHP (rear wheel horsepower) which is alot different than "
   "horsepower at the crank.  This displays the power your car is putting to the ground.  This is "
   "effected by how efficient your transmission and other drivetrain components are.  ",
   0, 720, 4575, 975, 1},
  {lblFAQ3, "lblFAQ3", Kind::Label,
   "2. Q - Why do I get an error when I try to change the units of speed to KPH?",
   0, 1800, 4575, 495, 2},
  {lblFAQ4, "lblFAQ4", Kind::Label,
   "    A - In this program you must first input numbers for your HP and Weight before you can "
   "switch between MPH and KPH.  The program must have numbers to calculate before it can calculate.",
   0, 2400, 4575, 615, 3},
  {cmdOK, "cmdOK", Kind::Button, "OK", 1920, 3120, 855, 375, 4},
};
// clang-format on
static_assert(forms::idsNumberTheRows(kLayout) && forms::everyFieldIsNamed(kLayout) && forms::labelsLieBelow(kLayout));
constexpr int kClientWidth = 4575;  // twips
constexpr int kClientHeight = 3660;

constexpr int kQuestions[] = {lblFAQ1, lblFAQ3};
constexpr int kAnswers[] = {lblFAQ2, lblFAQ4};
constexpr forms::Group kCaptionGroups[] = {kQuestions, kAnswers};

}  // namespace

FaqWindow::FaqWindow(Program& program)
    : program_(program), controls_(this, {kClientWidth, kClientHeight}, kLayout, kCaptionGroups) {
  setObjectName(QStringLiteral("frmFAQ"));
  setWindowTitle(QStringLiteral("FAQ"));
  // The window is the colour of its labels, whatever the scheme: the button face.
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  resize(controls_.clientSize());  // sizable; the controls stay put
  controls_.onClick(cmdOK, program_.handlerOf(this, [this] { hide(); }));
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
