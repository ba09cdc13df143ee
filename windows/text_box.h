#pragma once

#include <QtGlobal>
#include <functional>

#include "windows/errors.h"

class QLineEdit;
class QString;
class QWidget;

namespace torvane::forms {

// How a text box's refusal of a text reaches the user.
using Report = std::function<void(const RuntimeError& error)>;

// The most characters a text box holds. Qt lays a field's whole text out
// again at each keystroke: at this length a keystroke in a full field of mixed
// scripts still answers within 100 ms on a two-core desktop.
inline constexpr qsizetype kMostCharacters = 65'536;

// A single-line text box. A text that would make it longer than
// kMostCharacters is refused, whether typed, pasted (keys, its menu, a middle
// click), dropped, committed by an input method or entered by a screen
// reader: the box keeps its text, a drag's source keeps its own, and `report`
// says why once the event is over, naming the field by its accessible name.
// A paste with no text changes nothing.
QLineEdit* makeTextBox(const QString& text, QWidget* parent, Report report);

// A text box's accessible name as it reads mid-sentence: "car weight".
QString nameInSentence(const QWidget* box);

}  // namespace torvane::forms
