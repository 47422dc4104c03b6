#pragma once
// A transverse-Mercator plane system on the Krasovsky ellipsoid computed with
// the classical closed Gauss–Krüger formulas: the local plane systems, and
// every plane system when a point goes from one plane system to another.
//
// Method: the closed Gauss–Krüger formulas with numeric coefficients for the
// Krasovsky ellipsoid (a = 6 378 245 m, 1/f = 298.3), written as polynomials
// in c = cos²B. Reverse: rectified latitude β = x/A, footpoint latitude Bx
// by its series in sin β·cos β, then latitude B and longitude difference l
// from z = y/(N·cos Bx) with the terms b2..b5 up to z⁵. Forward: x and y from
// B and l with the terms a0, a3..a6 up to l⁶. Nothing is iterated.
//
// Source of the coefficients, as facts of the Krasovsky ellipsoid:
//   A = 6 367 558.4969 m    meridian arc per radian, a/(1 + n)·(1 + n²/4 + n⁴/64)
//   N = 6 399 698.902 − (21 562.267 − (108.973 − 0.612·c)·c)·c
//                           the prime-vertical radius c_p/√(1 + e'²·c) with the
//                           polar radius c_p = a²/b = 6 399 698.902 m, expanded
//                           to c³ (21 562.267 = c_p·e'²/2, 108.973 = 3c_p·e'⁴/8,
//                           0.612 = 5c_p·e'⁶/16)
//   A·B − a0·sin B·cos B    the meridian arc, within 0.46 mm of the meridian-arc
//                           series in n; the footpoint series is its inverse
//                           to 1.6e-9° (0.2 mm)
// The terms b2..b5 and a3..a6 are the classical coefficients of this closed
// form, used as they stand; the pairs 0.333333/0.166667 (reverse) and
// 0.3333333/0.1666667 (forward) are distinct values, each used where it
// stands.
//
// Accuracy over the region served (latitudes 42° to 62°), measured against an
// exact transverse Mercator on the Krasovsky ellipsoid (PROJ 9.1's tmerc,
// exact to nanometres there; tests/test_geodesy_proj.cpp, 400 random points
// per band):
//   distance from the meridian   100 km     150 km     200 km     250 km
//   Reverse, B and l             0.000012"  0.000021"  0.00011"   0.00046"
//                                (0.4 mm)   (0.7 mm)   (3.4 mm)   (14 mm)
//   Forward, x and y             0.47 mm    0.47 mm    0.48 mm    0.48 mm
// The forward error is the meridian arc A·B − a0·sin B·cos B, which runs
// 0.40 to 0.46 mm long between 42° and 62°; the reverse series is truncated
// at z⁵ and grows quickly beyond 150 km.
// Reverse followed by Forward into the same system closes to 0.84 mm within
// 100 km (a systematic +0.5 to +0.8 mm in x, so a way there and back between
// two systems closes to about 2 mm), 1.2 mm at 150 km and 3.2 mm at 200 km.
// Farther out both series grow quickly: a way there and back between two
// systems closes to 4 mm within 3° of both meridians, 0.06 m within 6°, and
// only to metres between meridians 12° apart.
#include "geodesy/points.h"

namespace korvagrid {

class ClosedSeriesPlane {
 public:
  // falseNorth is added to x before the reverse series and subtracted after
  // the forward series; falseEast is subtracted from y before the reverse
  // series and added after the forward series (metres). With both 0, x is
  // the meridian arc from the equator and y the distance from the meridian.
  constexpr ClosedSeriesPlane(double falseNorth, double falseEast)
      : falseNorth_(falseNorth), falseEast_(falseEast) {}

  // Plane x, y (metres) to latitude B and longitude difference l from the
  // system's central meridian (radians). Throws KorvagridError on an
  // arithmetic fault.
  LatitudeLongitude Reverse(PlanePoint p) const;

  // Latitude B and longitude difference l from the central meridian
  // (radians) to plane x, y (metres). Throws KorvagridError on an arithmetic
  // fault.
  PlanePoint Forward(LatitudeLongitude q) const;

 private:
  double falseNorth_;
  double falseEast_;
};

// A point of the plane system `from` in the plane system `to`: Reverse in
// `from`, the longitude difference moved by meridianShift arc seconds (the
// source minus the target central meridian), Forward in `to`.
PlanePoint ToOtherPlane(const ClosedSeriesPlane& from, const ClosedSeriesPlane& to,
                        double meridianShift, PlanePoint p);

// Krasovsky latitude and longitude from Greenwich (radians) of a point of the
// plane system `from` whose central meridian lies centralMeridian arc seconds
// east of Greenwich.
LatitudeLongitude ToGeographic(const ClosedSeriesPlane& from, double centralMeridian, PlanePoint p);

}  // namespace korvagrid
