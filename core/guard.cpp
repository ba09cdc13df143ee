#include "core/guard.h"

#include <cmath>
#include <string>

#include "core/runtime_error.h"

namespace torvane {

void Guard::fail(const char* fault) const {
  throw RuntimeError(kArithmeticFault, fault + (" while " + std::string(operation_) + "."));
}

// An infinite result of finite operands has gone beyond the double range.
double Guard::checked(double result, double a, double b) const {
  if (std::isinf(result) && std::isfinite(a) && std::isfinite(b)) fail("A result too large to hold");
  if (!std::isfinite(result)) fail("A result that is not a number");
  return result;
}

double Guard::divide(double dividend, double divisor) const {
  // An infinite dividend over zero is simply infinite, and a NaN stays NaN.
  if (divisor == 0.0 && std::isfinite(dividend) && dividend != 0.0) fail("Division by zero");
  if ((dividend == 0.0 && divisor == 0.0) || (std::isinf(dividend) && std::isinf(divisor)))
    fail("A step with no defined result");
  return checked(dividend / divisor, dividend, divisor);
}

double Guard::multiply(double left, double right) const {
  if ((left == 0.0 && std::isinf(right)) || (std::isinf(left) && right == 0.0)) fail("A step with no defined result");
  return checked(left * right, left, right);
}

double Guard::power(double base, double exponent) const {
  if (base < 0.0 && exponent != std::trunc(exponent))
    throw RuntimeError(kPowerError, "A negative number has no real power with a fractional exponent, while " +
                                        std::string(operation_) + ".");
  // Zero to a negative power is a pole: a division by zero, not an overflow.
  if (base == 0.0 && exponent < 0.0) fail("Division by zero");
  return checked(std::pow(base, exponent), base, exponent);
}

}  // namespace torvane
