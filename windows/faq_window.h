#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class FaqWindow;
}

namespace torvane {

class Program;

// frmFAQ: two questions with their answers and an OK button. It belongs to no
// other window and blocks none. OK, or closing it through its frame, only hides
// it, so the next showing finds it where and as large as the user left it.
class FaqWindow : public QWidget {
  Q_OBJECT

public:
  explicit FaqWindow(Program& program);
  ~FaqWindow() override;

protected:
  void hideEvent(QHideEvent* event) override;

private:
  std::unique_ptr<Ui::FaqWindow> ui_;
};

}  // namespace torvane
