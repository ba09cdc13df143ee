#include "windows/main_window.h"

#include <QCloseEvent>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <algorithm>
#include <array>
#include <utility>

#include "core/estimates.h"
#include "core/speed_units.h"
#include "windows/faq_window.h"
#include "windows/program.h"

namespace torvane {
namespace {

using forms::Control;
using forms::Fill;
using forms::Kind;

// clang-format off
enum Id {
  lbl2, txtHP1, txtWeight1, cmdFigureEt, lbl5, txt8th, lbl6, txt8thTrap, lbl3, txtET, lbl4, txt4trap,
  lbl1, txtWeight, txtTrapspeed, cmdFigurehp, txtHP,
};
// clang-format on

// Both modes share one grid: the prompt along the top, inputs in a left
// column, the Figure button and results in a right column, each result's
// label to its left; each HP-mode control stands in an ET-mode one's place.
// Each mode's rows run in reading order.
// clang-format off
constexpr Control kEtMode[] = {
  {.id = lbl2, .name = "lbl2", .kind = Kind::Label,
   .text = "Enter the following information to figure your car's estimated elapsed time.",
   .box = {120, 960, 5295, 375}, .fill = Fill::Window},
  {.id = txtHP1, .name = "txtHP1", .kind = Kind::TextBox, .text = "Enter HP",
   .box = {120, 1320, 1935, 375}, .tabIndex = 5, .what = "Horsepower"},
  {.id = txtWeight1, .name = "txtWeight1", .kind = Kind::TextBox, .text = "Enter Car Weight Here",
   .box = {120, 1920, 1935, 375}, .tabIndex = 6, .what = "Car weight"},
  {.id = cmdFigureEt, .name = "cmdFigureEt", .kind = Kind::Button, .text = "Figure",
   .box = {2160, 1920, 1215, 375}, .tabIndex = 7},
  {.id = lbl5, .name = "lbl5", .kind = Kind::Label, .text = "1/8 Mile ET",
   .box = {1080, 2520, 975, 255}, .labelFor = txt8th},
  {.id = txt8th, .name = "txt8th", .kind = Kind::TextBox, .text = "1/8 Mile ET",
   .box = {2160, 2400, 1215, 375}, .tabIndex = 12, .what = "Eighth-mile ET"},
  {.id = lbl6, .name = "lbl6", .kind = Kind::Label, .text = "1/8 Mile Trap Speed",
   .box = {480, 3000, 1575, 255}, .labelFor = txt8thTrap},
  {.id = txt8thTrap, .name = "txt8thTrap", .kind = Kind::TextBox, .text = "1/8 Mile Trap",
   .box = {2160, 2880, 1215, 375}, .tabIndex = 10, .what = "Eighth-mile trap speed"},
  {.id = lbl3, .name = "lbl3", .kind = Kind::Label, .text = "1/4 Mile ET",
   .box = {1080, 3480, 975, 255}, .labelFor = txtET},
  {.id = txtET, .name = "txtET", .kind = Kind::TextBox, .text = "Your ET",
   .box = {2160, 3360, 1215, 375}, .tabIndex = 8, .what = "Quarter-mile ET"},
  {.id = lbl4, .name = "lbl4", .kind = Kind::Label, .text = "1/4 Mile Trap Speed",
   .box = {480, 3960, 1575, 255}, .labelFor = txt4trap},
  {.id = txt4trap, .name = "txt4trap", .kind = Kind::TextBox, .text = "Text2",
   .box = {2160, 3840, 1215, 375}, .tabIndex = 11, .what = "Quarter-mile trap speed"},
};
constexpr Control kHpMode[] = {
  {.id = lbl1, .name = "lbl1", .kind = Kind::Label,
   .text = "Enter the following information to figure your car's rear wheel HP.",
   .box = {120, 960, 4695, 255}},
  {.id = txtWeight, .name = "txtWeight", .kind = Kind::TextBox, .text = "Enter Car Weight Here",
   .box = {120, 1320, 1935, 375}, .tabIndex = 1, .what = "Car weight"},
  {.id = txtTrapspeed, .name = "txtTrapspeed", .kind = Kind::TextBox, .text = "Enter Trap Speed Here",
   .box = {120, 1920, 1935, 375}, .tabIndex = 2, .what = "Trap speed"},
  {.id = cmdFigurehp, .name = "cmdFigurehp", .kind = Kind::Button, .text = "Figure H.P.",
   .box = {2160, 1920, 1215, 375}, .tabIndex = 0},
  {.id = txtHP, .name = "txtHP", .kind = Kind::TextBox, .text = "H.P.",
   .box = {2160, 2400, 1215, 375}, .tabIndex = 3, .what = "Rear-wheel horsepower"},
};
// clang-format on
constexpr auto kLayout = [] {
  std::array<Control, std::size(kEtMode) + std::size(kHpMode)> rows{};
  std::ranges::copy(kHpMode, std::ranges::copy(kEtMode, rows.begin()).out);
  return rows;
}();
static_assert(forms::idsNumberTheRows(kLayout) && forms::everyFieldIsNamed(kLayout) && forms::labelsLieBelow(kLayout));
constexpr int kClientWidth = 6915;  // twips
constexpr int kClientHeight = 4320;

// Captions that share one look where they need a smaller one.
constexpr int kPrompts[] = {lbl2, lbl1};
constexpr int kResultNames[] = {lbl5, lbl6, lbl3, lbl4};
constexpr forms::Group kCaptionGroups[] = {kPrompts, kResultNames};

// A switch hides the other mode's controls and shows its own. When it hides
// the control with the focus, or comes before any control had it (on
// loading), the focus goes to the mode's first field, with its text selected:
// the first keystroke fills it, replacing the prompt.
void showMode(const QWidget& window, const forms::Controls& controls, std::span<const Control> shown,
              std::span<const Control> hidden) {
  const QWidget* hadFocus = window.focusWidget();
  for (const Control& row : hidden) controls.setVisible(row.id, false);
  for (const Control& row : shown) controls.setVisible(row.id, true);
  if (!hadFocus || hadFocus->isHidden()) controls.focusFirst();
}

struct Button {
  Id button;
  MainWindow::Command run;
};
// clang-format off
constexpr Button kButtons[] = {
  {cmdFigureEt, &MainWindow::figureEt},
  {cmdFigurehp, &MainWindow::figureHp},
};
// clang-format on

// The menu bar, in the order shown; an item without a command opens the next
// level's items. "&" marks the access key. Mind the names: `ET` enters HP mode
// and `mnuET` ET mode. `opensAMenu` lets isATree check the table at compile
// time without comparing pointers to members.
struct MenuItem {
  constexpr MenuItem(int level, const char* name, const char* caption)
      : level(level), name(name), caption(caption), run(nullptr), opensAMenu(true) {}
  constexpr MenuItem(int level, const char* name, const char* caption, MainWindow::Command run)
      : level(level), name(name), caption(caption), run(run), opensAMenu(false) {}
  int level;
  const char* name;
  const char* caption;
  MainWindow::Command run;
  bool opensAMenu;
};
// clang-format off
constexpr MenuItem kMenu[] = {
  {0, "mnuFile", "&File"},
  {1, "Action", "&Action"},
  {2, "ET", "HP From MPH/Weight", &MainWindow::enterHpMode},
  {2, "mnuET", "ET From HP/Weight", &MainWindow::enterEtMode},
  {1, "mnuExit", "Exit", &MainWindow::exitProgram},
  {0, "mnuHelp", "&Help"},
  {1, "mnuFAQ", "&FAQ", &MainWindow::showFaq},
  {0, "mnuOptions", "&Options"},
  {1, "mnuAppear", "&Appearance"},
  {2, "mnuMPH", "Speed Appear In MPH (Default)", &MainWindow::convertToMph},
  {2, "mnuKPH", "Speed To Appear In KPH", &MainWindow::convertToKph},
};
// clang-format on
constexpr int kMenuLevels = 3;

// Whether each item opens from the menu above it: the bar holds only menus,
// an item is at most one level below the last menu still open, and every
// menu holds an item.
constexpr bool isATree(std::span<const MenuItem> menu) {
  int open = -1;  // the level of the deepest menu still open
  for (std::size_t i = 0; i < menu.size(); ++i) {
    const MenuItem& item = menu[i];
    if (item.level < 0 || item.level >= kMenuLevels || item.level > open + 1) return false;
    if (item.level == 0 && !item.opensAMenu) return false;
    if (item.opensAMenu && (i + 1 == menu.size() || menu[i + 1].level != item.level + 1)) return false;
    open = item.opensAMenu ? item.level : item.level - 1;
  }
  return true;
}
static_assert(isATree(kMenu));

// The client area takes the colour of an active window's border. Qt has no
// such role; the palette's Mid shade is the nearest and follows the theme.
QWidget* makeClientArea(QMainWindow* window) {
  auto* client = new QWidget(window);
  QPalette palette = client->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Mid));
  client->setPalette(palette);
  client->setAutoFillBackground(true);
  window->setCentralWidget(client);
  return client;
}

// Numbers are written in the digits 0 to 9 with the decimal mark that goes
// with them: the locale's own where its numbers use those digits or a point
// groups their digits, else a point, as in the Latin-digit formats of Arabic
// and Persian. The locale's own mark ("٫" there) is then read as well.
struct DecimalMarks {
  std::string written;
  std::string alsoRead;  // empty where there is no other
};

DecimalMarks decimalMarks() {
  const QLocale locale;
  const std::string own = locale.decimalPoint().toStdString();
  if (locale.zeroDigit() == u"0" || locale.groupSeparator() == u".") return {own, {}};
  return {".", own == "." ? std::string() : own};
}

}  // namespace

MainWindow::MainWindow(Program& program)
    : program_(program),
      controls_(makeClientArea(withMenuBar()), {kClientWidth, kClientHeight}, kLayout, kCaptionGroups,
                [this](const RuntimeError& error) { program_.report(this, error); }) {
  centralWidget()->setFixedSize(controls_.clientSize());
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Torvane V 1.0"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // the frame cannot resize it

  for (const auto& [button, run] : kButtons) controls_.onClick(button, handlerOf(run));

  enterEtMode();
  adjustSize();
  forms::centreOnScreen(this);
}

MainWindow::~MainWindow() = default;

std::function<void()> MainWindow::handlerOf(Command command) {
  return program_.handlerOf(this, [this, command] { (this->*command)(); });
}

// The menu bar is built before the controls: a screen reader meets it first, as
// it stands above them, and the layout's scale allows for its height.
QMainWindow* MainWindow::withMenuBar() {
  buildMenuBar();
  return this;
}

void MainWindow::buildMenuBar() {
  QMenu* opened[kMenuLevels] = {};  // the menu last opened at each level
  for (const MenuItem& item : kMenu) {
    const QString caption = QString::fromUtf8(item.caption);
    if (item.opensAMenu) {
      QMenu* menu = item.level == 0 ? menuBar()->addMenu(caption) : opened[item.level - 1]->addMenu(caption);
      menu->setObjectName(QString::fromUtf8(item.name));
      opened[item.level] = menu;
      continue;
    }
    QAction* action = opened[item.level - 1]->addAction(caption);
    action->setObjectName(QString::fromUtf8(item.name));
    connect(action, &QAction::triggered, this, handlerOf(item.run));
  }
}

void MainWindow::enterEtMode() { showMode(*this, controls_, kEtMode, kHpMode); }
void MainWindow::enterHpMode() { showMode(*this, controls_, kHpMode, kEtMode); }

// `read` is inputToNumber for what the user enters. A text that the other mark
// spells as a number, even one too large or too small, is read with that mark;
// any other with the written one.
double MainWindow::number(int field, decltype(&textToNumber) read) const {
  const std::string text = controls_.text(field).toStdString();
  const auto [written, alsoRead] = decimalMarks();
  double value = 0;
  const bool other = !alsoRead.empty() && readNumber(text, alsoRead, value) != ReadError::NotANumber;
  return read(text, other ? alsoRead : written, controls_.what(field).toStdString());
}

void MainWindow::write(int field, double value, DisplayPattern pattern) {
  controls_.setText(field, QString::fromStdString(formatNumber(value, pattern, decimalMarks().written)));
}

// Four steps, each writing its field before the next reads. The eighth-mile
// figures are worked from the quarter-mile ones as displayed, already rounded.
void MainWindow::figureEt() {
  const double weight = number(txtWeight1, inputToNumber);
  const double hp = number(txtHP1, inputToNumber);
  write(txtET, torvane::figureEt(weight, hp), DisplayPattern::TwoDecimals);

  const double hpAgain = number(txtHP1, inputToNumber);
  const double weightAgain = number(txtWeight1, inputToNumber);
  write(txt4trap, figureTrapSpeed(hpAgain, weightAgain), DisplayPattern::OneDecimal);

  write(txt8th, figureEighthEt(number(txtET)), DisplayPattern::TwoDecimals);
  write(txt8thTrap, figureEighthTrap(number(txt4trap)), DisplayPattern::OneDecimal);
}

void MainWindow::figureHp() {
  const double trapSpeed = number(txtTrapspeed, inputToNumber);
  const double weight = number(txtWeight, inputToNumber);
  write(txtHP, torvane::figureHp(weight, trapSpeed), DisplayPattern::TwoDecimals);
}

// The quarter-mile speed is converted and written before the eighth-mile one is read.
void MainWindow::convertSpeeds(double (*convert)(double)) {
  for (const Id field : {txt4trap, txt8thTrap}) write(field, convert(number(field)), DisplayPattern::OneDecimal);
}

void MainWindow::convertToKph() { convertSpeeds(toKph); }
void MainWindow::convertToMph() { convertSpeeds(toMph); }

void MainWindow::showFaq() {
  FaqWindow& faq = program_.faq();
  faq.show();
  faq.raise();
  faq.activateWindow();  // the keyboard goes with it
}

void MainWindow::exitProgram() { program_.end(); }

// Closing the calculator ends the program, as Exit does: the hidden splash
// window must not keep it running.
void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  program_.end();
}

}  // namespace torvane
