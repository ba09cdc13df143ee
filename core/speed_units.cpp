#include "core/speed_units.h"

#include "core/guard.h"

namespace torvane {

double toKph(double mph) { return Guard("converting a speed to KPH").multiply(mph, kKphPerMph); }

double toMph(double kph) { return Guard("converting a speed to MPH").divide(kph, kKphPerMph); }

}  // namespace torvane
