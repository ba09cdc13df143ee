#include "core/runtime_error.h"

namespace torvane {

std::string_view errorTitle(ErrorKind kind) {
  switch (kind) {
  case ErrorKind::TypeMismatch: return "Type mismatch";
  case ErrorKind::ArithmeticFault: return "Arithmetic fault";
  case ErrorKind::PowerError: return "Invalid power";
  case ErrorKind::ControlAccess: return "Control access";
  case ErrorKind::TooLong: return "Text too long";
  }
  return "Run-time error";
}

RuntimeError::RuntimeError(ErrorKind kind, std::string detail)
    : std::runtime_error(std::string(errorTitle(kind)) + ": " + detail), kind_(kind), detail_(std::move(detail)) {}

}  // namespace torvane
