#pragma once

#include <string_view>

namespace torvane {

// The arithmetic of one calculation, checked the way the program promises: a
// division by zero, an operation without a defined result, an overflow or a
// result that is not finite raises arithmetic fault. Underflow and rounding
// are not faults; such a result goes on unchanged.
//
// Each guarded step looks at its own operands and result, so any conforming
// compiler gives the same answer at any optimisation:
//   divide(1, 0) -> "Division by zero ..."           divide(0, 0) -> "A step with no defined result ..."
//   multiply(DBL_MAX, 10) -> "A result too large to hold ..."
//   multiply(0, power(10, 400)) -> "A step with no defined result ..."
//   divide(DBL_MIN, 4) -> DBL_MIN / 4 (a subnormal, no fault)
// When a step meets more than one, the first of division by zero, no defined
// result, too large, not finite is reported.
class Guard {
public:
  // `operation` names the calculation in messages: "figuring the quarter-mile ET".
  explicit Guard(std::string_view operation);

  double divide(double dividend, double divisor) const;  // guarded
  double multiply(double left, double right) const;      // guarded

  // Unguarded: a result beyond the double range (or a zero base with a
  // negative exponent) is not reported here but by the next guarded step of
  // this calculation. A negative base with a fractional exponent has no real
  // result and raises the power error at once.
  double power(double base, double exponent);

private:
  // Bits of what a step met; a lower bit is reported first.
  enum Fault : unsigned { kNoFault = 0, kDivisionByZero = 1, kNoDefinedResult = 2, kTooLarge = 4 };

  double checked(double result, unsigned faults) const;

  std::string_view operation_;  // always a literal
  unsigned leftByPower_ = kNoFault;
};

}  // namespace torvane
