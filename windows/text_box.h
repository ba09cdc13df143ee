#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace torvane::forms {

// A single-line text box that takes text of any length, and pastes a long
// text in time that grows with its length alone.
QLineEdit* makeTextBox(const QString& text, QWidget* parent);

}  // namespace torvane::forms
