#pragma once
// Packed degrees: an angle held in one double as degrees + minutes/100 +
// seconds/10000 (55°30'15.5" is 55.301550); the sign covers all parts.
// Conversions between radians and packed degrees, and the split of a packed
// value into the degrees, minutes and seconds it shows.

namespace korvagrid {

struct PackedParts {
  double degrees;  // whole degrees, truncated toward zero (signed)
  int minutes;     // whole minutes written in the first two decimals (signed)
  double seconds;  // seconds with their fraction (signed)
};

// A latitude and a longitude by their parts.
struct LatitudeLongitudeParts {
  PackedParts latitude;
  PackedParts longitude;
};

// Splits a packed value. The minutes are the integer part of the first two
// decimals, where a product that falls short of a whole number only by
// floating-point rounding counts as that number (55.30 gives 30 minutes,
// 55.2930 gives 29 minutes).
PackedParts SplitPacked(double packed);

double RadToPacked(double radians);
double PackedToRad(double packed);
// Radians of an angle given by its parts, as PackedToRad takes them of the
// parts it splits off.
double PartsToRad(const PackedParts& parts);
// Radians of an angle given by its parts, as PackedToRad takes them of the
// parts it splits off.
double PartsToRad(const PackedParts& parts);

}  // namespace korvagrid
