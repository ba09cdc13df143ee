#include "core/guard.h"

#include <cmath>
#include <string>

#include "core/runtime_error.h"

namespace torvane {
namespace {

// An infinite result of finite operands has gone beyond the double range.
bool overflowed(double result, double a, double b) {
  return std::isinf(result) && std::isfinite(a) && std::isfinite(b);
}

}  // namespace

Guard::Guard(std::string_view operation) : operation_(operation) {}

double Guard::checked(double result, unsigned faults) const {
  faults |= leftByPower_;
  const char* what = nullptr;
  if (faults & kDivisionByZero) what = "Division by zero";
  else if (faults & kNoDefinedResult) what = "A step with no defined result";
  else if (faults & kTooLarge) what = "A result too large to hold";
  else if (!std::isfinite(result)) what = "A result that is not a number";
  if (what)
    throw RuntimeError(ErrorKind::ArithmeticFault, std::string(what) + " while " + std::string(operation_) + ".");
  return result;
}

double Guard::divide(double dividend, double divisor) const {
  const double result = dividend / divisor;
  unsigned fault = kNoFault;
  // An infinite dividend over zero is simply infinite, and a NaN stays NaN.
  if (divisor == 0.0 && std::isfinite(dividend) && dividend != 0.0) fault = kDivisionByZero;
  else if ((dividend == 0.0 && divisor == 0.0) || (std::isinf(dividend) && std::isinf(divisor)))
    fault = kNoDefinedResult;
  else if (overflowed(result, dividend, divisor)) fault = kTooLarge;
  return checked(result, fault);
}

double Guard::multiply(double left, double right) const {
  const double result = left * right;
  unsigned fault = kNoFault;
  if ((left == 0.0 && std::isinf(right)) || (std::isinf(left) && right == 0.0)) fault = kNoDefinedResult;
  else if (overflowed(result, left, right)) fault = kTooLarge;
  return checked(result, fault);
}

double Guard::power(double base, double exponent) {
  if (base < 0.0 && exponent != std::trunc(exponent))
    throw RuntimeError(ErrorKind::PowerError, "A negative number has no real power with a fractional exponent, while " +
                                                  std::string(operation_) + ".");
  const double result = std::pow(base, exponent);
  // Zero to a negative power is a pole: a division by zero, not an overflow.
  if (overflowed(result, base, exponent)) leftByPower_ |= base == 0.0 ? kDivisionByZero : kTooLarge;
  return result;
}

}  // namespace torvane
