#pragma once

namespace torvane {

// Miles per hour to kilometres per hour and back, by the program's own factor
// (not the statute 1.609344). A result beyond the double range raises
// arithmetic fault.
//   toKph(90.2) -> 145.1999912 (shown as 145.2)   toMph(145.2) -> 90.2000055 (shown as 90.2)
inline constexpr double kKphPerMph = 1.609756;

double toKph(double mph);
double toMph(double kph);

}  // namespace torvane
