#pragma once
// Datum shift between SK-42 (Krasovsky ellipsoid) and WGS-84.
//
// Method: geodetic latitude, longitude and ellipsoidal height to geocentric
// X, Y, Z on the source ellipsoid; a seven-parameter similarity
// (Helmert) transformation in its small-angle form; geocentric back to
// geodetic on the target ellipsoid with one closed Bowring step (no
// iteration).
//
// Rotation convention: COORDINATE FRAME rotation (EPSG method 9607), i.e.
//   X' = X + m·X + ωz·Y − ωy·Z + ΔX
//   Y' = Y − ωz·X + m·Y + ωx·Z + ΔY
//   Z' = Z + ωy·X − ωx·Y + m·Z + ΔZ
// with ω in radians. The position-vector convention (EPSG 9606, the one of
// PROJ's +towgs84) is the same transformation with the signs of the three
// rotations flipped: the SK-42 → WGS-84 set below is, as +towgs84,
// 26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12. The scale difference multiplies only
// the coordinate itself, not the rotation terms.
//
// Parameters (fixed): SK-42 → WGS-84 ΔX 26.3 m, ΔY −132.6 m, ΔZ −76.3 m,
// ωx −0.22", ωy −0.4", ωz −0.9", m −0.12 ppm. WGS-84 → SK-42 uses the same
// formulas with all seven values negated, which is close to but not exactly
// the inverse transformation. Rotation angles are turned into radians with
// 206264.80625 arc seconds per radian.
//
// Accuracy: the shift reproduces the parameter set (a regional set, good to
// a few metres against the national realisation); shifting a point of the
// region (latitudes 40° to 63°) there and back returns its latitude and
// longitude to better than 0.0001" and its height to within 1 mm. The single
// Bowring step is exact to far below 0.0001" for heights of the Earth's
// surface.
#include "geodesy/ellipsoid.h"

namespace korvagrid {

enum class DatumDirection { Sk42ToWgs84, Wgs84ToSk42 };

// Geodetic coordinates: latitude and longitude in radians, ellipsoidal
// height in metres.
struct GeodeticPoint {
  double b;
  double l;
  double h;
};

// Geocentric Cartesian coordinates, metres.
struct GeocentricPoint {
  double x;
  double y;
  double z;
};

// Seven parameters of the small-angle similarity transformation in the
// coordinate-frame convention.
struct HelmertParameters {
  double dx;  // metres
  double dy;  // metres
  double dz;  // metres
  double wx;  // arc seconds
  double wy;  // arc seconds
  double wz;  // arc seconds
  double m;   // scale difference (dimensionless)
};

inline constexpr HelmertParameters kSk42ToWgs84Parameters{26.3, -132.6, -76.3, -0.22,
                                                          -0.4, -0.9,   -1.2e-7};
// The negated set, used for the way back.
inline constexpr HelmertParameters kWgs84ToSk42Parameters{-26.3, 132.6, 76.3, 0.22,
                                                          0.4,   0.9,   1.2e-7};

// Step 1: geodetic to geocentric on `ellipsoid`.
GeocentricPoint GeodeticToGeocentric(GeodeticPoint p, const Ellipsoid& ellipsoid);

// Step 2: the seven-parameter transformation, terms added in the order of
// the formulas above.
GeocentricPoint HelmertShift(GeocentricPoint p, const HelmertParameters& parameters);

// Step 3: geocentric to geodetic on `ellipsoid` with one Bowring step. The
// longitude is the two-argument arctangent atan2(Y, X), the true longitude
// in every quadrant.
GeodeticPoint GeocentricToGeodetic(GeocentricPoint p, const Ellipsoid& ellipsoid);

// The three steps: Krasovsky and the first set for Sk42ToWgs84, WGS-84 and
// the negated set for Wgs84ToSk42. Throws KorvagridError on an arithmetic
// fault.
GeodeticPoint DatumShift(GeodeticPoint p, DatumDirection direction);

}  // namespace korvagrid
