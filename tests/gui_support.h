#pragma once

// What the window tests share: a program whose run-time errors are recorded
// instead of shown in a message box, and a window's parts found by name.

#include <QAccessible>
#include <QApplication>
#include <QMetaEnum>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "core/runtime_error.h"
#include "windows/forms.h"
#include "windows/program.h"

namespace support {

// Every control a mode switch shows or hides.
inline const QStringList kEtSet = {"txtHP1",     "txtWeight1", "cmdFigureEt", "txtET", "txt4trap", "txt8th",
                                   "txt8thTrap", "lbl2",       "lbl3",        "lbl4",  "lbl5",     "lbl6"};
inline const QStringList kHpSet = {"txtWeight", "txtTrapspeed", "cmdFigurehp", "txtHP", "lbl1"};

// The scale a window lays its form out in for the desktop's font as found:
// 1 at the 9 pt design font, 8.25 / 9 with the Tahoma of Wine's desktop.
inline torvane::forms::Scale desktopScale() {
  return torvane::forms::Scale(QApplication::font().pointSizeF() / torvane::forms::kDesignPointSize);
}

template <class T = QWidget>
T* child(const QObject* root, const QString& name) {
  auto* found = root->findChild<T*>(name);
  if (!found) qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
  return found;
}

// What a screen reader says of each shown control of a window or client
// area, in its order: its role, its name and its description, and the field a
// label names.
inline QStringList readAloud(QWidget* container) {
  QAccessibleInterface* parent = QAccessible::queryAccessibleInterface(container);
  QStringList said;
  for (int i = 0; i < parent->childCount(); ++i) {
    const QAccessibleInterface* control = parent->child(i);
    if (control->state().invisible) continue;
    const QStringList texts = {control->text(QAccessible::Name), control->text(QAccessible::Description)};
    said << QMetaEnum::fromType<QAccessible::Role>().valueToKey(control->role()) + QString(" ") +
                texts.filter(QRegularExpression(".")).join(": ");
    for (const auto& [field, relation] : control->relations(QAccessible::Labelled))
      said.back() += ", for " + field->text(QAccessible::Name);
  }
  return said;
}

struct RecordingProgram {
  std::vector<torvane::RuntimeError> errors;
  torvane::Program program{[this](QWidget*, const torvane::RuntimeError& error) { errors.push_back(error); }};
};

}  // namespace support
