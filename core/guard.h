#pragma once

#include <string_view>

namespace torvane {

// The checked arithmetic of one calculation. A division by zero, a step with
// no defined result, or a result too large or not finite raises arithmetic
// fault; underflow and rounding are not faults. Each step checks its own
// operands and result, so any conforming compiler gives the same answer:
//   divide(1, 0) -> "Division by zero ..."           divide(0, 0) -> "A step with no defined result ..."
//   multiply(DBL_MAX, 10) -> "A result too large to hold ..."
//   power(10, 400) -> "A result too large to hold ..."  power(0, -1) -> "Division by zero ..."
//   power(-8, 1.0 / 3) -> invalid power: a negative number has no real power with a fractional exponent
//   divide(DBL_MIN, 4) -> DBL_MIN / 4 (a subnormal, no fault)
// A step that meets more than one reports the first of division by zero, no
// defined result, too large, not finite.
class Guard {
public:
  // `operation` names the calculation in messages: "figuring the 1/4 mile ET".
  explicit Guard(std::string_view operation) : operation_(operation) {}

  double divide(double dividend, double divisor) const;
  double multiply(double left, double right) const;
  double power(double base, double exponent) const;

private:
  [[noreturn]] void fail(const char* fault) const;
  double checked(double result, double a, double b) const;

  std::string_view operation_;  // always a literal
};

}  // namespace torvane
