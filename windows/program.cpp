#include "windows/program.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "core/runtime_error.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"

namespace torvane {

Program::Program(ErrorReport report) : report_(std::move(report)) {}
Program::Program() : Program(reportInMessageBox) {}
Program::~Program() = default;

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
  for (QWidget* window : {static_cast<QWidget*>(mainWindow_.get()), static_cast<QWidget*>(faq_.get())})
    if (window) window->hide();
  QCoreApplication::exit(0);
}

void reportInMessageBox(QWidget* window, const RuntimeError& error) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Torvane"),
                  QString::fromUtf8(errorTitle(error.kind())), QMessageBox::Ok, window);
  box.setInformativeText(QString::fromStdString(error.detail()));
  box.exec();
}

}  // namespace torvane
