#pragma once

#include <string_view>

namespace torvane {

// The arithmetic of one calculation, checked the way the program promises: a
// division by zero, an operation without a defined result, an overflow or a
// result that is not finite raises arithmetic fault. Underflow and rounding
// are not faults; such a result goes on unchanged.
//
// Each step looks at its own operands and result and reports its own fault,
// so any conforming compiler gives the same answer at any optimisation:
//   divide(1, 0) -> "Division by zero ..."           divide(0, 0) -> "A step with no defined result ..."
//   multiply(DBL_MAX, 10) -> "A result too large to hold ..."
//   power(10, 400) -> "A result too large to hold ..."  power(0, -1) -> "Division by zero ..."
//   power(-8, 1.0 / 3) -> power error: a negative number has no real power with a fractional exponent
//   divide(DBL_MIN, 4) -> DBL_MIN / 4 (a subnormal, no fault)
// When a step meets more than one, the first of division by zero, no defined
// result, too large, not finite is reported.
class Guard {
public:
  // `operation` names the calculation in messages: "figuring the quarter-mile ET".
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
