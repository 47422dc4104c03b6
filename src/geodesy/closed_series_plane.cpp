// The closed Gauss–Krüger formulas for the Krasovsky ellipsoid, reverse
// (plane to B, l) and forward (B, l to plane).
//
// Transcribed term by term; every polynomial is evaluated in the nested
// order in which it is written and every product left to right, because the
// last written digit (0.00001", 1 mm) depends on that order. cos² is formed
// as cos·cos, each sine and cosine taken once. Deviation from the bare
// formulas: inputs and results are checked for arithmetic faults (see
// arithmetic_check.h).
#include "geodesy/closed_series_plane.h"

#include <cmath>

#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "ClosedSeriesPlane";

// Radius of curvature in the prime vertical of the Krasovsky ellipsoid,
// metres, as a polynomial in c = cos²B.
double RadiusN(double c) { return 6399698.902 - (21562.267 - (108.973 - 0.612 * c) * c) * c; }

}  // namespace

LatitudeLongitude ClosedSeriesPlane::Reverse(PlanePoint p) const {
  RequireFinite(kOperation, "x", p.x);
  RequireFinite(kOperation, "y", p.y);
  // Distance along the meridian and from the meridian.
  const double x1 = p.x + falseNorth_;
  const double y1 = p.y - falseEast_;
  // Rectified latitude, radians.
  const double beta = x1 / kMetresPerRadianKrasovsky;
  // Footpoint latitude: the latitude whose meridian arc is x1.
  const double sinBeta = std::sin(beta);
  const double cosBeta = std::cos(beta);
  double c = cosBeta * cosBeta;
  const double bx = beta + (50221746 + (293622 + (2350 + 22 * c) * c) * c) * 1e-10 * sinBeta * cosBeta;
  // From here c = cos²Bx.
  const double sinBx = std::sin(bx);
  const double cosBx = std::cos(bx);
  c = cosBx * cosBx;
  const double n = RadiusN(c);
  const double b2 = (0.5 + 0.003369 * c) * sinBx * cosBx;
  const double b3 = 0.333333 - (0.166667 - 0.001123 * c) * c;
  const double b4 = 0.25 + (0.16161 + 0.00562 * c) * c;
  const double b5 = 0.2 - (0.1667 - 0.0088 * c) * c;
  const double z = y1 / (n * cosBx);
  const double z2 = z * z;
  // Latitude and longitude difference.
  const double b = bx - (1 - (b4 - 0.12 * z2) * z2) * z2 * b2;
  const double l = (1 - (b3 - b5 * z2) * z2) * z;
  return {RequireFinite(kOperation, "B", b), RequireFinite(kOperation, "l", l)};
}

PlanePoint ClosedSeriesPlane::Forward(LatitudeLongitude q) const {
  // A NaN or infinite B or l makes x and y NaN: the checks of the results
  // report it.
  const double b = q.latitude;
  const double l = q.longitude;
  const double sinB = std::sin(b);
  const double cosB = std::cos(b);
  const double c = cosB * cosB;
  const double l2 = l * l;
  const double n = RadiusN(c);
  const double a0 = 32140.404 - (135.3302 - (0.7092 - 0.004 * c) * c) * c;
  const double a3 = (0.3333333 + 0.001123 * c) * c - 0.1666667;
  const double a4 = (0.25 + 0.00252 * c) * c - 0.04166;
  const double a5 = 0.0083 - (0.1667 - (0.1968 + 0.004 * c) * c) * c;
  const double a6 = (0.166 * c - 0.084) * c;
  // Meridian arc A·B − a0·sin B·cos B plus the terms in l², then the false northing.
  const double x = kMetresPerRadianKrasovsky * b -
                   (a0 - (0.5 + (a4 + a6 * l2) * l2) * l2 * n) * sinB * cosB - falseNorth_;
  const double y = (1 + (a3 + a5 * l2) * l2) * l * n * cosB + falseEast_;
  return {RequireFinite(kOperation, "x", x), RequireFinite(kOperation, "y", y)};
}

PlanePoint ToOtherPlane(const ClosedSeriesPlane& from, const ClosedSeriesPlane& to,
                        double meridianShift, PlanePoint p) {
  RequireFinite(kOperation, "deltaL", meridianShift);
  const LatitudeLongitude q = from.Reverse(p);
  // Longitude difference from the target meridian.
  const double l = meridianShift / kArcSecondsPerRadianProjection + q.longitude;
  return to.Forward({q.latitude, l});
}

LatitudeLongitude ToGeographic(const ClosedSeriesPlane& from, double centralMeridian,
                               PlanePoint p) {
  RequireFinite(kOperation, "deltaL", centralMeridian);
  const LatitudeLongitude q = from.Reverse(p);
  // Longitude from Greenwich.
  const double l = centralMeridian / kArcSecondsPerRadianProjection + q.longitude;
  return {q.latitude, RequireFinite(kOperation, "L", l)};
}

}  // namespace korvagrid
