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
// scripts still answers within 100 ms on a two-core desktop, and it is twice
// what a field once held (32,767).
inline constexpr qsizetype kMostCharacters = 65'536;

// A single-line text box. Typed, pasted (keys, its menu, a middle click) or
// dropped, a text that would make it longer than kMostCharacters is refused:
// the box keeps its text and `report` says why, naming the field by its
// accessible name. A long paste takes time that grows with its length alone.
QLineEdit* makeTextBox(const QString& text, QWidget* parent, Report report);

// A text box's accessible name as it reads mid-sentence: "car weight".
QString nameInSentence(const QWidget* box);

}  // namespace torvane::forms
