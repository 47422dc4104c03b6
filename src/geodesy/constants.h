#pragma once
// Fixed constants of the geodetic computations. They are used exactly as
// written: they are the stored values the published coefficients were made
// with, not values to be recomputed from each other or replaced by more
// precise ones (the results are reproduced to 0.0001" with these).

namespace korvagrid {

// Arc seconds per radian in the plane transformation (`Module1`).
inline constexpr double kArcSecondsPerRadianProjection = 206264.806247;
// Arc seconds per radian for the rotation angles of the datum shift.
inline constexpr double kArcSecondsPerRadianDatum = 206264.80625;
// Degrees per radian in every radian/degree conversion.
inline constexpr double kDegreesPerRadian = 57.2957795131;
// Krasovsky meridian-arc factor A: metres per radian of rectified latitude.
inline constexpr double kMetresPerRadianKrasovsky = 6367558.4969;

}  // namespace korvagrid
