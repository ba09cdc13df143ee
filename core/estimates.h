#pragma once

namespace torvane {

// The drag-strip estimates. Weight, horsepower and ET carry no unit of their
// own; speeds are in miles per hour. Each returns its result or raises a
// RuntimeError (arithmetic fault or invalid power); none checks the range of
// its arguments.
//
// HP 300, weight 3000:  figureEt(3000, 300)      -> 12.549582069435724
//                       figureTrapSpeed(300, 3000) -> 108.69657440212337
//                       figureEighthEt(12.55)      -> 8.096774193548388
//                       figureEighthTrap(108.7)    -> 87.66129032258065
// Weight 3000, trap 100: figureHp(3000, 100)      -> 234.13895866229856

// Quarter-mile ET = 5.825 * (weight / hp)^(1/3).
double figureEt(double weight, double hp);
// Quarter-mile trap speed = 234 * (hp / weight)^0.333.
double figureTrapSpeed(double hp, double weight);
// Eighth-mile ET = quarter-mile ET / 1.55.
double figureEighthEt(double quarterMileEt);
// Eighth-mile trap speed = quarter-mile trap speed / 1.24.
double figureEighthTrap(double quarterMileTrapSpeed);
// Rear-wheel horsepower = weight * (trap speed / 234)^3. Not the exact inverse
// of figureTrapSpeed: its exponent is 3, not 1 / 0.333.
double figureHp(double weight, double trapSpeed);

}  // namespace torvane
