#pragma once
// The 6° zones of the Gauss–Krüger projection: zone n spans longitudes
// 6(n − 1)° to 6n° east with its central meridian at 6n − 3°, n = 1..60
// counted eastwards from Greenwich (western longitudes fall in zones 31..60).
#include "geodesy/constants.h"
#include <optional>
#include <string>

namespace korvagrid {


inline constexpr int kZoneCount = 60;

// The zone that holds `longitude` (decimal degrees, any value); a longitude
// on a boundary belongs to the zone east of it, as 36° E lies in zone 7.
int GaussKrugerZone(double longitude);

// Western boundary of zone n, degrees east in 0..354.
double ZoneWestLongitude(int zone);

// Why a point at `longitude` does not belong to a system of zone `zone`, or
// nothing when it lies in the zone (its boundaries included) or no farther
// than `overlapDegrees` beyond either boundary, for the tool tip of the
// point: "долгота 37°37' вне зоны 6 (30°–36°)".
std::optional<std::string> OutsideZoneReason(int zone, double longitude,
                                             double overlapDegrees = 0);

// An angle in decimal degrees as degrees, two-digit minutes and, when not
// zero, two-digit seconds: "37°37'", "-0°30'", "55°40'30\"", "36°07'". The
// seconds are truncated after rounding to a thousandth of a second, so that
// 20' held as 0.3333...° is written 0°20', not 0°19'59".
std::string DegreesMinutesText(double degrees);

}  // namespace korvagrid
