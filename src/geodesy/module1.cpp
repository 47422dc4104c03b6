// Module1: the classical closed Gauss–Krüger formulas for the Krasovsky
// ellipsoid, inverse (plane to B, l) then direct (B, l to plane).
//
// Transcribed step by step; every polynomial is evaluated in the nested
// order in which it is written and every product left to right, because the
// results are reproduced to 0.0001" and the last digit depends on that order.
// cos² is formed as cos·cos, each sine and cosine taken once. Deviation from the bare formulas: the inputs and
// results are checked for arithmetic faults (see arithmetic_check.h).
#include "geodesy/module1.h"

#include <cmath>

#include "geodesy/arithmetic_check.h"
#include "geodesy/constants.h"

namespace korvagrid {
namespace {

constexpr char kOperation[] = "Module1";

// Radius of curvature in the prime vertical of the Krasovsky ellipsoid,
// metres, as a polynomial in c = cos²B.
double RadiusN(double c) { return 6399698.902 - (21562.267 - (108.973 - 0.612 * c) * c) * c; }

}  // namespace

PlanePair Module1(double x, double y, double sourceFalseNorth, double targetFalseNorth,
                  double deltaL, double sourceFalseEast, double targetFalseEast,
                  SystemKind targetKind) {
  RequireFinite(kOperation, "x", x);
  RequireFinite(kOperation, "y", y);
  RequireFinite(kOperation, "deltaL", deltaL);

  // Inverse step: plane to latitude B and longitude difference l.
  // 1.
  const double x1 = x + sourceFalseNorth;
  const double y1 = y - sourceFalseEast;
  // 2. Rectified latitude, radians.
  const double beta = x1 / kMetresPerRadianKrasovsky;
  // 3. Footpoint latitude.
  const double sinBeta = std::sin(beta);
  const double cosBeta = std::cos(beta);
  double c = cosBeta * cosBeta;
  const double bx = beta + (50221746 + (293622 + (2350 + 22 * c) * c) * c) * 1e-10 * sinBeta * cosBeta;
  // 4. From here c = cos²Bx.
  const double sinBx = std::sin(bx);
  const double cosBx = std::cos(bx);
  c = cosBx * cosBx;
  double n = RadiusN(c);
  // 5.
  const double b2 = (0.5 + 0.003369 * c) * sinBx * cosBx;
  const double b3 = 0.333333 - (0.166667 - 0.001123 * c) * c;
  const double b4 = 0.25 + (0.16161 + 0.00562 * c) * c;
  const double b5 = 0.2 - (0.1667 - 0.0088 * c) * c;
  // 6.
  const double z = y1 / (n * cosBx);
  const double z2 = z * z;
  // 7.
  const double b = bx - (1 - (b4 - 0.12 * z2) * z2) * z2 * b2;
  // 8.
  double l = (1 - (b3 - b5 * z2) * z2) * z;
  // 9. Longitude difference from the target meridian (from Greenwich for
  // geographic output, where deltaL is the source central meridian).
  l = deltaL / kArcSecondsPerRadianProjection + l;

  if (targetKind == SystemKind::Geographic) {
    return {CheckedRadToPacked(kOperation, "B", b), CheckedRadToPacked(kOperation, "L", l)};
  }

  // Direct step in the target system.
  // 10.
  const double sinB = std::sin(b);
  const double cosB = std::cos(b);
  c = cosB * cosB;
  const double l2 = l * l;
  // 11.
  n = RadiusN(c);
  // 12.
  const double a0 = 32140.404 - (135.3302 - (0.7092 - 0.004 * c) * c) * c;
  const double a3 = (0.3333333 + 0.001123 * c) * c - 0.1666667;
  const double a4 = (0.25 + 0.00252 * c) * c - 0.04166;
  const double a5 = 0.0083 - (0.1667 - (0.1968 + 0.004 * c) * c) * c;
  const double a6 = (0.166 * c - 0.084) * c;
  // 13.
  const double out1 = kMetresPerRadianKrasovsky * b -
                      (a0 - (0.5 + (a4 + a6 * l2) * l2) * l2 * n) * sinB * cosB -
                      targetFalseNorth;
  // 14.
  const double out2 = (1 + (a3 + a5 * l2) * l2) * l * n * cosB + targetFalseEast;

  return {RequireFinite(kOperation, "x", out1), RequireFinite(kOperation, "y", out2)};
}

}  // namespace korvagrid
