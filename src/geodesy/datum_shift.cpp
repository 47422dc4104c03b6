// Datum shift SK-42 ↔ WGS-84: geodetic → geocentric, small-angle Helmert
// transformation (coordinate-frame rotations), geocentric → geodetic with
// one Bowring step.
//
// Transcribed in the order of the formulas: sin²B as sin B · e² · sin B,
// each Helmert term computed on its own and added left to right. Deviations
// from the bare formulas:
// - The rotation angles are turned into radians once per parameter set
//   (ω/ρ), so a rotation term is (ω/ρ)·coordinate rather than ω·coordinate/ρ;
//   the two differ by a unit in the last place of a term of a few tens of
//   metres (1e-14 m).
// - The constants the geocentric → geodetic step derives from an ellipsoid
//   record (√(1−e²) and e'²·b) are computed once per ellipsoid.
// - The longitude of the geocentric → geodetic step is atan2(Y', X'). The
//   one-argument arctan(Y'/X') it replaces gives the same value for
//   |L| < 90° (the whole region served), but the wrong longitude outside it
//   and a division by zero at X' = 0.
// - The Bowring step takes sin θ and cos θ of the parametric latitude as
//   the sides of tan θ = Z'/p/√(1−e²) over their hypotenuse, cubes them by
//   two products, and takes sin B and cos B of the height from the sides of
//   tan B the same way, instead of arctan and then sin/cos of the angle. The
//   two differ by a few units in the last place (1e-16 rad, 1e-9 m).
// - For a chain that projects the result or starts from a projection, the
//   latitude may go out by its sine and cosine and the longitude as
//   sin L = Y'/p, cos L = X'/p (ReverseSines), and
//   a point may come in by the sines and cosines of B and L (Forward from
//   SinesWithLatitude): the arctangent and the sine of the same angle are
//   not both taken, and the new latitude is the old one plus the arctangent
//   of the tangent of their difference, by its series, so that the step's
//   last arctangent is that of the small difference.
// - Inputs and results are checked for arithmetic faults, and a zero
//   distance from the axis (p = 0) is reported as the division by zero it is
//   in arctan(Z'/p/√(1−e²)).
#include "geodesy/datum_shift.h"

#include <cmath>
#include <optional>

#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "DatumShift";

// The constants of the geocentric → geodetic step of one ellipsoid.
struct BowringConstants {
  double a;               // semi-major axis, metres
  double e2;              // e²
  double e2a;             // e²·a, metres
  double oneMinusE2;      // 1 − e²
  double sqrtOneMinusE2;  // √(1 − e²)
  double ePrime2B;        // e'²·b = e²/(1 − e²) · √(1 − e²)·a, metres
};

BowringConstants BowringConstantsOf(const Ellipsoid& ellipsoid) {
  const double ePrime2 = ellipsoid.e2 / ellipsoid.oneMinusE2;
  const double bAxis = std::sqrt(ellipsoid.oneMinusE2) * ellipsoid.a;
  return {ellipsoid.a, ellipsoid.e2, ellipsoid.e2a, ellipsoid.oneMinusE2,
          std::sqrt(ellipsoid.oneMinusE2), ePrime2 * bAxis};
}

GeocentricPoint Shift(GeocentricPoint p, const DatumShift::InRadians& r) {
  const double x = p.x + r.m * p.x + r.wz * p.y - r.wy * p.z + r.dx;
  const double y = p.y - r.wz * p.x + r.m * p.y + r.wx * p.z + r.dy;
  const double z = p.z + r.wy * p.x - r.wx * p.y + r.m * p.z + r.dz;
  return {x, y, z};
}

// Distance from the axis; zero is the division by zero of the latitude's
// tangent.
double AxisDistance(GeocentricPoint p) {
  const double pAxis = std::sqrt(p.x * p.x + p.y * p.y);
  RequireNonZeroDivisor(kOperation, "p", pAxis);
  return pAxis;
}

// tan B = numerator/denominator of a geocentric point at `pAxis` from the
// axis, after the one Bowring step.
struct LatitudeTangent {
  double numerator;
  double denominator;
};

LatitudeTangent LatitudeTangentOf(GeocentricPoint p, double pAxis, const BowringConstants& c) {
  // Parametric latitude θ of the Bowring step, tan θ = Z'/(p·√(1 − e²)):
  // θ itself is not needed, only sin θ and cos θ, and cos θ > 0 for
  // |θ| < 90°. The hypotenuse √(p²(1 − e²) + Z'²) is taken from p² so that
  // it need not wait for p.
  const double reciprocalHypotenuse =
      1 / std::sqrt((p.x * p.x + p.y * p.y) * c.oneMinusE2 + p.z * p.z);
  const double cosTheta = pAxis * c.sqrtOneMinusE2 * reciprocalHypotenuse;
  const double sinTheta = p.z * reciprocalHypotenuse;
  return {p.z + c.ePrime2B * (sinTheta * sinTheta * sinTheta),
          pAxis - c.e2a * (cosTheta * cosTheta * cosTheta)};
}

// sin B and cos B from the two sides of tan B, and the ellipsoidal height.
// B is the arctangent of tan B, |B| < 90°, so cos B ≥ 0 also for a point so
// deep inside the ellipsoid that the denominator is negative.
struct LatitudeSinesHeight {
  double sinB;
  double cosB;
  double h;
};

LatitudeSinesHeight SinesAndHeightOf(GeocentricPoint p, double pAxis, LatitudeTangent t,
                                     const BowringConstants& c) {
  const double reciprocalHypotenuse =
      (t.denominator < 0 ? -1 : 1) /
      std::sqrt(t.numerator * t.numerator + t.denominator * t.denominator);
  const double cosB = t.denominator * reciprocalHypotenuse;
  const double sinB = t.numerator * reciprocalHypotenuse;
  const double h = pAxis * cosB + p.z * sinB - c.a * std::sqrt(1 - sinB * c.e2 * sinB);
  return {sinB, cosB, h};
}

// The latitude with the tangent `t`: its arctangent, |B| < 90°.
double LatitudeOf(LatitudeTangent t) { return std::atan(t.numerator / t.denominator); }

// The new latitude B' with the tangent `t` of a point whose old latitude B
// is given with its sine and cosine: B plus the arctangent of
// tan(B' − B) = (tan B' − tan B)/(1 + tan B'·tan B), here with the sides of
// tan B' and the sine and cosine of B. A datum shift moves a latitude by
// seconds, where arctan δ is δ − δ³/3 + δ⁵/5 to far below a unit in the last
// place of B' (the next term is under 2e-22 for |δ| < 1e-3); any other
// point (and one so deep inside the ellipsoid that the denominator is not
// positive, whose arctangent lies on the other side of the axis) takes the
// arctangent of tan B'.
double LatitudeFrom(LatitudeTangent t, const SinesWithLatitude& old) {
  constexpr double kSeriesLimit = 1e-3;
  const double sinB = old.sines.sinB;
  const double cosB = old.sines.cosB;
  const double across = t.denominator * cosB + t.numerator * sinB;
  const double delta = (t.numerator * cosB - t.denominator * sinB) / across;
  if (!(t.denominator > 0) || !(across > 0) || !(std::fabs(delta) < kSeriesLimit)) {
    return LatitudeOf(t);
  }
  const double delta2 = delta * delta;
  return old.latitude + delta * (1 - delta2 * (1.0 / 3 - delta2 * (1.0 / 5)));
}

// Geocentric to geodetic; with `old`, the point's latitude before the
// shift, the new latitude as its small change (LatitudeFrom).
[[gnu::always_inline]] inline GeodeticPoint ToGeodetic(GeocentricPoint p, const BowringConstants& c,
                                                      const SinesWithLatitude* old) {
  // Longitude in its true quadrant.
  const double l = std::atan2(p.y, p.x);
  const double pAxis = AxisDistance(p);
  const LatitudeTangent t = LatitudeTangentOf(p, pAxis, c);
  const double b = old != nullptr ? LatitudeFrom(t, *old) : LatitudeOf(t);
  return {b, l, SinesAndHeightOf(p, pAxis, t, c).h};
}

// The shift of a geocentric point, checked.
GeocentricPoint CheckedShift(GeocentricPoint sourcePoint, const DatumShift::InRadians& r) {
  const GeocentricPoint shifted = Shift(sourcePoint, r);
  RequireFinite(kOperation, "X'", shifted.x);
  RequireFinite(kOperation, "Y'", shifted.y);
  RequireFinite(kOperation, "Z'", shifted.z);
  return shifted;
}

// The shift of a geocentric point and the step back to geodetic on the
// target ellipsoid.
[[gnu::always_inline]] inline GeodeticPoint ShiftToGeodetic(GeocentricPoint sourcePoint,
                                                           const BowringConstants& target,
                                                           const DatumShift::InRadians& r,
                                                           const SinesWithLatitude* old = nullptr) {
  const GeodeticPoint result = ToGeodetic(CheckedShift(sourcePoint, r), target, old);
  RequireFinite(kOperation, "B'", result.b);
  RequireFinite(kOperation, "L'", result.l);
  RequireFinite(kOperation, "H'", result.h);
  return result;
}

// A point to be shifted, checked for arithmetic faults.
void RequireFinitePoint(GeodeticPoint p) {
  RequireFinite(kOperation, "B", p.b);
  RequireFinite(kOperation, "L", p.l);
  RequireFinite(kOperation, "H", p.h);
}

// The three steps from `source` to `target` with the parameters `r`.
[[gnu::always_inline]] inline GeodeticPoint ShiftBetween(GeodeticPoint p, const Ellipsoid& source,
                                                        const BowringConstants& target,
                                                        const DatumShift::InRadians& r) {
  RequireFinitePoint(p);
  return ShiftToGeodetic(GeodeticToGeocentric(p, source), target, r);
}

const BowringConstants& Wgs84Bowring() {
  static const BowringConstants wgs84 = BowringConstantsOf(kWgs84);
  return wgs84;
}

const BowringConstants& KrasovskyBowring() {
  static const BowringConstants krasovsky = BowringConstantsOf(kKrasovsky);
  return krasovsky;
}

}  // namespace

GeocentricPoint GeodeticToGeocentric(GeodeticPoint p, const Ellipsoid& ellipsoid) {
  return GeodeticToGeocentric({std::sin(p.b), std::cos(p.b), std::sin(p.l), std::cos(p.l)}, p.h,
                              ellipsoid);
}

GeocentricPoint GeodeticToGeocentric(const LatitudeLongitudeSines& s, double h,
                                     const Ellipsoid& ellipsoid) {
  const double a = ellipsoid.a;
  const double e2 = ellipsoid.e2;
  const double n = a / std::sqrt(1 - s.sinB * e2 * s.sinB);
  const double x = (n + h) * s.cosB * s.cosL;
  const double y = (n + h) * s.cosB * s.sinL;
  const double z = (n * ellipsoid.oneMinusE2 + h) * s.sinB;
  return {x, y, z};
}

GeocentricPoint HelmertShift(GeocentricPoint p, const HelmertParameters& parameters) {
  return Shift(p, DatumShift::Radians(parameters));
}

GeodeticPoint GeocentricToGeodetic(GeocentricPoint p, const Ellipsoid& ellipsoid) {
  return ToGeodetic(p, BowringConstantsOf(ellipsoid), nullptr);
}

GeodeticPoint DatumShift::Forward(GeodeticPoint sk42) const {
  return ShiftBetween(sk42, kKrasovsky, Wgs84Bowring(), forward_);
}

GeodeticPoint DatumShift::Forward(const SinesWithLatitude& sk42, double h) const {
  RequireFinite(kOperation, "H", h);
  return ShiftToGeodetic(GeodeticToGeocentric(sk42.sines, h, kKrasovsky), Wgs84Bowring(), forward_,
                         &sk42);
}

GeodeticPoint DatumShift::Reverse(GeodeticPoint wgs84) const {
  return ShiftBetween(wgs84, kWgs84, KrasovskyBowring(), reverse_);
}

std::optional<GeodeticPointSines> DatumShift::ReverseSines(GeodeticPoint wgs84) const {
  RequireFinitePoint(wgs84);
  const GeocentricPoint p = CheckedShift(GeodeticToGeocentric(wgs84, kWgs84), reverse_);
  const double pAxis = AxisDistance(p);
  // Beyond 1e154 m from the axis p overflows; the arctangent still has a
  // longitude there.
  if (!std::isfinite(pAxis)) return std::nullopt;
  const BowringConstants& krasovsky = KrasovskyBowring();
  const LatitudeSinesHeight q = SinesAndHeightOf(p, pAxis, LatitudeTangentOf(p, pAxis, krasovsky), krasovsky);
  // A point so near the axis that cos B is no longer a positive number, or
  // so far out that the sides of tan B overflow, has no sine and cosine
  // from them: left to Reverse.
  if (!(q.cosB > 0) || !std::isfinite(q.sinB)) return std::nullopt;
  RequireFinite(kOperation, "H'", q.h);
  return GeodeticPointSines{q.sinB, q.cosB, p.y / pAxis, p.x / pAxis, q.h};
}

GeodeticPoint DatumShift::Apply(GeodeticPoint p, DatumDirection direction) const {
  return direction == DatumDirection::Sk42ToWgs84 ? Forward(p) : Reverse(p);
}

}  // namespace korvagrid
