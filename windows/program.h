#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace torvane {

class RuntimeError;
class MainWindow;
class FaqWindow;
class SplashWindow;

// The running program: the one instance of each window, created on first
// use, and the way every event's handler is run.
class Program {
public:
  // How a run-time error reaches the user. Tests pass their own to read it.
  using ErrorReport = std::function<void(QWidget* window, const RuntimeError& error)>;

  explicit Program(ErrorReport report);
  Program();  // reports in a modal message box
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts the program as a user sees it: shows the splash window.
  void start();

  // Creating a window does not show it.
  SplashWindow& splash();
  MainWindow& mainWindow();
  bool hasMainWindow() const { return mainWindow_ != nullptr; }
  FaqWindow& faq();
  bool hasFaq() const { return faq_ != nullptr; }

  // Runs an event's handler. A run-time error stops the handler at the step
  // that raised it, leaves what it wrote before that step, is reported, and
  // the program goes on running.
  void deliver(QWidget* window, const std::function<void()>& handler) const;
  // The same, bound up as the handler of a control's event.
  std::function<void()> handlerOf(QWidget* window, std::function<void()> handler) const;
  // Reports an error met outside a handler, such as a text a field refuses.
  void report(QWidget* window, const RuntimeError& error) const { report_(window, error); }

  // Ends the program at once: every window hides and the event loop stops.
  void end();

private:
  ErrorReport report_;
  std::unique_ptr<SplashWindow> splash_;
  std::unique_ptr<MainWindow> mainWindow_;
  std::unique_ptr<FaqWindow> faq_;
};

// The report a user sees: a modal message naming the kind of error and its cause.
void reportInMessageBox(QWidget* window, const RuntimeError& error);

}  // namespace torvane
