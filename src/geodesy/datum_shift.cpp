// Datum shift SK-42 ↔ WGS-84: geodetic → geocentric, small-angle Helmert
// transformation (coordinate-frame rotations), geocentric → geodetic with
// one Bowring step.
//
// Transcribed in the order of the formulas: sin²B as sin B · e² · sin B,
// each Helmert term computed on its own and added left to right, rotation
// terms as ω·coordinate/ρ. Deviations from the bare formulas:
// - The longitude of the geocentric → geodetic step is atan2(Y', X'). The
//   one-argument arctan(Y'/X') it replaces gives the same value for
//   |L| < 90° (the whole region served), but the wrong longitude outside it
//   and a division by zero at X' = 0.
// - Inputs and results are checked for arithmetic faults, and a zero
//   distance from the axis (p = 0) is reported as the division by zero it is
//   in arctan(Z'/p/√(1−e²)).
#include "geodesy/datum_shift.h"

#include <cmath>

#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "DatumShift";

}  // namespace

GeocentricPoint GeodeticToGeocentric(GeodeticPoint p, const Ellipsoid& ellipsoid) {
  const double a = ellipsoid.a;
  const double e2 = ellipsoid.e2;
  const double n = a / std::sqrt(1 - std::sin(p.b) * e2 * std::sin(p.b));
  const double x = (n + p.h) * std::cos(p.b) * std::cos(p.l);
  const double y = (n + p.h) * std::cos(p.b) * std::sin(p.l);
  const double z = (n * ellipsoid.oneMinusE2 + p.h) * std::sin(p.b);
  return {x, y, z};
}

GeocentricPoint HelmertShift(GeocentricPoint p, const HelmertParameters& parameters) {
  constexpr double rho = kArcSecondsPerRadianDatum;
  const double m = parameters.m;
  const double wx = parameters.wx;
  const double wy = parameters.wy;
  const double wz = parameters.wz;
  const double x = p.x + m * p.x + wz * p.y / rho - wy * p.z / rho + parameters.dx;
  const double y = p.y - wz * p.x / rho + m * p.y + wx * p.z / rho + parameters.dy;
  const double z = p.z + wy * p.x / rho - wx * p.y / rho + m * p.z + parameters.dz;
  return {x, y, z};
}

GeodeticPoint GeocentricToGeodetic(GeocentricPoint p, const Ellipsoid& ellipsoid) {
  const double a = ellipsoid.a;
  const double e2 = ellipsoid.e2;
  const double ePrime2 = e2 / ellipsoid.oneMinusE2;
  const double bAxis = std::sqrt(ellipsoid.oneMinusE2) * a;
  // 3.1 Longitude in its true quadrant.
  const double l = std::atan2(p.y, p.x);
  // 3.2 Distance from the axis.
  const double pAxis = std::sqrt(p.x * p.x + p.y * p.y);
  RequireNonZeroDivisor(kOperation, "p", pAxis);
  // 3.3 Parametric latitude of the Bowring step.
  const double theta = std::atan(p.z / pAxis / std::sqrt(ellipsoid.oneMinusE2));
  // 3.4
  const double b = std::atan((p.z + ePrime2 * bAxis * std::pow(std::sin(theta), 3)) /
                             (pAxis - ellipsoid.e2a * std::pow(std::cos(theta), 3)));
  // 3.5
  const double h = pAxis * std::cos(b) + p.z * std::sin(b) -
                   a * std::sqrt(1 - std::sin(b) * e2 * std::sin(b));
  return {b, l, h};
}

GeodeticPoint DatumShift(GeodeticPoint p, DatumDirection direction) {
  RequireFinite(kOperation, "B", p.b);
  RequireFinite(kOperation, "L", p.l);
  RequireFinite(kOperation, "H", p.h);
  const bool toWgs = direction == DatumDirection::Sk42ToWgs84;
  const Ellipsoid& source = toWgs ? kKrasovsky : kWgs84;
  const Ellipsoid& target = toWgs ? kWgs84 : kKrasovsky;
  const HelmertParameters& parameters = toWgs ? kSk42ToWgs84Parameters : kWgs84ToSk42Parameters;

  const GeocentricPoint sourcePoint = GeodeticToGeocentric(p, source);
  const GeocentricPoint shifted = HelmertShift(sourcePoint, parameters);
  RequireFinite(kOperation, "X'", shifted.x);
  RequireFinite(kOperation, "Y'", shifted.y);
  RequireFinite(kOperation, "Z'", shifted.z);
  const GeodeticPoint result = GeocentricToGeodetic(shifted, target);
  RequireFinite(kOperation, "B'", result.b);
  RequireFinite(kOperation, "L'", result.l);
  RequireFinite(kOperation, "H'", result.h);
  return result;
}

}  // namespace korvagrid
