#pragma once

#include <string_view>

namespace torvane {

// The arithmetic of one calculation, checked the way the program promises:
// every guarded step is followed by a look at the floating-point exception
// flags, and a division by zero, an operation without a defined result, an
// overflow or a result that is not finite raises arithmetic fault. Underflow
// and rounding are not faults; such a result goes on unchanged.
//
// The flags are cleared when the guard is made and then gather until a check,
// so a guarded step also reports a fault that an unguarded power left before it.
//
// Each step runs out of line, behind a compiler barrier, so an optimising
// build cannot fold it away, reuse an earlier result, or move it past the
// check that must see its flags.
class Guard {
public:
  // `operation` names the calculation in messages: "figuring the quarter-mile ET".
  explicit Guard(std::string_view operation);

  double divide(double dividend, double divisor) const;    // guarded
  double multiply(double left, double right) const;        // guarded

  // Unguarded: a result beyond the double range is left in the flags for the
  // next guarded step. A negative base with a fractional exponent has no real
  // result and raises the power error at once.
  double power(double base, double exponent) const;

private:
  double checked(double result) const;

  std::string_view operation_;  // always a literal
};

}  // namespace torvane
