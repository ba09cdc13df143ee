#include "windows/main_window.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QLayout>
#include <QLocale>

#include "core/estimates.h"
#include "core/speed_units.h"
#include "ui_main_window.h"
#include "windows/faq_window.h"
#include "windows/forms.h"
#include "windows/program.h"

namespace torvane {
namespace {

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

MainWindow::MainWindow(Program& program) : program_(program), ui_(std::make_unique<Ui::MainWindow>()) {
  ui_->setupUi(this);
  // The client area takes the colour of an active window's border. Qt has no
  // such role; the palette's Mid shade is the nearest and follows the theme.
  QPalette palette = ui_->clientArea->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Mid));
  ui_->clientArea->setPalette(palette);
  ui_->clientArea->setFixedSize(forms::fitToFont(ui_->clientArea, ui_->clientArea->minimumSize()));
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // the frame cannot resize it

  for (TextBox* field : ui_->clientArea->findChildren<TextBox*>())
    field->setReport([this](const RuntimeError& error) { program_.report(this, error); });
  // A screen reader reads a mode's prompt with the mode's first field, which
  // takes the focus when the mode is entered.
  ui_->txtHP1->setAccessibleDescription(ui_->lbl2->text());
  ui_->txtWeight->setAccessibleDescription(ui_->lbl1->text());
  // Words for a screen reader alone: the form's notice, of no size, which a
  // screen reader presents as a notification when it is shown, without moving
  // the focus, and shows on a braille display.
  forms::setAccessibleRole(ui_->notice, QAccessible::Notification);
  ui_->notice->hide();
  const std::pair<QAction*, Command> menu[] = {
      {ui_->ET, &MainWindow::enterHpMode},      {ui_->mnuET, &MainWindow::enterEtMode},
      {ui_->mnuExit, &MainWindow::exitProgram}, {ui_->mnuFAQ, &MainWindow::showFaq},
      {ui_->mnuMPH, &MainWindow::convertToMph}, {ui_->mnuKPH, &MainWindow::convertToKph},
  };
  for (const auto& [item, command] : menu) connect(item, &QAction::triggered, this, handlerOf(command));
  // A button runs its command in its own context: one in the window's would
  // tell screen readers that the button controls the window.
  for (const auto& [button, command] :
       {std::pair{ui_->cmdFigureEt, &MainWindow::figureEt}, std::pair{ui_->cmdFigurehp, &MainWindow::figureHp}})
    connect(button, &QPushButton::clicked, button, handlerOf(command));

  etMode_ = {ui_->cmdFigureEt, ui_->txtHP1,     ui_->txtWeight1, ui_->txtET, ui_->lbl2, ui_->txt8th,
             ui_->txt4trap,    ui_->txt8thTrap, ui_->lbl3,       ui_->lbl4,  ui_->lbl5, ui_->lbl6};
  hpMode_ = {ui_->cmdFigurehp, ui_->txtHP, ui_->txtTrapspeed, ui_->txtWeight, ui_->lbl1};
  enterEtMode();
  adjustSize();
  forms::centreOnScreen(this);
}

MainWindow::~MainWindow() = default;

std::function<void()> MainWindow::handlerOf(Command command) {
  return program_.handlerOf(this, [this, command] { (this->*command)(); });
}

// A switch shows a mode's controls and hides the other mode's. Where it hides
// the control with the focus, or comes before any control had it (on
// loading), the focus goes to the mode's first field, with its text selected:
// the first keystroke fills it, replacing the prompt. The focus moves before
// the other mode's controls are hidden, so that it goes straight there rather
// than through them, which a screen reader would follow.
void MainWindow::showMode(const QWidgetList& shown, const QWidgetList& hidden) {
  for (QWidget* control : shown) control->setVisible(true);
  if (!focusWidget() || hidden.contains(focusWidget())) forms::focusFirstField(this, shown);
  for (QWidget* control : hidden) control->setVisible(false);
}

void MainWindow::enterEtMode() { showMode(etMode_, hpMode_); }
void MainWindow::enterHpMode() { showMode(hpMode_, etMode_); }

// `read` is inputToNumber for what the user enters. A text that the other mark
// spells as a number, even one too large or too small, is read with that mark;
// any other with the written one.
double MainWindow::number(const TextBox* field, decltype(&textToNumber) read) const {
  const std::string text = field->text().toStdString();
  const auto [written, alsoRead] = decimalMarks();
  double value = 0;
  const bool other = !alsoRead.empty() && readNumber(text, alsoRead, value) != ReadError::NotANumber;
  return read(text, other ? alsoRead : written, field->nameInSentence().toStdString());
}

void MainWindow::write(TextBox* field, double value, DisplayPattern pattern) {
  field->setText(QString::fromStdString(formatNumber(value, pattern, decimalMarks().written)));
  field->setCursorPosition(0);  // the start of a long number is the part worth seeing
}

// Four steps, each writing its field before the next reads. The eighth-mile
// figures are worked from the quarter-mile ones as displayed, already rounded.
void MainWindow::figureEt() {
  const double weight = number(ui_->txtWeight1, inputToNumber);
  const double hp = number(ui_->txtHP1, inputToNumber);
  write(ui_->txtET, torvane::figureEt(weight, hp), DisplayPattern::TwoDecimals);

  const double hpAgain = number(ui_->txtHP1, inputToNumber);
  const double weightAgain = number(ui_->txtWeight1, inputToNumber);
  write(ui_->txt4trap, figureTrapSpeed(hpAgain, weightAgain), DisplayPattern::OneDecimal);

  write(ui_->txt8th, figureEighthEt(number(ui_->txtET)), DisplayPattern::TwoDecimals);
  write(ui_->txt8thTrap, figureEighthTrap(number(ui_->txt4trap)), DisplayPattern::OneDecimal);
  tell({ui_->txtET, ui_->txt4trap, ui_->txt8th, ui_->txt8thTrap});
}

void MainWindow::figureHp() {
  const double trapSpeed = number(ui_->txtTrapspeed, inputToNumber);
  const double weight = number(ui_->txtWeight, inputToNumber);
  write(ui_->txtHP, torvane::figureHp(weight, trapSpeed), DisplayPattern::TwoDecimals);
  tell({ui_->txtHP});
}

// The focus stays on the Figure button, so a screen reader is told the
// results, each by its field's name, in one sentence:
//   "Quarter-mile ET 12.55, quarter-mile trap speed 108.7, eighth-mile ET 8.10, eighth-mile trap speed 87.7."
// On Windows, UI Automation speaks a text value change as a notification.
void MainWindow::tell(std::initializer_list<const TextBox*> results) const {
  QStringList said;
  for (const TextBox* field : results) said << field->nameInSentence() + u' ' + field->text();
  QString sentence = said.join(QStringLiteral(", ")) + u'.';
  sentence[0] = sentence[0].toUpper();
  ui_->noticeText->setText(sentence);
  ui_->notice->hide();
  ui_->notice->show();  // presented as it appears
#ifdef Q_OS_WIN
  QAccessibleValueChangeEvent event(ui_->notice, sentence);
  QAccessible::updateAccessibility(&event);
#endif
}

// The quarter-mile speed is converted and written before the eighth-mile one is read.
void MainWindow::convertSpeeds(double (*convert)(double)) {
  for (TextBox* field : {ui_->txt4trap, ui_->txt8thTrap})
    write(field, convert(number(field)), DisplayPattern::OneDecimal);
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
