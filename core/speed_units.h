#pragma once

namespace torvane {

// Miles per hour to kilometres per hour and back, with the program's own
// factor 1.609756 both ways (not the statute 1.609344). Each is one guarded
// step: a product beyond the double range raises arithmetic fault.
//   toKph(90.2) -> 145.1999912 (shown as 145.2)   toMph(145.2) -> 90.20000 (shown as 90.2)
inline constexpr double kKphPerMph = 1.609756;

double toKph(double mph);
double toMph(double kph);

}  // namespace torvane
