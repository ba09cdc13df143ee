#include "core/fault_check.h"

#include <cfenv>
#include <cmath>
#include <string>

#include "core/runtime_error.h"

namespace torvane {
namespace {

// Makes the compiler forget what it knows of a value: it must be computed
// before this point and read afresh after it, and no call moves across it.
inline void opaque(double& value) {
#if defined(__GNUC__) || defined(__clang__)
  asm volatile("" : "+m"(value) : : "memory");
#else
  volatile double copy = value;
  value = copy;
#endif
}

constexpr int kFaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

}  // namespace

Guard::Guard(std::string_view operation) : operation_(operation) {
  std::feclearexcept(FE_ALL_EXCEPT);
}

double Guard::checked(double result) const {
  opaque(result);
  const int raised = std::fetestexcept(kFaultFlags);
  const char* what = nullptr;
  if (raised & FE_DIVBYZERO) what = "Division by zero";
  else if (raised & FE_INVALID) what = "A step with no defined result";
  else if (raised & FE_OVERFLOW) what = "A result too large to hold";
  else if (!std::isfinite(result)) what = "A result that is not a number";
  if (what) throw RuntimeError(ErrorKind::ArithmeticFault, std::string(what) + " while " + std::string(operation_) + ".");
  return result;
}

double Guard::divide(double dividend, double divisor) const {
  opaque(dividend);
  opaque(divisor);
  return checked(dividend / divisor);
}

double Guard::multiply(double left, double right) const {
  opaque(left);
  opaque(right);
  return checked(left * right);
}

double Guard::power(double base, double exponent) const {
  if (base < 0.0 && exponent != std::trunc(exponent))
    throw RuntimeError(ErrorKind::PowerError,
                       "A negative number has no real power with a fractional exponent, while " +
                           std::string(operation_) + ".");
  opaque(base);
  opaque(exponent);
  double result = std::pow(base, exponent);
  opaque(result);
  return result;
}

}  // namespace torvane
