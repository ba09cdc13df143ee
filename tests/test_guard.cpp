#include <doctest/doctest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "core/guard.h"
#include "core/runtime_error.h"

using torvane::ErrorKind;
using torvane::Guard;

// The steps of a calculation, under the same optimisation the program ships with.
namespace {

enum class Step { Divide, Multiply, Power };

double run(Step step, double a, double b) {
  const Guard guard("testing");
  switch (step) {
  case Step::Divide: return guard.divide(a, b);
  case Step::Multiply: return guard.multiply(a, b);
  case Step::Power: return guard.power(a, b);
  }
  return 0.0;
}

constexpr const char* kDivisionByZero = "Division by zero while testing.";
constexpr const char* kNoDefinedResult = "A step with no defined result while testing.";
constexpr const char* kTooLarge = "A result too large to hold while testing.";
constexpr const char* kNotANumber = "A result that is not a number while testing.";
constexpr const char* kNoRealPower = "A negative number has no real power with a fractional exponent, while testing.";

struct Fault {
  const char* name;
  Step step;
  double a, b;
  ErrorKind kind;
  const char* detail;
};

struct Sound {
  const char* name;
  Step step;
  double a, b;
  double expected;
};

}  // namespace

// Each fault by its kind and its words, at the step that meets it; where a
// step meets two faults, the first of division by zero, no defined result,
// too large, not finite wins.
TEST_CASE("catches faults") {
  const auto fault = torvane::kArithmeticFault;
  const double inf = INFINITY;
  // clang-format off
  const Fault rows[] = {
      {"1 / 0", Step::Divide, 1.0, 0.0, fault, kDivisionByZero},
      {"1 / -0", Step::Divide, 1.0, -0.0, fault, kDivisionByZero},
      {"a subnormal / 0", Step::Divide, DBL_TRUE_MIN, 0.0, fault, kDivisionByZero},
      {"0 / 0", Step::Divide, 0.0, 0.0, fault, kNoDefinedResult},
      {"inf / inf", Step::Divide, inf, -inf, fault, kNoDefinedResult},
      {"0 * inf", Step::Multiply, 0.0, inf, fault, kNoDefinedResult},
      {"inf * -0", Step::Multiply, inf, -0.0, fault, kNoDefinedResult},
      {"DBL_MAX / 0.5", Step::Divide, DBL_MAX, 0.5, fault, kTooLarge},
      {"DBL_MAX * 10", Step::Multiply, DBL_MAX, 10.0, fault, kTooLarge},
      {"-DBL_MAX * 10", Step::Multiply, -DBL_MAX, 10.0, fault, kTooLarge},
      {"DBL_MAX * (1 + 2^-52)", Step::Multiply, DBL_MAX, 1.0 + DBL_EPSILON, fault, kTooLarge},
      {"infinite operand", Step::Multiply, inf, 1.0, fault, kNotANumber},
      {"infinite dividend over 0", Step::Divide, inf, 0.0, fault, kNotANumber},
      {"NaN operand", Step::Divide, NAN, 1.0, fault, kNotANumber},
      {"NaN over 0", Step::Divide, NAN, 0.0, fault, kNotANumber},
      {"NaN times 0", Step::Multiply, NAN, 0.0, fault, kNotANumber},
      {"pow(10, 400)", Step::Power, 10.0, 400.0, fault, kTooLarge},
      {"pow(0, -1)", Step::Power, 0.0, -1.0, fault, kDivisionByZero},
      {"pow(-1, 0.333)", Step::Power, -1.0, 0.333, torvane::kPowerError, kNoRealPower},
  };
  // clang-format on
  for (const Fault& row : rows) {
    INFO(row.name);
    try {
      const double result = run(row.step, row.a, row.b);
      FAIL("no error; the result was ", result);
    } catch (const torvane::RuntimeError& error) {
      CHECK(error.kind() == row.kind);
      CHECK(error.detail() == row.detail);
    }
  }
}

TEST_CASE("passes sound steps") {
  // clang-format off
  const Sound rows[] = {
      {"1 / 3, inexact", Step::Divide, 1.0, 3.0, 1.0 / 3.0},
      {"0 / 5", Step::Divide, 0.0, 5.0, 0.0},
      {"underflow to zero", Step::Multiply, 1e-300, 1e-300, 0.0},
      {"underflow to a subnormal", Step::Divide, DBL_MIN, 4.0, DBL_MIN / 4},
      {"DBL_MAX * 1", Step::Multiply, DBL_MAX, 1.0, DBL_MAX},
      {"cube of a negative", Step::Power, -2.0, 3.0, -8.0},
      {"cube root of zero", Step::Power, 0.0, 1.0 / 3.0, 0.0},
      {"zero to the power 0", Step::Power, 0.0, 0.0, 1.0},
      {"a power that underflows", Step::Power, 10.0, -400.0, 0.0},
  };
  // clang-format on
  for (const Sound& row : rows) {
    INFO(row.name);
    CHECK(run(row.step, row.a, row.b) == row.expected);
  }
}

TEST_CASE("the message names the calculation") {
  try {
    Guard("figuring the 1/4 mile ET").divide(1.0, 0.0);
    FAIL("no error raised");
  } catch (const torvane::RuntimeError& error) {
    CHECK(error.detail() == "Division by zero while figuring the 1/4 mile ET.");
    CHECK(std::string(error.what()) == "Arithmetic fault: Division by zero while figuring the 1/4 mile ET.");
  }
}
