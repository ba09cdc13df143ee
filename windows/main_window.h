#pragma once

#include <QMainWindow>
#include <memory>

#include "core/numeric_text.h"

namespace Ui {
class MainWindow;
}

namespace torvane {

class Program;
class TextBox;

// The calculator, frmMain. One surface with two modes: ET mode figures the
// quarter- and eighth-mile ET and trap speed from horsepower and weight; HP
// mode figures the rear-wheel horsepower from weight and trap speed. A mode is
// nothing but which of two sets of controls is shown; every value is the text
// of a field, read back as displayed whenever a later step needs it.
class MainWindow : public QMainWindow {
  Q_OBJECT

public:
  // Builds the window from its form and puts it into ET mode; does not show it.
  explicit MainWindow(Program& program);
  ~MainWindow() override;

  void enterEtMode();
  void enterHpMode();

  // The Figure buttons of the two modes.
  void figureEt();
  void figureHp();

  // The menu commands. The speed conversions work on the two trap-speed
  // fields in either mode and remember no unit: two KPH commands multiply twice.
  void convertToKph();
  void convertToMph();
  void showFaq();
  void exitProgram();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  using Command = void (MainWindow::*)();
  std::function<void()> handlerOf(Command command);
  void showMode(const QWidgetList& shown, const QWidgetList& hidden);
  void convertSpeeds(double (*convert)(double));
  double number(const TextBox* field, decltype(&textToNumber) read = textToNumber) const;
  void write(TextBox* field, double value, DisplayPattern pattern);
  void tell(std::initializer_list<const TextBox*> results) const;

  Program& program_;
  std::unique_ptr<Ui::MainWindow> ui_;
  QWidgetList etMode_, hpMode_;
};

}  // namespace torvane
