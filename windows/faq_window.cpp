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
  {.id = lblFAQ1, .name = "lblFAQ1", .kind = Kind::Label,
   .text = "1. Q - Why does is seem like my car should have more HP than what this calculator says it does?",
   .box = {0, 120, 4575, 495}},
  {.id = lblFAQ2, .name = "lblFAQ2", .kind = Kind::Label,
   .text = "    A - This program figures RWHP (rear wheel horsepower) which is alot different than "
           "horsepower at the crank.  This displays the power your car is putting to the ground.  This is "
           "effected by how efficient your transmission and other drivetrain components are.  ",
   .box = {0, 720, 4575, 975}},
  {.id = lblFAQ3, .name = "lblFAQ3", .kind = Kind::Label,
   .text = "2. Q - Why do I get an error when I try to change the units of speed to KPH?",
   .box = {0, 1800, 4575, 495}},
  {.id = lblFAQ4, .name = "lblFAQ4", .kind = Kind::Label,
   .text = "    A - In this program you must first input numbers for your HP and Weight before you can "
           "switch between MPH and KPH.  The program must have numbers to calculate before it can calculate.",
   .box = {0, 2400, 4575, 615}},
  {.id = cmdOK, .name = "cmdOK", .kind = Kind::Button, .text = "OK", .box = {1920, 3120, 855, 375}, .tabIndex = 4},
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
