#include "windows/program.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "assets/pictures.h"
#include "core/runtime_error.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/splash_window.h"

namespace torvane {

Program::Program(ErrorReport report) : report_(std::move(report)) {}
Program::Program() : Program(reportInMessageBox) {}
Program::~Program() = default;

void Program::start() {
  // On X11 setting the icon sends each of its sizes to the server: the board's
  // first picture does not wait for that.
  splash().afterFirstDrawn([] { QApplication::setWindowIcon(pictures::windowIcon()); });
  splash().show();
}

SplashWindow& Program::splash() {
  if (!splash_) splash_ = std::make_unique<SplashWindow>(*this);
  return *splash_;
}

MainWindow& Program::mainWindow() {
  if (!mainWindow_) mainWindow_ = std::make_unique<MainWindow>(*this);
  return *mainWindow_;
}

FaqWindow& Program::faq() {
  if (!faq_) faq_ = std::make_unique<FaqWindow>(*this);
  return *faq_;
}

void Program::deliver(QWidget* window, const std::function<void()>& handler) const {
  try {
    handler();
  } catch (const RuntimeError& error) {
    report_(window, error);
  }
}

void Program::end() {
  for (QWidget* window : std::initializer_list<QWidget*>{splash_.get(), mainWindow_.get(), faq_.get()})
    if (window) window->hide();
  QCoreApplication::exit(0);
}

std::function<void()> Program::handlerOf(QWidget* window, std::function<void()> handler) const {
  return [this, window, handler = std::move(handler)] { deliver(window, handler); };
}

namespace {

// A message quotes at most a few dozen characters, ending in the closing
// isolate (U+2069). Left to itself, a message box is as narrow as its title
// and breaks the quote across lines; made as wide as the message up to the end
// of the quote, it wraps only between its own words after it. No wider than
// three quarters of the screen, though.
void keepQuoteOnOneLine(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
  if (!label) return;
  const QString text = label->text();
  qsizetype end = text.indexOf(QChar(0x2069));
  if (end < 0) return;
  end += text.mid(end + 1, 1) == QStringLiteral("\"") ? 2 : 1;
  const QFontMetrics metrics = label->fontMetrics();
  int width = metrics.horizontalAdvance(text.left(end)) + metrics.averageCharWidth();
  if (const QScreen* screen = box.screen()) width = std::min(width, screen->availableGeometry().width() * 3 / 4);
  label->setMinimumWidth(width);
}

// A screen reader reads the title and the text as they are named, and a
// braille display shows them: without the isolates that keep a quote apart on
// screen, and the title a sentence of its own.
void nameForScreenReaders(QMessageBox& box) {
  const auto withoutIsolates = [](QString text) {
    return text.removeIf([](QChar c) { return c >= QChar(0x2066) && c <= QChar(0x2069); });
  };
  if (auto* title = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
    title->setAccessibleName(withoutIsolates(box.text()) + u'.');
  if (auto* detail = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
    detail->setAccessibleName(withoutIsolates(box.informativeText()));
}

}  // namespace

void reportInMessageBox(QWidget* window, const RuntimeError& error) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Torvane"), QString::fromUtf8(error.kind().title),
                  QMessageBox::Ok, window);
  box.setInformativeText(QString::fromStdString(error.detail()));
  // A message can quote what the user typed. Left to guess, a label would
  // take a text that looks like HTML for HTML, and open the links in it.
  for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  keepQuoteOnOneLine(box);
  nameForScreenReaders(box);
  box.exec();
}

}  // namespace torvane
