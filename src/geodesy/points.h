#pragma once
// The small point records the geodetic operations take and return.

namespace korvagrid {

// Plane coordinates in metres: x northing, y easting (the Russian order).
struct PlanePoint {
  double x;
  double y;
};

// Latitude and longitude in radians. Where an operation says so, the
// longitude is the difference from a system's central meridian.
struct LatitudeLongitude {
  double latitude;
  double longitude;
};

// Geodetic coordinates: latitude and longitude in radians, ellipsoidal
// height in metres.
struct GeodeticPoint {
  double b;
  double l;
  double h;
};

// Latitude and longitude given by their sines and cosines: all that the
// step to geocentric coordinates needs of them, so that a chain that has
// them from tangents takes no arctangent only to take its sine again.
struct LatitudeLongitudeSines {
  double sinB;
  double cosB;
  double sinL;
  double cosL;
};

// The same with the latitude itself (radians), which a chain that has it
// anyway hands on, so that the step from geocentric coordinates can take its
// new latitude as a small change of this one.
struct SinesWithLatitude {
  LatitudeLongitudeSines sines;
  double latitude;
};

// A geodetic point as the step from geocentric coordinates gives it to a
// projection: the latitude and the longitude by their sines and cosines
// only, and the ellipsoidal height.
struct GeodeticPointSines {
  double sinB;
  double cosB;
  double sinL;
  double cosL;
  double h;
};

// Geocentric Cartesian coordinates, metres.
struct GeocentricPoint {
  double x;
  double y;
  double z;
};

}  // namespace korvagrid
