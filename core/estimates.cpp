#include "core/estimates.h"

#include "core/guard.h"

namespace torvane {
namespace {

constexpr double kEtCoefficient = 5.825;
constexpr double kEtExponent = 1.0 / 3.0;  // the double nearest one third
constexpr double kTrapSpeedCoefficient = 234.0;
// The decimal 0.333, not one third: the trap-speed formula is fitted with it.
constexpr double kTrapSpeedExponent = 0.333;
constexpr double kHpExponent = 3.0;
constexpr double kEighthMileEtDivisor = 1.55;
constexpr double kEighthMileTrapDivisor = 1.24;

}  // namespace

double figureEt(double weight, double hp) {
  const Guard guard("figuring the 1/4 mile ET");
  const double ratio = guard.divide(weight, hp);
  const double root = guard.power(ratio, kEtExponent);
  return guard.multiply(root, kEtCoefficient);
}

double figureTrapSpeed(double hp, double weight) {
  const Guard guard("figuring the 1/4 mile trap speed");
  const double ratio = guard.divide(hp, weight);
  const double root = guard.power(ratio, kTrapSpeedExponent);
  return guard.multiply(root, kTrapSpeedCoefficient);
}

double figureEighthEt(double quarterMileEt) {
  return Guard("figuring the 1/8 mile ET").divide(quarterMileEt, kEighthMileEtDivisor);
}

double figureEighthTrap(double quarterMileTrapSpeed) {
  return Guard("figuring the 1/8 mile trap speed").divide(quarterMileTrapSpeed, kEighthMileTrapDivisor);
}

double figureHp(double weight, double trapSpeed) {
  const Guard guard("figuring the rear wheel HP");
  const double ratio = guard.divide(trapSpeed, kTrapSpeedCoefficient);
  const double cube = guard.power(ratio, kHpExponent);
  return guard.multiply(weight, cube);
}

}  // namespace torvane
