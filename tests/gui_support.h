#pragma once

// What the window tests share: a program whose run-time errors are recorded
// instead of shown in a message box, and a window's parts found by name.

#include <QObject>
#include <QString>
#include <QWidget>
#include <vector>

#include "core/runtime_error.h"
#include "windows/program.h"

namespace support {

template <class T = QWidget>
T* child(const QObject* root, const QString& name) {
  auto* found = root->findChild<T*>(name);
  if (!found) qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
  return found;
}

struct RecordingProgram {
  std::vector<torvane::RuntimeError> errors;
  torvane::Program program{[this](QWidget*, const torvane::RuntimeError& error) { errors.push_back(error); }};
};

}  // namespace support
