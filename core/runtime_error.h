#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane {

// The one way anything in the program fails. A command that meets one stops at
// the failing step; whatever it wrote before that step stays written.
// clang-format off
enum class ErrorKind {
  TypeMismatch,     // a field's text is not a number
  ArithmeticFault,  // a calculation divided by zero, had no defined result, or overflowed
  PowerError,       // a power with no real result, such as a negative number to a fractional power
  ControlAccess,    // a window was asked for a control it does not have
  TooLong,          // a text would make a field longer than a field holds
};
// clang-format on

class RuntimeError : public std::runtime_error {
public:
  RuntimeError(ErrorKind kind, std::string detail);

  ErrorKind kind() const noexcept { return kind_; }
  // What caused it, in plain words, without the kind's title.
  const std::string& detail() const noexcept { return detail_; }

private:
  ErrorKind kind_;
  std::string detail_;
};

// "Type mismatch", "Arithmetic fault", ...: the title of a report.
std::string_view errorTitle(ErrorKind kind);

}  // namespace torvane
