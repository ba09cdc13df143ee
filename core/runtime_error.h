#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace torvane {

// A kind of run-time error, known by the title of its report. The windows
// name their own beside what raises them.
struct ErrorKind {
  std::string_view title;
  friend constexpr bool operator==(const ErrorKind&, const ErrorKind&) = default;
};
inline constexpr ErrorKind kTypeMismatch{"Type mismatch"};        // a field's text is not a number
inline constexpr ErrorKind kArithmeticFault{"Arithmetic fault"};  // division by zero, no defined result, overflow
inline constexpr ErrorKind kPowerError{"Invalid power"};          // a negative number to a fractional power
inline constexpr ErrorKind kOutOfRange{"Out of range"};           // a number a quantity cannot take: a negative weight

// An error reported to the user in a message. A command that meets one stops
// at the failing step; what it wrote before that step stays written.
class RuntimeError : public std::runtime_error {
public:
  RuntimeError(ErrorKind kind, std::string detail)
      : std::runtime_error(std::string(kind.title) + ": " + detail), kind_(kind), detail_(std::move(detail)) {}

  ErrorKind kind() const noexcept { return kind_; }
  // What caused it, in plain words, without the kind's title.
  const std::string& detail() const noexcept { return detail_; }

private:
  ErrorKind kind_;
  std::string detail_;
};

}  // namespace torvane
