#include "windows/main_window.h"

#include <QCloseEvent>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
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
// label to its left. Each HP-mode control stands in the place of an ET-mode
// one. The rows of each mode run in reading order.
// clang-format off
constexpr Control kLayout[] = {
  // ET mode
  {lbl2, "lbl2", Kind::Label,
   "Enter the following information to figure your car's estimated elapsed time.",
   120, 960, 5295, 375, 9, nullptr, forms::kNoControl, Fill::Window},
  {txtHP1, "txtHP1", Kind::TextBox, "Enter HP", 120, 1320, 1935, 375, 5, "Horsepower"},
  {txtWeight1, "txtWeight1", Kind::TextBox, "Enter Car Weight Here", 120, 1920, 1935, 375, 6, "Car weight"},
  {cmdFigureEt, "cmdFigureEt", Kind::Button, "Figure", 2160, 1920, 1215, 375, 7},
  {lbl5, "lbl5", Kind::Label, "1/8 Mile ET", 1080, 2520, 975, 255, 15, nullptr, txt8th},
  {txt8th, "txt8th", Kind::TextBox, "1/8 Mile ET", 2160, 2400, 1215, 375, 12, "Eighth-mile ET"},
  {lbl6, "lbl6", Kind::Label, "1/8 Mile Trap Speed", 480, 3000, 1575, 255, 16, nullptr, txt8thTrap},
  {txt8thTrap, "txt8thTrap", Kind::TextBox, "1/8 Mile Trap", 2160, 2880, 1215, 375, 10, "Eighth-mile trap speed"},
  {lbl3, "lbl3", Kind::Label, "1/4 Mile ET", 1080, 3480, 975, 255, 13, nullptr, txtET},
  {txtET, "txtET", Kind::TextBox, "Your ET", 2160, 3360, 1215, 375, 8, "Quarter-mile ET"},
  {lbl4, "lbl4", Kind::Label, "1/4 Mile Trap Speed", 480, 3960, 1575, 255, 14, nullptr, txt4trap},
  {txt4trap, "txt4trap", Kind::TextBox, "Text2", 2160, 3840, 1215, 375, 11, "Quarter-mile trap speed"},
  // HP mode
  {lbl1, "lbl1", Kind::Label,
   "Enter the following information to figure your car's rear wheel HP.",
   120, 960, 4695, 255, 4},
  {txtWeight, "txtWeight", Kind::TextBox, "Enter Car Weight Here", 120, 1320, 1935, 375, 1, "Car weight"},
  {txtTrapspeed, "txtTrapspeed", Kind::TextBox, "Enter Trap Speed Here", 120, 1920, 1935, 375, 2, "Trap speed"},
  {cmdFigurehp, "cmdFigurehp", Kind::Button, "Figure H.P.", 2160, 1920, 1215, 375, 0},
  {txtHP, "txtHP", Kind::TextBox, "H.P.", 2160, 2400, 1215, 375, 3, "Rear-wheel horsepower"},
};
// clang-format on
static_assert(forms::idsNumberTheRows(kLayout) && forms::everyFieldIsNamed(kLayout) && forms::labelsLieBelow(kLayout));
constexpr int kClientWidth = 6915;  // twips
constexpr int kClientHeight = 4320;

// Captions that share one look where they need a smaller one.
constexpr int kPrompts[] = {lbl2, lbl1};
constexpr int kResultNames[] = {lbl5, lbl6, lbl3, lbl4};
constexpr forms::Group kCaptionGroups[] = {kPrompts, kResultNames};

// A mode switch sets every control's visibility, in this order.
struct Visibility {
  Id control;
  bool visible;
};
// clang-format off
constexpr Visibility kEtMode[] = {
  {cmdFigurehp, false}, {txtHP, false}, {txtTrapspeed, false}, {txtWeight, false},
  {lbl1, false}, {cmdFigureEt, true}, {txtHP1, true}, {txtWeight1, true}, {txtET, true},
  {lbl2, true}, {txt8th, true}, {txt4trap, true}, {txt8thTrap, true}, {lbl3, true},
  {lbl4, true}, {lbl5, true}, {lbl6, true},
};
// clang-format on
// clang-format off
constexpr Visibility kHpMode[] = {
  {cmdFigurehp, true}, {txtHP, true}, {txtTrapspeed, true}, {txtWeight, true},
  {lbl1, true}, {cmdFigureEt, false}, {txtHP1, false}, {txtWeight1, false}, {txtET, false},
  {lbl2, false}, {lbl3, false}, {lbl4, false}, {lbl5, false}, {lbl6, false},
  {txt8th, false}, {txt4trap, false}, {txt8thTrap, false},
};
// clang-format on

// When a switch hides the control with the focus, or comes before any control
// had it (on loading), the focus goes to the mode's first field, with its text
// selected: the first keystroke fills it, replacing the prompt.
void showMode(const QWidget& window, const forms::Controls& controls, std::span<const Visibility> mode) {
  const QWidget* hadFocus = window.focusWidget();
  for (const auto& [control, visible] : mode) controls.setVisible(control, visible);
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

// The menu bar, in the order shown. An item without a command opens the
// items of the next level below it. "&" marks the access key. Mind the names:
// `ET` enters HP mode and `mnuET` enters ET mode.
// Whether an item opens a menu is set apart from its command, so that the
// table can be checked when it is compiled: a compiler need not compare
// pointers to members there.
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

// Numbers are written in the digits 0 to 9, with the decimal mark that goes
// with them: the locale's own where it writes its numbers in those digits
// too, else a point, as the Latin-digit formats of Arabic and Persian have it
// (Qt gives those locales their own digits' mark, "٫"). Such a locale's own
// mark is read as well, where it is not a point already. Neither is ever a
// digit group mark in it.
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

  enterEtMode();  // the window's Load
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

void MainWindow::enterEtMode() { showMode(*this, controls_, kEtMode); }
void MainWindow::enterHpMode() { showMode(*this, controls_, kHpMode); }

// A text that is not a number is reported with the field it is in: "In the car weight field, ...".
// A text spelt with the other mark is read, or refused, with it; any other with the written one.
double MainWindow::number(int field) const {
  const std::string text = controls_.text(field).toStdString();
  const auto [written, alsoRead] = decimalMarks();
  double value = 0;
  const bool other = !alsoRead.empty() && readNumber(text, alsoRead, value) != ReadError::NotANumber;
  return textToNumber(text, other ? alsoRead : written, controls_.what(field).toStdString());
}

void MainWindow::write(int field, double value, DisplayPattern pattern) {
  controls_.setText(field, QString::fromStdString(formatNumber(value, pattern, decimalMarks().written)));
}

// Four steps, each writing its field before the next reads. The eighth-mile
// figures are worked from the quarter-mile ones as displayed, already rounded.
void MainWindow::figureEt() {
  const double weight = number(txtWeight1);
  const double hp = number(txtHP1);
  write(txtET, torvane::figureEt(weight, hp), DisplayPattern::TwoDecimals);

  const double hpAgain = number(txtHP1);
  const double weightAgain = number(txtWeight1);
  write(txt4trap, figureTrapSpeed(hpAgain, weightAgain), DisplayPattern::OneDecimal);

  write(txt8th, figureEighthEt(number(txtET)), DisplayPattern::TwoDecimals);
  write(txt8thTrap, figureEighthTrap(number(txt4trap)), DisplayPattern::OneDecimal);
}

void MainWindow::figureHp() {
  const double trapSpeed = number(txtTrapspeed);
  const double weight = number(txtWeight);
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
