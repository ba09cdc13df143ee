#include "core/estimates.h"

#include "core/guard.h"

namespace torvane {
namespace {

constexpr double kEtCoefficient = 5.825;
constexpr double kTrapSpeedCoefficient = 234.0;
// Deliberately the decimal 0.333, not one third: the trap-speed formula was
// fitted with it, and the ET formula's exponent is the full one third.
constexpr double kTrapSpeedExponent = 0.333;
constexpr double kHpExponent = 3.0;
constexpr double kEighthMileEtDivisor = 1.55;
constexpr double kEighthMileTrapDivisor = 1.24;

}  // namespace

double figureEt(double weight, double hp) {
  Guard guard("figuring the 1/4 mile ET");
  const double oneThird = guard.divide(1.0, 3.0);
  const double ratio = guard.divide(weight, hp);
  const double root = guard.power(ratio, oneThird);
  return guard.multiply(root, kEtCoefficient);
}

double figureTrapSpeed(double hp, double weight) {
  Guard guard("figuring the 1/4 mile trap speed");
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
  Guard guard("figuring the rear wheel HP");
  const double ratio = guard.divide(trapSpeed, kTrapSpeedCoefficient);
  const double cube = guard.power(ratio, kHpExponent);
  return guard.multiply(weight, cube);
}

}  // namespace torvane
