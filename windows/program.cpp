#include "windows/program.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>

#include "assets/pictures.h"
#include "core/runtime_error.h"
#include "torvane_version.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/reading_order.h"
#include "windows/splash_window.h"

namespace torvane {

Program::Program(ErrorReport report) : report_(std::move(report)) {
  // A screen reader may ask about a window while it is being made.
  forms::readControlsInReadingOrder();
}
Program::Program() : Program(reportInMessageBox) {}
Program::~Program() = default;

void Program::start() {
  QApplication::setApplicationName(QStringLiteral("Torvane"));
  QApplication::setApplicationVersion(QString::fromUtf8(kVersion));
  QApplication::setDesktopFileName(QString::fromUtf8(kApplicationId));
  // Only title bars and window switchers show the icon, and the board has no
  // title bar: the first picture on the screen does not wait for it.
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

void reportInMessageBox(QWidget* window, const RuntimeError& error) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Torvane"),
                  QString::fromUtf8(errorTitle(error.kind())), QMessageBox::Ok, window);
  box.setInformativeText(QString::fromStdString(error.detail()));
  // A message can quote what the user typed. Left to guess, a label would
  // take a text that looks like HTML for HTML, and open the links in it.
  for (QLabel* label : box.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace torvane
