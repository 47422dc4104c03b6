#include "geodesy/packed_angle.h"

#include <cmath>

#include "geodesy/constants.h"

namespace korvagrid {
namespace {

// (v - g)·100 carries a rounding error of a few 1e-12 for the angles the
// system handles; values written with ten decimals stand at least 1e-8 from
// the next whole minute. A shortfall below this limit is rounding.
constexpr double kWholeMinuteTolerance = 1e-9;

}  // namespace

PackedParts SplitPacked(double packed) {
  const double g = std::trunc(packed);
  const double product = (packed - g) * 100;
  double m = std::trunc(product);
  if (std::fabs(product - m) > 1.0 - kWholeMinuteTolerance) m += (product < 0 ? -1.0 : 1.0);
  const double s = (packed - g - m / 100) * 10000;
  return {g, static_cast<int>(m), s};
}

double RadToPacked(double radians) {
  const double d = radians * kDegreesPerRadian;
  const double g = std::trunc(d);
  const double mm = (d - g) * 60;
  const int m = static_cast<int>(std::trunc(mm));
  const double s = (mm - m) * 60;
  return g + static_cast<double>(m) / 100 + s / 10000;
}

double PackedToRad(double packed) { return PartsToRad(SplitPacked(packed)); }

double PartsToRad(const PackedParts& p) {
  return (p.degrees + (p.seconds / 60 + p.minutes) / 60) / kDegreesPerRadian;
}

}  // namespace korvagrid
