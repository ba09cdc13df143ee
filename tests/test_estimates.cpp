#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/estimates.h"
#include "core/numeric_text.h"
#include "core/runtime_error.h"
#include "core/speed_units.h"

using torvane::ErrorKind;

namespace {
enum class Estimate { Et, TrapSpeed, EighthEt, EighthTrap, Hp, ToKph, ToMph };

double figure(Estimate estimate, double a, double b) {
  switch (estimate) {
  case Estimate::Et: return torvane::figureEt(a, b);
  case Estimate::TrapSpeed: return torvane::figureTrapSpeed(a, b);
  case Estimate::EighthEt: return torvane::figureEighthEt(a);
  case Estimate::EighthTrap: return torvane::figureEighthTrap(a);
  case Estimate::Hp: return torvane::figureHp(a, b);
  case Estimate::ToKph: return torvane::toKph(a);
  case Estimate::ToMph: return torvane::toMph(a);
  }
  return 0.0;
}

struct Figure {
  const char* name;
  Estimate estimate;
  double a, b;
  double expected;
  const char* text;
};

struct Fault {
  const char* name;
  Estimate estimate;
  double a, b;
  ErrorKind kind;
  const char* detail;
};

}  // namespace

// Raw results to within a few units in the last place (the power function's
// last digits may differ between libraries); the texts exactly.
TEST_CASE("figures") {
  // clang-format off
  const Figure rows[] = {
      // ET mode, HP 300 and weight 3000
      {"ET 3000 / 300", Estimate::Et, 3000.0, 300.0, 12.549582069435724, "12.55"},
      {"trap 300 / 3000", Estimate::TrapSpeed, 300.0, 3000.0, 108.69657440212337, "108.7"},
      {"1/8 ET from 12.55", Estimate::EighthEt, 12.55, 0.0, 8.096774193548388, "8.10"},
      {"1/8 trap from 108.7", Estimate::EighthTrap, 108.7, 0.0, 87.66129032258065, "87.7"},
      // ET mode, HP 150 and weight 2500
      {"ET 2500 / 150", Estimate::Et, 2500.0, 150.0, 14.879174812308156, "14.88"},
      {"trap 150 / 2500", Estimate::TrapSpeed, 150.0, 2500.0, 91.69385331789753, "91.7"},
      // HP mode
      {"HP 3000 at 100", Estimate::Hp, 3000.0, 100.0, 234.13895866229856, "234.14"},
      {"HP 3000 at -100", Estimate::Hp, 3000.0, -100.0, -234.13895866229856, "-234.14"},
      {"HP 3000 at 0", Estimate::Hp, 3000.0, 0.0, 0.0, ".00"},
      {"HP 3000 at 117", Estimate::Hp, 3000.0, 117.0, 375.0, "375.00"},
      // Odd inputs that still have an answer
      {"ET, equal weight and HP", Estimate::Et, 3000.0, 3000.0, 5.825, "5.83"},
      {"trap, equal weight and HP", Estimate::TrapSpeed, 3000.0, 3000.0, 234.0, "234.0"},
      {"ET, weight 0", Estimate::Et, 0.0, 300.0, 0.0, ".00"},
      {"ET, both negative", Estimate::Et, -3000.0, -300.0, 12.549582069435724, "12.55"},
      {"trap, both negative", Estimate::TrapSpeed, -300.0, -3000.0, 108.69657440212337, "108.7"},
      // Speed units
      {"MPH of 145.2", Estimate::ToMph, 145.2, 0.0, 90.2000054661, "90.2"},
      {"factor is 1.609756, not 1.609344", Estimate::ToKph, 1000.0, 0.0, 1609.756, "1609.8"},
  };
  // clang-format on
  for (const Figure& row : rows) {
    INFO(row.name);
    const double result = figure(row.estimate, row.a, row.b);
    CAPTURE(result);
    CHECK(std::fabs(result - row.expected) <= 1e-9 * std::max(1.0, std::fabs(row.expected)));
    const std::string text = row.text;
    const auto pattern =
        text.size() - text.find('.') == 3 ? torvane::DisplayPattern::TwoDecimals : torvane::DisplayPattern::OneDecimal;
    CHECK(torvane::formatNumber(result, pattern, ".") == text);
  }
}

// Each fault by its kind and its words, which name the calculation.
TEST_CASE("faults") {
  const auto fault = torvane::kArithmeticFault;
  const auto power = torvane::kPowerError;
  // clang-format off
  const Fault rows[] = {
      {"ET, HP 0", Estimate::Et, 3000.0, 0.0, fault, "Division by zero while figuring the 1/4 mile ET."},
      {"ET, HP and weight 0", Estimate::Et, 0.0, 0.0, fault,
       "A step with no defined result while figuring the 1/4 mile ET."},
      {"trap, weight 0", Estimate::TrapSpeed, 300.0, 0.0, fault,
       "Division by zero while figuring the 1/4 mile trap speed."},
      {"ET, negative HP", Estimate::Et, 3000.0, -300.0, power,
       "A negative number has no real power with a fractional exponent, while figuring the 1/4 mile ET."},
      {"ET, negative weight", Estimate::Et, -3000.0, 300.0, power,
       "A negative number has no real power with a fractional exponent, while figuring the 1/4 mile ET."},
      {"trap, negative HP", Estimate::TrapSpeed, -300.0, 3000.0, power,
       "A negative number has no real power with a fractional exponent, while figuring the 1/4 mile trap speed."},
      {"ET, ratio overflows", Estimate::Et, 1e300, 1e-300, fault,
       "A result too large to hold while figuring the 1/4 mile ET."},
      {"HP, cube overflows", Estimate::Hp, 3000.0, 1e200, fault,
       "A result too large to hold while figuring the rear wheel HP."},
      {"HP, product overflows", Estimate::Hp, 1e307, 1e3, fault,
       "A result too large to hold while figuring the rear wheel HP."},
      {"KPH beyond the double range", Estimate::ToKph, 1.2e308, 0.0, fault,
       "A result too large to hold while converting a speed to KPH."},
  };
  // clang-format on
  for (const Fault& row : rows) {
    INFO(row.name);
    try {
      const double result = figure(row.estimate, row.a, row.b);
      FAIL("no error; the result was ", result);
    } catch (const torvane::RuntimeError& error) {
      CHECK(error.kind() == row.kind);
      CHECK(error.detail() == row.detail);
    }
  }
}
