#pragma once
// Angle helpers of the geodesy tests: results in packed degrees are compared
// in arc seconds, so that a tolerance of 0.0001" reads as such and a value
// written as 55.2959999999 compares equal to 55.30.
#include "geodesy/constants.h"
#include "geodesy/packed_angle.h"

namespace korvagrid::testing {

// A packed-degree value in arc seconds (the sign covers all parts).
inline double PackedToArcSeconds(double packed) {
  const PackedParts p = SplitPacked(packed);
  return p.degrees * 3600 + p.minutes * 60 + p.seconds;
}

// Degrees, minutes and seconds of a non-negative angle, in arc seconds.
constexpr double Dms(double degrees, double minutes, double seconds) {
  return degrees * 3600 + minutes * 60 + seconds;
}

// Radians in arc seconds, with the system's degrees-per-radian constant.
inline double RadToArcSeconds(double radians) { return radians * kDegreesPerRadian * 3600; }

// Arc seconds in radians, with the system's degrees-per-radian constant.
inline double ArcSecondsToRad(double arcSeconds) { return arcSeconds / 3600 / kDegreesPerRadian; }

// Decimal degrees in packed degrees.
inline double DegreesToPackedValue(double degrees) {
  return RadToPacked(degrees / kDegreesPerRadian);
}

}  // namespace korvagrid::testing
