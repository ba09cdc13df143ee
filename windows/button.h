#pragma once

#include <QPainter>
#include <QPushButton>

namespace torvane {

// The forms' push button. Its caption reads in its own direction, as a
// label's does; a QPushButton reads it in the application's, so that under a
// right-to-left direction "Figure H.P." would begin with its full stop.
class Button final : public QPushButton {
public:
  using QPushButton::QPushButton;

protected:
  void initPainter(QPainter* painter) const override {
    QPushButton::initPainter(painter);
    painter->setLayoutDirection(text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
  }
};

}  // namespace torvane
