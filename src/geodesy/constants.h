#pragma once
// Fixed constants of the geodetic computations, each defined once.
//
// The angle constants are rounded values (ρ to twelve digits in two different
// roundings, 180/π to twelve digits). They are used as they stand, never
// recomputed or replaced by more precise values: every result Korvagrid has
// written was computed with them, and a more precise ρ would move results by
// up to a unit of the last written digit (0.00001", 1 mm) and stop stored
// lists from being reproduced.

namespace korvagrid {

// Arc seconds per radian in the closed Gauss–Krüger series (longitude
// differences between plane systems): 206264.806247 (exact 206264.8062471).
inline constexpr double kArcSecondsPerRadianProjection = 206264.806247;
// Arc seconds per radian for the rotation angles of the datum shift.
inline constexpr double kArcSecondsPerRadianDatum = 206264.80625;
// Degrees per radian in every radian/degree conversion: 180/π to twelve digits.
inline constexpr double kDegreesPerRadian = 57.2957795131;
inline constexpr double kArcSecondsPerDegree = 3600;

// Krasovsky meridian-arc factor A, metres per radian of rectified latitude:
// a/(1 + n)·(1 + n²/4 + n⁴/64) with a = 6 378 245 m and n = 1/595.6
// (6 367 558.49687 m), rounded to 0.1 mm.
inline constexpr double kMetresPerRadianKrasovsky = 6367558.4969;

// The 6° Gauss–Krüger zones of SK-42: zone n has its central meridian at
// 6·n − 3 degrees east, a false easting of 500 000 m, and its number written
// as the millions of Y (Y = n·1 000 000 + 500 000 + easting).
inline constexpr int kZoneWidthDegrees = 6;
inline constexpr int kZoneHalfWidthDegrees = 3;
inline constexpr double kArcSecondsPerZoneWidth = 21600;      // 6°
inline constexpr double kArcSecondsPerZoneHalfWidth = 10800;  // 3°
inline constexpr double kZoneFalseEastingMetres = 500000;
inline constexpr double kMetresPerZonePrefix = 1000000;

}  // namespace korvagrid
