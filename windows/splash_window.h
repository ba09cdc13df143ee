#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class SplashWindow;
}

namespace torvane {

class Program;

// frmBegin, the board the program opens on: the name in three pictures, a
// starting-light tower, a credit line and one button. It waits for the button;
// then it shows the calculator and hides itself for the rest of the run.
class SplashWindow : public QWidget {
  Q_OBJECT

public:
  explicit SplashWindow(Program& program);
  ~SplashWindow() override;

  // The button: shows the calculator first, then hides the board, so that a
  // window is on screen at every moment.
  void begin() const;

  // Work that can wait until the board is on the screen: it runs once, just
  // after the board is first drawn.
  void afterFirstDrawn(std::function<void()> work);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Program& program_;
  std::unique_ptr<Ui::SplashWindow> ui_;
  std::function<void()> afterFirstDrawn_;
};

}  // namespace torvane
